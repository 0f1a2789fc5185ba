#include "pdf/content/jpeg_reader.h"

#include "tests/pdf/content/raster_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pagora::detail::JpegResult;
using pagora::detail::kRefusedSilently;
using pagora::detail::ReadJpeg;
using raster_test::AsBytes;

JpegResult Read(const std::string& bytes) {
    return ReadJpeg(AsBytes(bytes));
}

std::string Segment(int code, const std::string& body) {
    const std::size_t length = body.size() + 2;
    return std::string{'\xff', static_cast<char>(code), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)} +
           body;
}

// A frame header: precision, height 0x0102, width 0x0304, the components (each numbered, not
// subsampled, with quantisation table 0).
std::string Frame(int code, int components, int precision = 8) {
    std::string body = {static_cast<char>(precision), '\x01', '\x02', '\x03', '\x04',
                        static_cast<char>(components)};
    for (int c = 1; c <= components; ++c)
        body += {static_cast<char>(c), '\x11', '\0'};
    return Segment(code, body);
}

// A quantisation table segment: precision and slot, then the values.
std::string Quantisation(int precision_and_slot, std::size_t values = 64) {
    return Segment(0xDB, static_cast<char>(precision_and_slot) + std::string(values, '\x01'));
}

// A Huffman table segment: class and slot, the sixteen counts, then the values given.
std::string Huffman(int class_and_slot, const std::string& counts, std::size_t values) {
    std::string body = static_cast<char>(class_and_slot) + counts;
    body.resize(17, '\0');
    return Segment(0xC4, body + std::string(values, '\0'));
}

const std::string kStart = std::string("\xff\xd8", 2);
const std::string kTail = std::string("\xff\xda") + std::string(16, '\0') + "\xff\xd9";

class JpegFixtures : public raster_test::RasterFixtures {};

KERBOLT_TEST_LABEL(oracle, "JpegFixtures.*");
TEST_F(JpegFixtures, TheFrameHeaderGivesSizeAndColourSpace) {
    const struct {
        const char* name;
        int width, height;
        const char* space;
        std::size_t start;
    } cases[] = {
        {"rgb.jpg", 24, 16, "DeviceRGB", 0},         {"grey.jpg", 17, 9, "DeviceGray", 0},
        {"progressive.jpg", 32, 24, "DeviceRGB", 0}, {"cyan.jpg", 8, 8, "DeviceCMYK", 0},
        {"junk.jpg", 24, 16, "DeviceRGB", 21},
    };
    for (const auto& c : cases) {
        const JpegResult result = Read(Bytes(c.name));
        ASSERT_EQ(result.error, 0) << c.name;
        EXPECT_EQ(result.width, c.width) << c.name;
        EXPECT_EQ(result.height, c.height) << c.name;
        EXPECT_EQ(result.colour_space, c.space) << c.name;
        EXPECT_EQ(result.start, c.start) << c.name;
    }
    // The encoder marks its CMYK samples as inverted.
    EXPECT_TRUE(Read(Bytes("cyan.jpg")).inverted);
    EXPECT_FALSE(Read(Bytes("rgb.jpg")).inverted);
}

TEST(JpegReader, OnlyFrameHeadersEndTheMarkerWalk) {
    const std::string tables = Quantisation(0x00);
    for (const int code : {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC9, 0xCF}) {
        // A Huffman table (C4) before it looks like a frame header but is passed over.
        const JpegResult result = Read(kStart + tables + Huffman(0x00, "\x01\x01", 2) + "\xff\xff" +
                                       Frame(code, 1, 12) + kTail);
        EXPECT_EQ(result.error, 0) << code;
        EXPECT_EQ(result.width, 0x0304);
        EXPECT_EQ(result.height, 0x0102);
        EXPECT_EQ(result.colour_space, "DeviceGray");
    }
    const std::string adobe = Segment(0xEE, "Adobe" + std::string(7, '\0'));
    EXPECT_TRUE(Read(kStart + adobe + Frame(0xC0, 4) + kTail).inverted);
    EXPECT_FALSE(Read(kStart + Frame(0xC0, 4) + adobe + kTail).inverted);
}

