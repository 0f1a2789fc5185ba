#include "pdf/writer/deflate.h"
#include "pdf/writer/writer.h"

#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/sample_data.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pagora::detail::StreamKind;
using writer_test::WriterTest;

struct FilterCase {
    const char* what;
    StreamKind kind;
    int setting; // SetCompression argument of the kind: flags and level
    const char* caller_text;
    std::string filter_line; // "" when the object has none
};

std::string Text() {
    const auto bytes = testing_support::PageContentText(20000, 21);
    return {bytes.begin(), bytes.end()};
}

// Data as its caller hands it over: already deflated when the caller says so.
std::string CallerData(const std::string& original, const char* caller_text) {
    if (std::string_view(caller_text) != "/FlateDecode") return original;
    const auto deflated = pagora::detail::EncodeFlate(
        {reinterpret_cast<const std::uint8_t*>(original.data()), original.size()}, 3);
    return {deflated.begin(), deflated.end()};
}

KERBOLT_TEST_LABEL(oracle, "StreamFilterChain.*");
class StreamFilterChain : public WriterTest {
protected:
    // Writes every case as its own object, then checks the /Filter line, that an independent
    // reader decodes the data back and that the whole file is sound.
    void WriteAndCheck(const std::vector<FilterCase>& cases, const std::string& original) {
        pdf_.BeginDoc(Path());
        auto& s = Writer();
        std::vector<int> objects;
        for (const FilterCase& c : cases) {
            const int setting = c.setting;
            pdf_.SetCompression(c.kind == StreamKind::kContent ? setting : 0,
                                c.kind == StreamKind::kImage ? setting : 0,
                                c.kind == StreamKind::kFile ? setting : 0);
            objects.push_back(pagora::detail::BeginIndirectObject(s));
            pagora::detail::WriteFileLine(s, "<<");
            std::string data = CallerData(original, c.caller_text);
            pagora::detail::WriteStream(s, data, 0, c.caller_text, 0, c.kind);
            pagora::detail::EndIndirectObject(s);
        }
        pdf_.SetCompression();
        pdf_.BeginPage();
        pdf_.EndDoc();
        ExpectValidPdf();
        const std::string file = Bytes();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const FilterCase& c = cases[i];
            SCOPED_TRACE(c.what);
            const std::string head = std::to_string(objects[i]) + " 0 obj\n<<\n";
            EXPECT_NE(file.find(head + c.filter_line + "/Length "), std::string::npos);
            // A filter the reader does not undo (JPEG) leaves the caller's bytes as they came.
            const bool raw = std::string_view(c.caller_text) == "/DCTDecode ";
            const auto shown = Run("qpdf --show-object=" + std::to_string(objects[i]) +
                                   (raw ? " --raw-stream-data %f" : " --filtered-stream-data %f"));
            EXPECT_EQ(shown.status, 0);
            EXPECT_TRUE(shown.out == original) << shown.out.size() << " bytes";
        }
    }
};

