// Whole documents with bitmaps, checked by independent tools: the rendering of every bitmap form
// against an independent decoding, and malformed files that must leave a valid document.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/content/image_fixture_files.h"
#include "tests/pdf/content/raster_fixture.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;

KERBOLT_TEST_LABEL(oracle, "BitmapDocuments.*");
class BitmapDocuments : public writer_test::WriterTest {
protected:
    using Files = raster_test::BmpFiles;
    static void SetUpTestSuite() { Files::Make(); }
    static void TearDownTestSuite() { Files::Remove(); }

    BitmapDocuments() {
        for (const std::string& name : Files::All()) {
            const std::string file = Files::File(name);
            const bool intended = file.find(".intended.") != std::string::npos;
            (content_test::NameStartsWith(file, "bad_") ? malformed_
             : intended                                 ? intended_
                                                        : well_formed_)
                .push_back(file);
        }
    }
    bool HasImageObject() { return Bytes().find("/Subtype /Image") != std::string::npos; }

    std::vector<std::string> well_formed_, malformed_, intended_;
};

TEST_F(BitmapDocuments, EachFormRendersPixelForPixelAsAnIndependentDecoderSeesIt) {
    ASSERT_GE(well_formed_.size(), 13u);
    const auto pages = content_test::DrawEachOnAPage(pdf_, Path(), dir_, well_formed_);
    ExpectValidPdf();
    ASSERT_EQ(pages.size(), well_formed_.size());
    for (std::size_t i = 0; i < well_formed_.size(); ++i) {
        // 16-bit pixels have 5-bit components, which the library widens by multiplying by 8
        // and the independent decoder by repeating their top bits: only those five must agree.
        const bool five_bits = well_formed_[i].find("rgb16") != std::string::npos;
        const auto compared =
            RunCommand("/usr/bin/python3 " + Files::Script() + " compare " + pages[i] + " " +
                       well_formed_[i] + (five_bits ? " 5" : ""));
        EXPECT_EQ(compared.status, 0);
        EXPECT_EQ(compared.out, "0\n") << well_formed_[i] << " has differing pixels";
    }
}

TEST_F(BitmapDocuments, MalformedAndCutFilesLeaveNoObjectNoPlacementAndAValidDocument) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    auto& state = pagora::detail::StateOf(pdf_).writer;
    for (const std::string& file : malformed_) {
        state.last_error_number = 0;
        pdf_.DrawImage(file, 10, 10, 20, 0);
        EXPECT_NE(pdf_.ErrNumber(), 0) << file;
    }
    int cuts = 0;
    for (const std::string& file : well_formed_) {
        const std::string bytes = ReadFileBytes(file);
        for (std::size_t length = 0; length < bytes.size(); ++length, ++cuts) {
            state.last_error_number = 0;
            const std::string alias = "cut" + std::to_string(cuts) + ".bmp";
            pdf_.AddImage(alias, std::vector<std::uint8_t>(
                                     bytes.begin(), bytes.begin() + static_cast<long>(length)));
            pdf_.DrawImage(alias, 10, 10, 0, 20, 1, "", true);
            EXPECT_NE(pdf_.ErrNumber(), 0) << file << " cut at " << length;
        }
    }
    EXPECT_EQ(state.page_content.find(" Do "), std::string::npos);
    EXPECT_EQ(state.xobject_resources, "");
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_FALSE(HasImageObject());
}

} // namespace
