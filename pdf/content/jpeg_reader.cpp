#include "pdf/content/jpeg_reader.h"

#include "pdf/writer/errors.h"

#include <algorithm>
#include <iterator>

namespace pagora::detail {

namespace {

bool IsFrameHeader(std::uint8_t code) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range.
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

const char* ColourSpaceFor(int components) {
    switch (components) {
    case 1:
        return "DeviceGray";
    case 3:
        return "DeviceRGB";
    case 4:
        return "DeviceCMYK";
    default:
        return nullptr;
    }
}

} // namespace

JpegResult ReadJpeg(std::span<const std::uint8_t> data) {
    JpegResult result;
    if (data.size() < 2) {
        result.error = kErrFileNotFound;
        return result;
    }
    const std::size_t last = data.size() - 1;
    if (last <= 10) {
        result.error = kRefusedSilently;
        return result;
    }
    const std::size_t limit = last - 10;
    std::size_t p = 0;
    while (p < limit && !(data[p] == 0xFF && data[p + 1] == 0xD8 && data[p + 2] == 0xFF))
        ++p;
    if (p >= limit) {
        // Data without a start-of-image marker would become an image object of no size.
        result.error = kRefusedSilently;
        return result;
    }
    result.start = p;
    p += 2;
    if (p >= limit) {
        result.error = kRefusedSilently;
        return result;
    }
    for (;;) {
        while (data[p] != 0xFF || data[p + 1] == 0xFF) {
            if (++p >= limit) {
                result.error = kRefusedSilently;
                return result;
            }
        }
        ++p;
        const std::uint8_t code = data[p];
        if (IsFrameHeader(code)) {
            result.height = data[p + 4] << 8 | data[p + 5];
            result.width = data[p + 6] << 8 | data[p + 7];
            result.components = data[p + 8];
            const char* space = ColourSpaceFor(result.components);
            // A colour space without a name, or a picture without rows, is no valid image.
            if (space == nullptr || result.width == 0 || result.height == 0) {
                result.error = kErrInvalidCall;
                return result;
            }
            // Data cut before its end-of-image marker would embed a picture missing its last
            // rows (or whole scans).
            std::size_t end = data.size();
            while (end >= 2 && !(data[end - 2] == 0xFF && data[end - 1] == 0xD9))
                --end;
            if (end < p + 9) {
                result.error = kErrSubscript;
                return result;
            }
            result.colour_space = space;
            return result;
        }
        const std::size_t length = std::size_t{data[p + 1]} << 8 | data[p + 2];
        // The inverted CMYK samples that Adobe's encoders write are announced by their marker.
        constexpr std::uint8_t kAdobe[] = {'A', 'd', 'o', 'b', 'e'};
        if (code == 0xEE && length >= 7 && p + 7 < limit &&
            std::equal(std::begin(kAdobe), std::end(kAdobe),
                       data.begin() + static_cast<long>(p + 3))) {
            result.inverted = true;
        }
        p += length;
        if (p >= limit) {
            result.error = kRefusedSilently;
            return result;
        }
    }
}

} // namespace pagora::detail
