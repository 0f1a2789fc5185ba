// A decoded raster image as the image object writer takes it, and the limits every reader keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

// Readers refuse pictures whose samples would exceed this many bytes (error 7), so that a
// header alone can never make the library reserve gigabytes.
inline constexpr std::uint64_t kMaxSampleBytes = 256ull * 1024 * 1024;

// Nor a picture wider or taller than this many pixels (error 7): no page shows more, and a
// header claiming more is what an image bomb looks like.
inline constexpr std::uint32_t kMaxImageSide = 16384;

// A reader's error value for data that is not of its format at all: nothing is written and,
// unlike the run-time errors, nothing is recorded.
inline constexpr int kRefusedSilently = -1;

struct DecodedImage {
    std::int32_t width = 0;  // pixels per row
    std::int32_t height = 0; // rows
    // 1, 4 or 8: palette indexes packed in bytes, each row starting on a byte boundary;
    // 24: red, green, blue bytes per pixel.
    std::uint8_t bits = 0;
    // The rows, in the order the image object stores them.
    std::vector<std::uint8_t> samples;
    // Red, green, blue per entry, 2 to the power of bits entries; empty for 24 bits.
    std::vector<std::uint8_t> palette;
    // Where one colour key cannot say which pixels are transparent: one bit a pixel, 1 for
    // transparent, rows in the order of the samples, each starting on a byte boundary. Empty
    // for none.
    std::vector<std::uint8_t> mask;
};

// The mask of a picture from one flag a pixel (non-zero: transparent), rows in the flags' order.
std::vector<std::uint8_t> MaskFromFlags(const std::vector<std::uint8_t>& transparent,
                                        std::size_t width, std::size_t height);

// The colour key that makes one colour transparent: for an indexed image the last palette entry
// equal to the colour ("i i "), none when no entry matches; for RGB samples the colour itself
// ("r r g g b b ").
std::string ColourKeyFor(const DecodedImage& image, std::uint8_t red, std::uint8_t green,
                         std::uint8_t blue);

} // namespace pagora::detail
