// Whole documents with PNG pictures, checked by independent tools: the rendering of every
// accepted form against PIL's decoding, and refused or malformed files that must leave a valid
// document without an image object.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/content/image_fixture_files.h"
#include "tests/pdf/content/raster_fixture.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;

KERBOLT_TEST_LABEL(oracle, "PngDocuments.*");
class PngDocuments : public writer_test::WriterTest {
protected:
    using Files = raster_test::PngFiles;
    static void SetUpTestSuite() { Files::Make(); }
    static void TearDownTestSuite() { Files::Remove(); }

    PngDocuments() {
        for (const std::string& name : Files::All()) {
            const std::string file = Files::File(name);
            (content_test::NameStartsWith(file, "bad_")       ? malformed_
             : content_test::NameStartsWith(file, "refused_") ? refused_
                                                              : well_formed_)
                .push_back(file);
        }
    }
    bool HasImageObject() { return Bytes().find("/Subtype /Image") != std::string::npos; }

    std::vector<std::string> well_formed_, refused_, malformed_;
};

TEST_F(PngDocuments, EachFormRendersPixelForPixelAsPilDecodesIt) {
    ASSERT_GE(well_formed_.size(), 20u);
    const auto pages = content_test::DrawEachOnAPage(pdf_, Path(), dir_, well_formed_);
    ExpectValidPdf();
    ASSERT_EQ(pages.size(), well_formed_.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto compared = RunCommand("/usr/bin/python3 " + Files::Script() + " compare " +
                                         pages[i] + " " + well_formed_[i]);
        EXPECT_EQ(compared.status, 0);
        EXPECT_EQ(compared.out, "0\n") << well_formed_[i] << " has differing pixels";
    }
}

TEST_F(PngDocuments, TheCompressedRowsGoIntoTheDocumentUnchanged) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    const std::string file = Files::File("split_idat.png");
    pdf_.DrawImage(file, 10, 20, 100);
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    // Rows from the top down: a negative vertical scale from the picture's bottom edge.
    EXPECT_NE(Writer().page_content.find("q 100 0 0 -75 10 95 cm /"), std::string::npos);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    // The image stream's raw bytes are the file's three IDAT bodies, as PIL's reader splits them.
    const auto raw = testing_support::InspectPdf(Path(), "png-rows", {file});
    EXPECT_EQ(raw.out, "True 15 3 40\n") << raw.out;
}

TEST_F(PngDocuments, RefusedAndMalformedFilesLeaveNoObjectNoPlacementAndAValidDocument) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    auto& state = pagora::detail::StateOf(pdf_).writer;
    for (const std::string& file : refused_) {
        state.last_error_number = 0;
        pdf_.DrawImage(file, 10, 10, 20, 0);
        EXPECT_EQ(pdf_.ErrNumber(), 5) << file << ": a refused form is reported";
    }
    for (const std::string& file : malformed_) {
        state.last_error_number = 0;
        pdf_.DrawImage(file, 10, 10, 20, 0);
        EXPECT_NE(pdf_.ErrNumber(), 0) << file;
    }
    state.last_error_number = 0;
    const std::string missing = Files::File("missing.png");
    pdf_.DrawImage(missing, 10, 10);
    EXPECT_EQ(pdf_.ErrNumber(), 53);
    EXPECT_EQ(pdf_.ErrSource(), "Pagora.DrawImage");
    EXPECT_EQ(pdf_.ErrDescription(), "File not found - " + missing);
    state.last_error_number = 0;
    EXPECT_EQ(pdf_.AddImage("one.png", {137}), "one.png");
    EXPECT_EQ(pdf_.ErrNumber(), 53);

    EXPECT_EQ(state.page_content.find(" Do "), std::string::npos);
    EXPECT_EQ(state.xobject_resources, "");
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_FALSE(HasImageObject());
}

TEST_F(PngDocuments, AnImageGivenAsBytesIsPlacedByItsAlias) {
    const std::string bytes = ReadFileBytes(Files::File("indexed_key.png"));
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    EXPECT_EQ(pdf_.AddImage("Logo.PNG", std::vector<std::uint8_t>(bytes.begin(), bytes.end())),
              "Logo.PNG");
    pdf_.DrawImage("logo.png", 0, 0);
    pdf_.DrawImage("logo.png", 50, 0);
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    // The record of a PNG: rows from the top down, frame 1.
    const auto& record = pagora::detail::StateOf(pdf_).content.images.images[0];
    EXPECT_EQ(record.kind, pagora::detail::ImageKind::kJpegOrPng);
    EXPECT_EQ(record.frame, 1);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string pdf = Bytes();
    // Entries 1 and 2 are transparent: one range of the palette.
    EXPECT_NE(pdf.find("/Mask [1 2]"), std::string::npos);
    EXPECT_NE(pdf.find("/ColorSpace [/Indexed /DeviceRGB 255 "), std::string::npos);
    // One object, placed twice: pdfimages lists two placements of the same object number.
    const auto images =
        Run("pdfimages -list %f | awk 'NR > 2 { print $11 }' | uniq -c | awk '{ print $1 }'");
    EXPECT_EQ(images.out, "2\n") << images.out;
}

} // namespace