TEST(JpegReader, RefusesDataWithoutAUsableFrameHeader) {
    const struct {
        std::string data;
        int error;
    } cases[] = {
        {"", 53},
        {"\xff", 53},
        {kStart + Frame(0xC0, 2) + kTail, 5},
        {kStart + Frame(0xC0, 5) + kTail, 5},
        {kStart + Segment(0xC0, std::string("\x08\0\0\x01\0\x03", 6) + std::string(9, '\0')) +
             kTail,
         5},
        {kStart + Segment(0xE0, std::string(20, 'x')) + kTail, kRefusedSilently},
        {std::string(40, '\xff'), kRefusedSilently},
        {std::string(13, '\0'), kRefusedSilently},
        // The frame header lies in the last 10 bytes.
        {kStart + Segment(0xE0, "x") + Frame(0xC0, 1).substr(0, 8) + "\0\0", kRefusedSilently},
        // A segment length that jumps past the end.
        {kStart + "\xff\xe0\xff\xff" + std::string(30, '\0'), kRefusedSilently},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.data).error, c.error) << c.data.size();
}

TEST(JpegReader, DamagedTablesAreRefused) {
    const std::string frame = Frame(0xC0, 3);
    const std::string q = Quantisation(0x00);
    const std::string h = Huffman(0x10, std::string("\0\x02\x01", 3), 3);
    const struct {
        const char* what;
        std::string data;
        int error;
    } cases[] = {
        {"sound tables before and after the frame", kStart + q + frame + h + kTail, 0},
        {"two tables in one segment, 16-bit values",
         kStart +
             Segment(0xDB, "\x10" + std::string(128, '\x01') + "\x01" + std::string(64, '\x01')) +
             frame + kTail,
         0},
        {"a full code space but the all-ones code",
         kStart + frame + Huffman(0x00, "\x01\x01\x01", 3) + kTail, 0},
        {"a quantisation slot past 3", kStart + Quantisation(0x04) + frame + kTail, 9},
        {"a quantisation precision past 16 bits", kStart + Quantisation(0x20) + frame + kTail, 9},
        {"a quantisation table cut short", kStart + Quantisation(0x00, 40) + frame + kTail, 9},
        {"an empty quantisation segment", kStart + Segment(0xDB, "") + frame + kTail, 9},
        {"Huffman counts past the values",
         kStart + frame + Huffman(0x00, std::string("\0\x02\x03", 3), 4) + kTail, 9},
        {"more Huffman codes than their lengths hold",
         kStart + frame + Huffman(0x00, "\x02", 2) + kTail, 9},
        {"more than 256 Huffman values",
         kStart + Huffman(0x01, std::string(8, '\0') + std::string(8, '\x30'), 384) + frame + kTail,
         9},
        {"a Huffman class past AC", kStart + Huffman(0x20, "\x01", 1) + frame + kTail, 9},
        {"a Huffman slot past 3", kStart + frame + Huffman(0x04, "\x01", 1) + kTail, 9},
        {"a frame naming quantisation slot 4",
         kStart + Segment(0xC0, std::string("\x08\0\x01\0\x01\x01\x01\x11\x04", 9)) + kTail, 9},
        {"a frame longer than its components",
         kStart + Segment(0xC0, std::string("\x08\0\x01\0\x01\x01\x01\x11\0\0", 10)) + kTail, 9},
        {"a table segment running past the end",
         kStart + frame + "\xff\xc4\x7f\xff" + std::string(40, '\0') + "\xff\xd9", 9},
        // Tables after the scan begins are the decoder's business, not read here.
        {"a damaged table after the scan", kStart + q + frame + kTail + Quantisation(0x09), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.data).error, c.error) << c.what;
}

} // namespace
