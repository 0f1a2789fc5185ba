// GIF files to decoded images: one frame decoded onto a canvas of the logical screen's size.
#pragma once

#include "pdf/content/image_data.h"

#include <cstdint>
#include <span>

namespace pagora::detail {

struct GifResult {
    // 0 when the frame was decoded; kRefusedSilently without a GIF signature;
    // otherwise the run-time error number: 53 fewer than two bytes, 5 a frame without a colour
    // table, an empty screen or a minimum code size outside 1 to 11, 6 a screen or frame field
    // above 32767, 7 a canvas too large, 9 a frame number that matches no image block (the data
    // ending before it included) or a code stream that names a code not yet defined.
    int error = 0;
    // 6 when a colour index did not fit the depth in use and was cut to it.
    int damage = 0;
    // The screen's size; 1, 2, 4 or 8 bits per index packed from the most significant bit, rows
    // bottom first; the palette holds 2 to the power of bits entries.
    DecodedImage image;
    // The background colour index, which the picture shows transparent.
    std::uint8_t background = 0;
};

// Walks the blocks to the image block numbered `frame` (counted from 1) and decodes it. A frame
// whose data ends early keeps the pixels decoded so far; pixels outside the screen are dropped.
GifResult ReadGif(std::span<const std::uint8_t> data, int frame);

} // namespace pagora::detail
