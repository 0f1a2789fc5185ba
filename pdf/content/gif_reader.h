// GIF files to decoded images: one frame decoded onto a canvas of the logical screen's size.
#pragma once

#include "pdf/content/image_data.h"

#include <cstdint>
#include <span>
#include <string>

namespace pagora::detail {

struct GifResult {
    // 0 when the frame was decoded; kRefusedSilently without a GIF signature;
    // otherwise the run-time error number: 53 fewer than two bytes, 5 a frame without a colour
    // table, an empty screen or a minimum code size outside 1 to 11, 6 a screen or frame field
    // above 32767, 7 a screen above 16384 pixels on a side or larger than its frames' data could
    // ever paint, 9 a frame number that matches no image block (the data ending before it
    // included) or a code stream that names a code not yet defined.
    int error = 0;
    // 6 when a colour index did not fit the depth in use (no object is made of it).
    int damage = 0;
    // The screen's size, rows bottom first. The first frame keeps its palette: 1, 2, 4 or 8 bits
    // per index packed from the most significant bit, 2 to the power of bits entries. A later
    // frame is composed over the frames before it into 24-bit red, green, blue samples.
    DecodedImage image;
    // "/Mask" ranges of the transparent index (first frame) or of the colour that stands for
    // transparency (composed frames); empty for an opaque picture.
    std::string colour_key;
};

// Walks the blocks to the image block numbered `frame` (counted from 1) and gives the picture a
// viewer shows at that frame. A frame whose data ends early keeps the pixels decoded so far;
// pixels outside the screen are dropped.
GifResult ReadGif(std::span<const std::uint8_t> data, int frame);

} // namespace pagora::detail
