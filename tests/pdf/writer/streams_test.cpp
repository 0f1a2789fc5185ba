#include "pdf/writer/writer.h"

#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pagora::detail::StreamKind;
using writer_test::WriterTest;

struct StreamCase {
    std::string data;
    const char* filter_text;
    int length1;
    int content_flags;   // filter flags for page content
    std::string written; // the object as written
};

class StreamObjects : public WriterTest, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(StreamObjects, FinishTheDictionaryAndWriteTheData) {
    const StreamCase& c = GetParam();
    pdf_.SetCompression(c.content_flags);
    pdf_.BeginDoc(Path());
    auto& s = Writer();
    const int n = pagora::detail::BeginIndirectObject(s);
    pagora::detail::WriteFileLine(s, "<<");
    std::string data = c.data;
    pagora::detail::WriteStream(s, data, 0, c.filter_text, c.length1, StreamKind::kContent);
    pagora::detail::EndIndirectObject(s);
    EXPECT_EQ(data, c.data);
    pdf_.BeginPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_NE(Bytes().find(std::to_string(n) + " 0 obj\n<<\n" + c.written + "endobj\n"),
              std::string::npos)
        << Bytes().substr(39, 200);
}

KERBOLT_TEST_LABEL(oracle, "Table/StreamObjects.*");
INSTANTIATE_TEST_SUITE_P(
    Table, StreamObjects,
    ::testing::Values(
        StreamCase{"X", "", 0, 0, "/Length 1 >>\rstream\nX\nendstream\n"},
        StreamCase{"", "", 0, 0, "/Length 0 >>\rstream\nendstream\n"},
        StreamCase{"ab", "none", 0, 0x1F, "/Length 2 >>\rstream\nab\nendstream\n"},
        StreamCase{std::string("\r\n\0\xFF", 4), "", 0, 0,
                   "/Length 4 >>\rstream\n" + std::string("\r\n\0\xFF", 4) + "\nendstream\n"},
        StreamCase{"abc", "", 3, 0, "/Length1 3\n/Length 3 >>\rstream\nabc\nendstream\n"},
        StreamCase{"abc", "", -1, 0, "/Length 3 >>\rstream\nabc\nendstream\n"}));

TEST(StreamFilters, CallerFilterTextsAreBracketedWhenTheyHoldABlank) {
    testing_support::TempDir dir;
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.BeginDoc(dir.File("f.pdf"));
    auto& s = pagora::detail::StateOf(pdf).writer;
    for (const char* text : {"/DCTDecode ", "/FlateDecode"}) {
        pagora::detail::BeginIndirectObject(s);
        pagora::detail::WriteFileLine(s, "<<");
        std::string data = "x";
        pagora::detail::WriteStream(s, data, 0, text, 0, StreamKind::kImage);
        pagora::detail::EndIndirectObject(s);
    }
    pdf.Abort();
    const std::string bytes = testing_support::ReadFileBytes(dir.File("f.pdf"));
    EXPECT_NE(bytes.find("<<\n/Filter [/DCTDecode ]\n/Length 1 >>"), std::string::npos);
    EXPECT_NE(bytes.find("<<\n/Filter /FlateDecode\n/Length 1 >>"), std::string::npos);
}

TEST(StreamFilters, SetCompressionSplitsFlagsAndLevels) {
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    auto& s = pagora::detail::StateOf(pdf).writer;
    pdf.SetCompression(0x502, 0x1F02, 0x7FFFFF18);
    EXPECT_EQ(s.content_filters, 2);
    EXPECT_EQ(s.content_level, 5);
    EXPECT_EQ(s.image_filters, 2);
    EXPECT_EQ(s.image_level, 15);
    EXPECT_EQ(s.file_filters, 0x18);
    EXPECT_EQ(s.file_level, 15);
    pdf.SetCompression();
    EXPECT_EQ(s.content_filters + s.image_filters + s.file_filters + s.content_level, 0);
}

// The memory factor trades memory for fewer enlargements; it never changes the file.
KERBOLT_TEST_LABEL(oracle, "StreamFilters.MemoryFactorDoesNotChangeTheOutput");
TEST(StreamFilters, MemoryFactorDoesNotChangeTheOutput) {
    testing_support::TempDir dir;
    std::string files[2];
    for (int i = 0; i < 2; ++i) {
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        pdf.SetMemoryUsage(i == 0 ? 1 : 10);
        const std::string path = dir.File("m" + std::to_string(i) + ".pdf");
        pdf.BeginDoc(path);
        for (int page = 0; page < 40; ++page) {
            pdf.BeginPage(page % 3 == 0 ? 1 : 0);
            pagora::detail::WriteContent(pagora::detail::StateOf(pdf).writer,
                                         "0 0 m " + std::to_string(page) + " 10 l S");
            pdf.EndPage();
        }
        pdf.EndDoc();
        files[i] = testing_support::ReadFileBytes(path);
    }
    EXPECT_EQ(files[0], files[1]);
    const auto check =
        testing_support::RunCommand("qpdf --check '" + dir.File("m0.pdf") + "' 2>&1");
    EXPECT_EQ(check.status, 0) << check.out;
}

} // namespace
