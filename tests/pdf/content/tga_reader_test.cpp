#include "pdf/content/tga_reader.h"

#include "tests/pdf/content/raster_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

using pagora::detail::ReadTga;
using pagora::detail::TgaResult;
using raster_test::AsBytes;

TgaResult Read(const std::string& bytes) {
    return ReadTga(AsBytes(bytes));
}

std::string Header(int width, int height, int depth, int descriptor, int type = 2,
                   int id_length = 0) {
    std::string h(18, '\0');
    h[0] = static_cast<char>(id_length);
    h[2] = static_cast<char>(type);
    h[12] = static_cast<char>(width & 0xFF);
    h[13] = static_cast<char>(width >> 8);
    h[14] = static_cast<char>(height & 0xFF);
    h[15] = static_cast<char>(height >> 8);
    h[16] = static_cast<char>(depth);
    h[17] = static_cast<char>(descriptor);
    return h;
}

std::vector<std::uint8_t> Samples(const TgaResult& result) {
    return result.image.samples;
}

// The picture as the independent decoder prints it; the samples' rows are bottom first.
std::string ToRgbTopDown(const TgaResult& result) {
    std::ostringstream rgb;
    rgb << result.image.width << " " << result.image.height << "\n";
    const auto row = static_cast<std::size_t>(result.image.width) * 3;
    for (std::int32_t y = result.image.height - 1; y >= 0; --y) {
        rgb.write(reinterpret_cast<const char*>(result.image.samples.data()) +
                      static_cast<std::size_t>(y) * row,
                  static_cast<std::streamsize>(row));
    }
    return rgb.str();
}

class TgaFixtures : public raster_test::RasterFixtures {};

KERBOLT_TEST_LABEL(oracle, "TgaFixtures.*");
TEST_F(TgaFixtures, EveryFileDecodesToTheSamePixelsAsAnIndependentDecoder) {
    const auto names = Named(".tga");
    ASSERT_GE(names.size(), 7u);
    for (const auto& name : names) {
        const TgaResult result = Read(Bytes(name));
        ASSERT_EQ(result.error, 0) << name;
        EXPECT_EQ(result.damage, 0) << name;
        EXPECT_EQ(result.image.bits, 24);
        EXPECT_EQ(ToRgbTopDown(result), Decoded(name)) << name;
    }
}

TEST(TgaReader, PixelsAreTurnedFromBlueGreenRedIntoRedGreenBlue) {
    const std::string pixels = std::string("\x01\x02\x03\x04\x05\x06", 6);
    EXPECT_EQ(Samples(Read(Header(2, 1, 24, 0) + pixels)),
              (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4}));
    // A five-byte image ID is skipped: the pixels start at offset 23.
    EXPECT_EQ(Samples(Read(Header(2, 1, 24, 0, 2, 5) + "12345" + pixels)),
              (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4}));
}

