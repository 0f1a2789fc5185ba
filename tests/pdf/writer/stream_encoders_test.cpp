#include "pdf/writer/ascii85.h"
#include "pdf/writer/ascii_hex.h"
#include "pdf/writer/lzw.h"
#include "pdf/writer/run_length.h"

#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace pagora::detail;

Bytes B(std::string_view text) {
    return {text.begin(), text.end()};
}
Bytes Repeat(std::uint8_t b, std::size_t n) {
    return Bytes(n, b);
}
Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(RunLength, KnownOutputs) {
    const struct {
        Bytes input;
        Bytes expected;
    } cases[] = {
        {{}, {0x80}},
        {{0x41}, {0x00, 0x41, 0x80}},
        {{0x41, 0x42, 0x43}, {0x02, 0x41, 0x42, 0x43, 0x80}},
        {{0x41, 0x41, 0x42}, {0xFF, 0x41, 0x00, 0x42, 0x80}},
        {{0x41, 0x42, 0x42}, {0x00, 0x41, 0xFF, 0x42, 0x80}},
        {Repeat(7, 128), {0x81, 7, 0x80}},
        {Repeat(7, 129), {0x81, 7, 0x00, 7, 0x80}},
        // A lone byte between pairs: the output outgrows the input by a third.
        {{1, 2, 2, 3, 4, 4}, {0x00, 1, 0xFF, 2, 0x00, 3, 0xFF, 4, 0x80}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeRunLength(c.input), c.expected);
}

TEST(RunLength, LiteralRunsStopAt128Bytes) {
    Bytes distinct;
    for (int i = 0; i < 300; ++i)
        distinct.push_back(static_cast<std::uint8_t>(i * 7));
    const Bytes out = EncodeRunLength(distinct);
    // 128 + 128 + 44 literal bytes, each run behind its length byte, then the end marker.
    ASSERT_EQ(out.size(), 300u + 3u + 1u);
    EXPECT_EQ(out[0], 127);
    EXPECT_EQ(out[129], 127);
    EXPECT_EQ(out[258], 43);
    EXPECT_EQ(out.back(), 0x80);
    // Also at the very end: 129 distinct bytes end in a one-byte run.
    const Bytes tail = EncodeRunLength(Bytes(distinct.begin(), distinct.begin() + 129));
    EXPECT_EQ(tail[0], 127);
    EXPECT_EQ(tail[129], 0);
    EXPECT_EQ(tail.size(), 129u + 2u + 1u);
}

TEST(Lzw, KnownOutputs) {
    for (int level : {0, 1, 2, 3, 9}) {
        EXPECT_EQ(EncodeLZW(B("A"), level), (Bytes{0x80, 0x10, 0x60, 0x20})) << level;
        EXPECT_EQ(EncodeLZW({}, level), (Bytes{0x80, 0x40, 0x40})) << level;
    }
    // "ABAB": Clear, A, B, then the new entry 258 for "AB", end of data, all 9 bits.
    EXPECT_EQ(EncodeLZW(B("ABAB"), 0), (Bytes{0x80, 0x10, 0x48, 0x50, 0x28, 0x08}));
}

TEST(Ascii85, KnownOutputs) {
    const struct {
        Bytes input;
        std::string expected;
    } cases[] = {
        {{}, "~>"},
        {B("Man "), "9jqo^~>"},
        {Bytes(4, 0), "z~>"},
        {Concat({B("Man "), Bytes(4, 0), B("Man ")}), "9jqo^z9jqo^~>"},
        {Bytes(3, 0), "!!!!~>"}, // a short last group is never "z"
        {B("Ma"), "9jn~>"},
        {Bytes(4, 0xFF), "s8W-!~>"},
    };
    for (const auto& c : cases) {
        const Bytes out = EncodeASCII85(c.input);
        EXPECT_EQ(std::string(out.begin(), out.end()), c.expected);
    }
}

TEST(AsciiHex, KnownOutputs) {
    EXPECT_EQ(EncodeASCIIHex(Bytes{0x0A, 0xFF}), B("0AFF"));
    EXPECT_EQ(EncodeASCIIHex(Bytes{}), Bytes{});
    EXPECT_EQ(EncodeASCIIHex(Bytes{0x00, 0x9C, 0x5B}), B("009C5B"));
}

// A file of one stream object per case, laid out by hand, for a reader that shares nothing with
// our code to decode.
std::string PdfWithStreams(const std::vector<std::pair<std::string, Bytes>>& streams) {
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    auto object = [&](const std::string& body) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [] /Count 0 >>");
    for (const auto& [filter, data] : streams) {
        object("<< /Length " + std::to_string(data.size()) + " /Filter [" + filter +
               "] >>\nstream\n" + std::string(data.begin(), data.end()) + "\nendstream");
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

KERBOLT_TEST_LABEL(oracle, "StreamEncoders.*");
TEST(StreamEncoders, AnIndependentReaderDecodesEveryEncoding) {
    const std::vector<std::pair<const char*, Bytes>> inputs = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"page text", testing_support::PageContentText(40000)},
        // Enough fresh pairs to fill the code table several times at every width.
        {"random", testing_support::RandomBytes(30000, 4)},
        {"runs", Concat({Repeat(0, 1000), B("ab"), Repeat(0xFF, 129), B("xyyzzz"), Repeat(1, 3)})},
    };
    const struct {
        const char* filter;
        std::function<Bytes(const Bytes&)> encode;
    } encoders[] = {
        {"/RunLengthDecode", [](const Bytes& d) { return EncodeRunLength(d); }},
        {"/ASCII85Decode", [](const Bytes& d) { return EncodeASCII85(d); }},
        {"/ASCIIHexDecode", [](const Bytes& d) { return EncodeASCIIHex(d); }},
        {"/LZWDecode", [](const Bytes& d) { return EncodeLZW(d, 0); }},
        {"/LZWDecode", [](const Bytes& d) { return EncodeLZW(d, 1); }},
        {"/LZWDecode", [](const Bytes& d) { return EncodeLZW(d, 2); }},
        {"/LZWDecode", [](const Bytes& d) { return EncodeLZW(d, 3); }},
    };
    std::vector<std::pair<std::string, Bytes>> streams;
    std::vector<std::string> names;
    for (const auto& e : encoders) {
        for (const auto& [name, data] : inputs) {
            streams.emplace_back(e.filter, e.encode(data));
            names.push_back(std::string(e.filter) + " " + name);
        }
    }
    testing_support::TempDir dir;
    const std::string path = dir.File("streams.pdf");
    testing_support::WriteFileBytes(path, PdfWithStreams(streams));
    EXPECT_EQ(testing_support::RunCommand("qpdf --check '" + path + "' >/dev/null 2>&1").status, 0);
    std::size_t stream = 0;
    for (const auto& e : encoders) {
        for (const auto& [name, data] : inputs) {
            const auto decoded =
                testing_support::RunCommand("qpdf --show-object=" + std::to_string(stream + 3) +
                                            " --filtered-stream-data '" + path + "' 2>/dev/null");
            EXPECT_EQ(decoded.status, 0) << names[stream];
            EXPECT_TRUE(decoded.out == std::string(data.begin(), data.end())) << names[stream];
            ++stream;
        }
        (void)e;
    }
}

} // namespace
