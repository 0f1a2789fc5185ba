#include "pdf/content/gif_reader.h"

#include "tests/pdf/content/raster_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

namespace {

using pagora::detail::DecodedImage;
using pagora::detail::GifResult;
using pagora::detail::kRefusedSilently;
using pagora::detail::ReadGif;
using raster_test::AsBytes;

GifResult Read(const std::string& bytes, int frame = 1) {
    return ReadGif(AsBytes(bytes), frame);
}

unsigned IndexAt(const DecodedImage& image, int x, int y) {
    const std::size_t row_bytes = (static_cast<std::size_t>(image.width) * image.bits + 7) / 8;
    const std::size_t row = static_cast<std::size_t>(image.height - 1 - y); // rows bottom first
    const std::size_t bit = static_cast<std::size_t>(x) * image.bits;
    const unsigned shift = 8 - image.bits - static_cast<unsigned>(bit % 8);
    return (image.samples[row * row_bytes + bit / 8] >> shift) & ((1u << image.bits) - 1);
}

// The picture as the independent decoder prints it: size line, RGB bytes top row first.
std::string ToRgbTopDown(const DecodedImage& image) {
    std::ostringstream rgb;
    rgb << image.width << " " << image.height << "\n";
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.bits == 24) { // composed frames: red, green, blue, rows bottom first
                const std::size_t row = static_cast<std::size_t>(image.height - 1 - y);
                rgb.write(reinterpret_cast<const char*>(image.samples.data()) +
                              (row * static_cast<std::size_t>(image.width) +
                               static_cast<std::size_t>(x)) *
                                  3,
                          3);
                continue;
            }
            rgb.write(
                reinterpret_cast<const char*>(image.palette.data() + 3 * IndexAt(image, x, y)), 3);
        }
    }
    return rgb.str();
}

class GifFixtures : public raster_test::RasterFixtures {};

KERBOLT_TEST_LABEL(oracle, "GifFixtures.*");
TEST_F(GifFixtures, EveryFileDecodesToTheSamePixelsAsAnIndependentDecoder) {
    const auto names = Named(".gif");
    ASSERT_GE(names.size(), 12u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        // The independent decoder widens the screen to a frame that reaches past it; the frame's
        // clipping is checked on its own below.
        if (name == "edge.gif") continue;
        const GifResult result = Read(Bytes(name));
        ASSERT_EQ(result.error, 0);
        EXPECT_EQ(result.damage, 0);
        const DecodedImage& image = result.image;
        EXPECT_EQ(image.samples.size(), (static_cast<std::size_t>(image.width) * image.bits + 7) /
                                            8 * static_cast<std::size_t>(image.height));
        EXPECT_EQ(image.palette.size(), 3u << image.bits);
        EXPECT_EQ(ToRgbTopDown(image), Decoded(name));
    }
}

TEST_F(GifFixtures, LaterFramesOfAnAnimationShowWhatAViewerShows) {
    for (const int frame : {2, 3}) {
        const GifResult result = Read(Bytes("animation.gif"), frame);
        ASSERT_EQ(result.error, 0);
        EXPECT_EQ(ToRgbTopDown(result.image), Decoded("animation.gif", frame)) << frame;
    }
    for (const int frame : {0, -1, 4})
        EXPECT_EQ(Read(Bytes("animation.gif"), frame).error, 9);
}

TEST_F(GifFixtures, ColourDepthsAreRoundedToOneTwoFourOrEightBits) {
    const struct {
        const char* name;
        int bits;
        std::size_t palette;
    } cases[] = {
        {"two.gif", 1, 6},      {"four.gif", 2, 12},    {"eight.gif", 4, 48},
        {"sixteen.gif", 4, 48}, {"thirty.gif", 8, 768}, {"local.gif", 2, 12},
    };
    for (const auto& c : cases) {
        const GifResult result = Read(Bytes(c.name));
        EXPECT_EQ(result.image.bits, c.bits) << c.name;
        EXPECT_EQ(result.image.palette.size(), c.palette) << c.name;
    }
    // Eight colours stored at four bits: the file's 24 bytes, then black.
    const GifResult eight = Read(Bytes("eight.gif"));
    EXPECT_EQ(
        std::vector<std::uint8_t>(eight.image.palette.begin() + 24, eight.image.palette.end()),
        std::vector<std::uint8_t>(24, 0));
    EXPECT_EQ(eight.colour_key, ""); // no transparent index: an opaque picture
}