TEST_F(StreamFilterChain, EveryRowOfTheFilterTable) {
    const std::vector<FilterCase> cases = {
        {"no flags", StreamKind::kContent, 0, "", ""},
        {"deflate", StreamKind::kContent, 0x502, "", "/Filter [/FlateDecode ]\n"},
        {"run-length, deflate, ASCII85", StreamKind::kContent, 0x30B, "",
         "/Filter [/ASCII85Decode /FlateDecode /RunLengthDecode ]\n"},
        {"caller's deflate, deflate flag", StreamKind::kContent, 0x202, "/FlateDecode",
         "/Filter /FlateDecode\n"},
        {"caller's deflate, ASCII85 flag", StreamKind::kContent, 0x008, "/FlateDecode",
         "/Filter [/ASCII85Decode /FlateDecode]\n"},
        {"caller's JPEG", StreamKind::kImage, 0x207, "/DCTDecode ", "/Filter [/DCTDecode ]\n"},
        {"none", StreamKind::kContent, 0x307, "none", ""},
        {"none with the ASCII flags", StreamKind::kContent, 0x31F, "none", ""},
        {"run-length", StreamKind::kContent, 0x001, "", "/Filter [/RunLengthDecode ]\n"},
        {"LZW level 0", StreamKind::kContent, 0x004, "", "/Filter [/LZWDecode ]\n"},
        {"LZW level 1", StreamKind::kContent, 0x104, "", "/Filter [/LZWDecode ]\n"},
        {"LZW level 2", StreamKind::kContent, 0x204, "", "/Filter [/LZWDecode ]\n"},
        {"LZW level 3", StreamKind::kContent, 0x304, "", "/Filter [/LZWDecode ]\n"},
        {"LZW level 15", StreamKind::kContent, 0xF04, "", "/Filter [/LZWDecode ]\n"},
        {"ASCIIHex", StreamKind::kContent, 0x010, "", "/Filter [/ASCIIHexDecode ]\n"},
        {"all five", StreamKind::kContent, 0x51F, "",
         "/Filter [/ASCIIHexDecode /ASCII85Decode /LZWDecode /FlateDecode /RunLengthDecode ]\n"},
        {"image settings", StreamKind::kImage, 0x006, "", "/Filter [/LZWDecode /FlateDecode ]\n"},
        {"file settings", StreamKind::kFile, 0x118, "",
         "/Filter [/ASCIIHexDecode /ASCII85Decode ]\n"},
    };
    WriteAndCheck(cases, Text());
}

TEST_F(StreamFilterChain, EmptyDataThroughEveryEncoder) {
    WriteAndCheck({{"all five", StreamKind::kContent, 0x31F, "",
                    "/Filter [/ASCIIHexDecode /ASCII85Decode /LZWDecode /FlateDecode "
                    "/RunLengthDecode ]\n"},
                   {"deflate", StreamKind::kFile, 0x002, "", "/Filter [/FlateDecode ]\n"}},
                  "");
}

TEST_F(StreamFilterChain, PdfaModeWritesNoLzw) {
    pdf_.SetPDFa(true);
    WriteAndCheck({{"all five", StreamKind::kContent, 0x31F, "",
                    "/Filter [/ASCIIHexDecode /ASCII85Decode /FlateDecode /RunLengthDecode ]\n"},
                   {"LZW only", StreamKind::kImage, 0x304, "", ""}},
                  Text());
    EXPECT_EQ(Bytes().find("LZWDecode"), std::string::npos);
}

} // namespace

namespace {

TEST_F(StreamFilterChain, CompressedPagesReadBackInAnotherReader) {
    pdf_.SetCompression(0x302);
    pdf_.BeginDoc(Path());
    std::string lines;
    for (int page = 0; page < 3; ++page) {
        pdf_.BeginPage();
        for (int i = 0; i < 400; ++i) {
            const std::string line = std::to_string(10 + i % 50) + " " + std::to_string(i) + " m " +
                                     std::to_string(200 + page) + " " + std::to_string(i) + " l S";
            pagora::detail::WriteContent(Writer(), line);
            if (page == 2) lines += "\r" + line;
        }
        pdf_.EndPage();
    }
    pdf_.EndDoc();
    ExpectValidPdf();
    // Every page's content is deflated; the last one decodes to what was drawn.
    const auto out = testing_support::InspectPdf(Path(), "content-filters", {"3"});
    ASSERT_EQ(out.status, 0) << out.out;
    const std::string filters = "/FlateDecode\n";
    ASSERT_EQ(out.out.substr(0, 3 * filters.size()), filters + filters + filters);
    const std::string content = out.out.substr(3 * filters.size());
    ASSERT_GE(content.size(), lines.size());
    EXPECT_EQ(content.substr(content.size() - lines.size()), lines);
}

} // namespace
