// JPEG files to image object descriptions: the markers are walked, the picture is never decoded.
#pragma once

#include "pdf/content/image_data.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pagora::detail {

struct JpegResult {
    // 0 when the frame header was found; kRefusedSilently when no start-of-image marker or no
    // frame header lies before the scan limit; otherwise the run-time error number: 53 fewer
    // than two bytes, 5 a component count other than 1, 3 or 4 or a zero size, 9 no end-of-image
    // marker after the frame header.
    int error = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int components = 0;
    std::string colour_space; // "DeviceGray", "DeviceRGB" or "DeviceCMYK"
    // A four-component picture written with inverted samples (Adobe's marker segment).
    bool inverted = false;
    // Index of the start-of-image marker: the image data runs from here to the end.
    std::size_t start = 0;
};

// Finds the start-of-image marker and walks the marker segments to the first frame header. The
// scan stops 10 bytes short of the end, so no field is read outside the span.
JpegResult ReadJpeg(std::span<const std::uint8_t> data);

} // namespace pagora::detail
