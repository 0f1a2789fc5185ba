// Windows bitmap files to decoded images: a pure reader over the file's bytes.
#pragma once

#include "pdf/content/image_data.h"

#include <cstdint>
#include <span>

namespace pagora::detail {

struct BmpResult {
    // 0 when the picture was read; otherwise the run-time error number: 53 not a bitmap (fewer
    // than two bytes or no "BM" signature), 5 a form that is not supported, 6 a header value out
    // of range, 7 a picture too large (more than 16384 pixels on a side, or more pixels than its
    // data can give), 9 data cut short or pointing outside the file.
    int error = 0;
    // Rows bottom first (the picture's lowest row is the first sample row), as bitmaps store them.
    DecodedImage image;
};

// Reads uncompressed bitmaps of 1, 4, 8, 16, 24 and 32 bits per pixel and run-length encoded
// ones of 4 and 8 bits, bottom-up or top-down, with information headers of 40, 52, 56, 108 or
// 124 bytes. Everything is validated before anything is produced; no read leaves the span.
BmpResult ReadBmp(std::span<const std::uint8_t> data);

} // namespace pagora::detail