TEST(TgaReader, RunLengthPacketsRepeatOrCopyTheirPixels) {
    const std::string pixel = std::string("\x01\x02\x03", 3);
    const struct {
        std::string packets;
        int width;
        std::vector<std::uint8_t> samples;
    } cases[] = {
        {"\x83" + pixel, 4, {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}},
        {"\x80" + pixel, 1, {3, 2, 1}},
        {std::string(1, '\0') + pixel, 1, {3, 2, 1}},
        {std::string("\x01", 1) + pixel + "\x07\x08\x09" + "\x80" + pixel,
         3,
         {3, 2, 1, 9, 8, 7, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        const TgaResult result = Read(Header(c.width, 1, 24, 0, 10) + c.packets);
        EXPECT_EQ(result.error, 0);
        EXPECT_EQ(result.damage, 0);
        EXPECT_EQ(Samples(result), c.samples);
    }
}

TEST(TgaReader, TransparentPixelsBecomeAColourKeyOrAMask) {
    // Blue, green, red, alpha; alpha below half is transparent, the rest opaque.
    const struct {
        const char* what;
        std::string pixels;
        std::string key;
        std::vector<std::uint8_t> mask; // one row of bits, 1 transparent
    } cases[] = {
        {"one transparent colour, twice",
         std::string("\x1e\x14\x0a\x00\x09\x09\x09\x80\x1e\x14\x0a\x7f", 12),
         "10 10 20 20 30 30 ",
         {}},
        {"two transparent colours",
         std::string("\x03\x02\x01\x00\x09\x09\x09\x80\x1e\x14\x0a\x00", 12),
         "",
         {0xA0}},
        {"a transparent colour that an opaque pixel has too",
         std::string("\x03\x02\x01\x00\x03\x02\x01\xff\x09\x09\x09\x00", 12),
         "",
         {0xA0}},
        {"nothing transparent", std::string("\x03\x02\x01\xff\x09\x09\x09\x80", 8), "", {}},
    };
    for (const auto& c : cases) {
        const auto width = static_cast<int>(c.pixels.size() / 4);
        for (const int descriptor : {8, 0x28}) {
            const TgaResult result = Read(Header(width, 1, 32, descriptor) + c.pixels);
            EXPECT_EQ(result.colour_key, c.key) << c.what;
            EXPECT_EQ(result.image.mask, c.mask) << c.what;
        }
    }
    // Rows keep their order in the mask as in the samples: bottom row first.
    const std::string two_rows = std::string("\x03\x02\x01\x00\x09\x09\x09\xff"
                                             "\x09\x09\x09\xff\x1e\x14\x0a\x00",
                                             16);
    EXPECT_EQ(Read(Header(2, 2, 32, 8) + two_rows).image.mask,
              (std::vector<std::uint8_t>{0x80, 0x40}));
    EXPECT_EQ(Read(Header(2, 2, 32, 0x28) + two_rows).image.mask,
              (std::vector<std::uint8_t>{0x40, 0x80}));
    // Alpha bits other than eight carry no transparency; the colours are read all the same.
    const std::string pixels = std::string("\x03\x02\x01\x00\x09\x09\x09\x80\x1e\x14\x0a\x00", 12);
    const TgaResult no_alpha = Read(Header(3, 1, 32, 0) + pixels);
    EXPECT_EQ(no_alpha.colour_key, "");
    EXPECT_TRUE(no_alpha.image.mask.empty());
    EXPECT_EQ(Samples(no_alpha), (std::vector<std::uint8_t>{1, 2, 3, 9, 9, 9, 10, 20, 30}));
}

TEST(TgaReader, ATopDownFileIsTurnedBottomRowFirst) {
    const std::string rows = std::string("\x01\x01\x01\x02\x02\x02", 6); // top, then bottom
    EXPECT_EQ(Samples(Read(Header(1, 2, 24, 0x20) + rows)),
              (std::vector<std::uint8_t>{2, 2, 2, 1, 1, 1}));
    EXPECT_EQ(Samples(Read(Header(1, 2, 24, 0) + rows)),
              (std::vector<std::uint8_t>{1, 1, 1, 2, 2, 2}));
}

TEST(TgaReader, MissingPixelsAreReported) {
    // Raw pixel data that ends after one and a half pixels cannot give the picture at all.
    EXPECT_EQ(Read(Header(2, 1, 24, 0) + std::string("\x01\x02\x03\x04\x05", 5)).error, 7);
    const struct {
        std::string file;
        std::vector<std::uint8_t> samples;
    } cases[] = {
        // A run of four pixels in a picture of two.
        {Header(2, 1, 24, 0, 10) + "\x83\x01\x02\x03", {3, 2, 1, 3, 2, 1}},
        // A run-length file whose packets stop early.
        {Header(3, 1, 24, 0, 10) + "\x81\x01\x02\x03", {3, 2, 1, 3, 2, 1, 0, 0, 0}},
        {Header(2, 1, 24, 0, 10) + "\x81", {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const TgaResult result = Read(c.file);
        EXPECT_EQ(result.error, 0);
        EXPECT_EQ(result.damage, 9);
        EXPECT_EQ(Samples(result), c.samples);
    }
}

TEST_F(TgaFixtures, RefusesWhatItCannotReadWithTheMatchingError) {
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"bad_mapped.tga", 5},       {"bad_grey.tga", 5},        {"bad_sixteen.tga", 5},
        {"bad_huge.tga", 7},         {"bad_wide.tga", 6},        {"bad_empty.tga", 5},
        {"bad_short_header.tga", 9}, {"bad_id_past_end.tga", 9},
    };
    for (const auto& c : cases) {
        const TgaResult result = Read(Bytes(c.name));
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_TRUE(result.image.samples.empty()) << c.name;
    }
    EXPECT_EQ(Read("").error, 53);
    EXPECT_EQ(Read("\x00").error, 53);
    ASSERT_EQ(Named(".tga", true).size(), std::size(cases));
}

} // namespace
