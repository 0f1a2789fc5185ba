#include "pdf/content/bmp_reader.h"

#include "tests/pdf/content/raster_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

using pagora::detail::BmpResult;
using pagora::detail::DecodedImage;
using pagora::detail::ReadBmp;

BmpResult Read(const std::string& bytes) {
    return ReadBmp({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

// The picture as RGB bytes, top row first: what the independent decoder prints.
std::string ToRgbTopDown(const DecodedImage& image) {
    const auto width = static_cast<std::size_t>(image.width);
    const std::size_t row_bytes = (width * image.bits + 7) / 8;
    std::string rgb;
    for (std::int32_t row = image.height - 1; row >= 0; --row) {
        const std::uint8_t* samples =
            image.samples.data() + static_cast<std::size_t>(row) * row_bytes;
        for (std::size_t x = 0; x < width; ++x) {
            if (image.bits == 24) {
                rgb.append(reinterpret_cast<const char*>(samples + 3 * x), 3);
                continue;
            }
            const std::size_t bit = x * image.bits;
            const unsigned shift = 8 - image.bits - static_cast<unsigned>(bit % 8);
            const unsigned index = (samples[bit / 8] >> shift) & ((1u << image.bits) - 1);
            rgb.append(reinterpret_cast<const char*>(image.palette.data() + 3 * index), 3);
        }
    }
    return rgb;
}

KERBOLT_TEST_LABEL(oracle, "BmpFixtures.*");
class BmpFixtures : public raster_test::ScriptFixtures<raster_test::kBmpScript> {};

TEST_F(BmpFixtures, EveryFormDecodesToTheSamePixelsAsAnIndependentDecoder) {
    const auto names = WellFormed();
    ASSERT_GE(names.size(), 15u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const BmpResult result = Read(Bytes(name));
        ASSERT_EQ(result.error, 0);
        const DecodedImage& image = result.image;
        const std::size_t row_bytes = (static_cast<std::size_t>(image.width) * image.bits + 7) / 8;
        EXPECT_EQ(image.samples.size(), row_bytes * static_cast<std::size_t>(image.height));
        if (image.bits <= 8) {
            EXPECT_EQ(image.palette.size(), 3u << image.bits);
        } else {
            EXPECT_EQ(image.bits, 24);
            EXPECT_TRUE(image.palette.empty());
        }
        std::ostringstream size_line;
        size_line << image.width << " " << image.height << "\n";
        // The independent decoding of the picture the fixture is known to encode.
        std::string independent = Decoded(Intended(name));
        if (name == "rgb16.bmp") {
            // The independent decoder widens 5-bit components by repeating their top bits;
            // this library multiplies by 8, so only the top five bits must agree.
            for (std::size_t i = size_line.str().size(); i < independent.size(); ++i) {
                independent[i] = static_cast<char>(independent[i] & 0xF8);
            }
        }
        EXPECT_EQ(size_line.str() + ToRgbTopDown(image), independent);
    }
}

TEST_F(BmpFixtures, SixteenBitComponentsAreMultipliedByEightWhateverTheTopBit) {
    // The bottom row's second and third pixels are 7FFF and FFFF.
    const BmpResult result = Read(Bytes("rgb16.bmp"));
    ASSERT_EQ(result.error, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(result.image.samples.begin() + 3,
                                        result.image.samples.begin() + 9),
              std::vector<std::uint8_t>(6, 248));
}

TEST_F(BmpFixtures, IndexedSamplesStayPackedWithTheTablePaddedToItsDepth) {
    // 7 pixels of 4 bits: 4 bytes per row, the file's 6 colours followed by 10 black entries.
    const BmpResult result = Read(Bytes("pal4.bmp"));
    ASSERT_EQ(result.error, 0);
    EXPECT_EQ(result.image.bits, 4);
    EXPECT_EQ(result.image.samples.size(), 4u * 3u);
    ASSERT_EQ(result.image.palette.size(), 48u);
    EXPECT_EQ(
        std::vector<std::uint8_t>(result.image.palette.begin() + 18, result.image.palette.end()),
        std::vector<std::uint8_t>(30, 0));
}

TEST_F(BmpFixtures, RefusesWhatItCannotReadWithTheMatchingError) {
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"bad_zip.bmp", 53},      {"bad_core_header.bmp", 5},
        {"bad_bitfields.bmp", 5}, {"bad_compression.bmp", 5},
        {"bad_depth.bmp", 5},     {"bad_negative_width.bmp", 6},
        {"bad_huge.bmp", 7},      {"bad_wide.bmp", 7},
        {"bad_offset.bmp", 9},    {"bad_rle_run_off_bottom.bmp", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BmpResult result = Read(Bytes(c.name));
        EXPECT_EQ(result.error, c.error);
        EXPECT_TRUE(result.image.samples.empty());
        EXPECT_EQ(result.image.width, 0);
    }
}

TEST_F(BmpFixtures, EveryFileCutShortIsRefused) {
    for (const auto& name : WellFormed()) {
        const std::string bytes = Bytes(name);
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const BmpResult result = Read(bytes.substr(0, length));
            EXPECT_NE(result.error, 0) << name << " cut at " << length;
            EXPECT_TRUE(result.image.samples.empty());
        }
    }
}

TEST(BmpReader, TinyInputsAreNotBitmaps) {
    EXPECT_EQ(Read("").error, 53);
    EXPECT_EQ(Read("B").error, 53);
    EXPECT_EQ(Read("BM").error, 9);
}

} // namespace
