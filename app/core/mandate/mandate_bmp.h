// The mandate's logo as a Windows bitmap file: 24 bits per pixel, uncompressed, rows from the
// bottom up, the one form that every bitmap reader takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kerbolt::mandate {

// A picture as the window hands it over: rows from the top down, three bytes per pixel (red,
// green, blue), no padding.
struct RgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;

    bool empty() const { return width <= 0 || height <= 0; }
};

// The bytes of the bitmap file; empty when the picture is empty, its pixel data does not match
// its size, or the file would pass the format's 4 GB limit.
std::string EncodeBmp24(const RgbImage& image);

// Writes the bitmap file; false when the picture cannot be encoded or the file not written.
bool SaveBmp24(const std::string& path, const RgbImage& image);

} // namespace kerbolt::mandate