TEST_F(GifFixtures, FramesLandAtTheirOffsetAndNeverSpillPastTheScreen) {
    const GifResult offset = Read(Bytes("offset.gif"));
    ASSERT_EQ(offset.error, 0);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 15 && y >= 5 && y < 15;
            EXPECT_EQ(IndexAt(offset.image, x, y), inside ? 1 + (x - 5 + y - 5) % 3 : 0u)
                << x << "," << y;
        }
    }
    // A 10-pixel frame at column 15 of a 20-pixel screen: its last five columns are dropped.
    const GifResult edge = Read(Bytes("edge.gif"));
    ASSERT_EQ(edge.error, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(IndexAt(edge.image, x, y), x >= 15 ? 1 + (x - 15) % 3 : 0u) << x;
    }
}

TEST_F(GifFixtures, RefusesWhatItCannotReadWithTheMatchingError) {
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"bad_no_table.gif", 5},       {"bad_no_frame.gif", 9},     {"bad_huge_screen.gif", 7},
        {"bad_wide_screen.gif", 6},    {"bad_empty_screen.gif", 5}, {"bad_code_size.gif", 5},
        {"bad_undefined_code.gif", 9},
    };
    for (const auto& c : cases) {
        const GifResult result = Read(Bytes(c.name));
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_TRUE(result.image.samples.empty()) << c.name;
    }
    EXPECT_EQ(Read("").error, 53);
    EXPECT_EQ(Read("G").error, 53);
    EXPECT_EQ(Read("GIF88a" + std::string(20, '\0')).error, kRefusedSilently);
    EXPECT_EQ(Read("GIF89a\x04").error, 9);
}

TEST_F(GifFixtures, FilesCutShortAreRefusedOrKeepTheirDecodedPixels) {
    for (const auto& name : Named(".gif")) {
        const std::string bytes = Bytes(name);
        if (bytes.size() > 2000) continue; // the larger files add nothing but time
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const GifResult result = Read(bytes.substr(0, length));
            if (result.error != 0) {
                EXPECT_TRUE(result.image.samples.empty()) << name << " cut at " << length;
                continue;
            }
            // A file cut inside its frame's codes is taken at its full size.
            EXPECT_EQ(result.image.samples.size(), Read(bytes).image.samples.size());
            EXPECT_EQ(result.image.palette.size(), 3u << result.image.bits);
        }
    }
    // Without the trailer the frame is complete.
    const std::string bytes = Bytes("interlaced.gif");
    EXPECT_EQ(ToRgbTopDown(Read(bytes.substr(0, bytes.size() - 1)).image),
              Decoded("interlaced.gif"));
}

TEST(GifReader, ColourIndexesBeyondTheDepthAreCutAndReported) {
    // Two colours (1 bit) but codes of 2 bits: the literal 3 does not fit.
    std::string gif = "GIF89a";
    gif += std::string("\x02\x00\x01\x00\x80\x00\x00", 7) + std::string(6, '\xff');
    // Clear (4), 3, 1, end (5) at 3 bits each, least significant bit first: 0x5C 0x0A.
    gif += std::string("\x2c\0\0\0\0\x02\0\x01\0\0\x02\x02\x5c\x0a\0\x3b", 16);
    const GifResult result = Read(gif);
    ASSERT_EQ(result.error, 0);
    EXPECT_EQ(result.damage, 6);
    EXPECT_EQ(IndexAt(result.image, 0, 0), 1u);
    EXPECT_EQ(IndexAt(result.image, 1, 0), 1u);
}

} // namespace
