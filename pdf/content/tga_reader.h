// Truecolour TGA files to decoded images: a pure reader over the file's bytes.
#pragma once

#include "pdf/content/image_data.h"

#include <cstdint>
#include <span>
#include <string>

namespace pagora::detail {

struct TgaResult {
    // 0 when the picture was read; otherwise the run-time error number: 53 fewer than two bytes,
    // 5 an image type other than uncompressed or run-length truecolour, a pixel depth other than
    // 24 or 32 bits or a zero size, 6 a size above 32767, 7 a picture too large (more than
    // 16384 pixels on a side, or more pixels than its data can hold), 9 a header or image ID cut
    // short.
    int error = 0;
    // 9 when the pixel data ended early or a run ran past the picture (no object is made of it).
    int damage = 0;
    // 24 bits, rows bottom first (the order the image object is placed in).
    DecodedImage image;
    // The transparency of a picture with 8 alpha bits, each pixel rounded to transparent (alpha
    // below 128) or opaque: "r r g g b b " when the transparent pixels share one colour that no
    // opaque pixel has, else a mask in the image (empty when no pixel is transparent).
    std::string colour_key;
};

// Reads uncompressed (type 2) and run-length (type 10) truecolour files of 24 or 32 bits, with
// either origin. Nothing is read outside the span.
TgaResult ReadTga(std::span<const std::uint8_t> data);

} // namespace pagora::detail
