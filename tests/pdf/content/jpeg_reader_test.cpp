#include "pdf/content/jpeg_reader.h"

#include "tests/pdf/content/raster_fixture.h"

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

// A frame header: precision, height 0x0102, width 0x0304, the components.
std::string Frame(int code, int components, int precision = 8) {
    std::string body = {static_cast<char>(precision), '\x01', '\x02', '\x03', '\x04',
                        static_cast<char>(components)};
    body += std::string(static_cast<std::size_t>(3 * components), '\x11');
    return Segment(code, body);
}

const std::string kStart = std::string("\xff\xd8", 2);
const std::string kTail = std::string("\xff\xda") + std::string(16, '\0') + "\xff\xd9";

class JpegFixtures : public raster_test::RasterFixtures {};

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
    const std::string tables = Segment(0xDB, std::string(5, '\x01'));
    for (const int code : {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC9, 0xCF}) {
        // A Huffman table (C4) before it looks like a frame header but is passed over.
        const JpegResult result =
            Read(kStart + tables + Frame(0xC4, 3) + "\xff\xff" + Frame(code, 1, 12) + kTail);
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

} // namespace
