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

using Bytes = std::span<const std::uint8_t>;

// The tables of a segment body (after its length field), as a decoder reads them: every viewer
// stops at a table it cannot read, so a file whose tables are damaged is never embedded.

// Quantisation tables: a precision (8 or 16 bits) and a slot (0 to 3), then 64 values.
bool QuantisationTablesValid(Bytes body) {
    if (body.empty()) return false;
    for (std::size_t i = 0; i < body.size();) {
        const int precision = body[i] >> 4;
        const int slot = body[i] & 0x0F;
        if (precision > 1 || slot > 3) return false;
        const std::size_t size = precision == 0 ? 64 : 128;
        if (body.size() - i - 1 < size) return false;
        i += 1 + size;
    }
    return true;
}

// Huffman tables: a class (DC or AC) and a slot (0 to 3), the number of codes of each length 1
// to 16, then that many values. The codes must fit their lengths, the all-ones code left free.
bool HuffmanTablesValid(Bytes body) {
    if (body.empty()) return false;
    for (std::size_t i = 0; i < body.size();) {
        const int table_class = body[i] >> 4;
        const int slot = body[i] & 0x0F;
        if (table_class > 1 || slot > 3 || body.size() - i - 1 < 16) return false;
        std::size_t total = 0;
        std::uint32_t code = 0;
        for (std::size_t length = 1; length <= 16; ++length) {
            const std::uint32_t count = body[i + length];
            code += count;
            if (count != 0 && code >= (std::uint32_t{1} << length)) return false;
            code <<= 1;
            total += count;
        }
        if (total > 256 || body.size() - i - 17 < total) return false;
        i += 17 + total;
    }
    return true;
}

// A frame header: its length matches its component count, and every component names a
// quantisation table slot that exists.
bool FrameValid(Bytes body) {
    if (body.size() < 6) return false;
    const std::size_t components = body[5];
    if (body.size() != 6 + 3 * components) return false;
    for (std::size_t c = 0; c < components; ++c) {
        if (body[6 + 3 * c + 2] > 3) return false;
    }
    return true;
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
    bool frame_found = false;
    for (;;) {
        while (data[p] != 0xFF || data[p + 1] == 0xFF) {
            if (++p >= limit) {
                // Past the frame header the walk only checks tables; running out of data there
                // is for the end-of-image test to judge.
                if (!frame_found) result.error = kRefusedSilently;
                return result;
            }
        }
        ++p;
        const std::uint8_t code = data[p];
        // The scan data and the end of the picture follow no more tables.
        if (frame_found && (code == 0xDA || code == 0xD9)) return result;
        const std::size_t length = std::size_t{data[p + 1]} << 8 | data[p + 2];
        // A segment's body: what its length covers, within the data. A segment running past the
        // end, or shorter than its own length field, is damaged.
        const bool whole = length >= 2 && p + 1 + length <= data.size();
        const Bytes body = whole ? data.subspan(p + 3, length - 2) : Bytes();
        if (!frame_found && IsFrameHeader(code)) {
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
            if (end < p + 9 || !whole || !FrameValid(body)) {
                result.error = kErrSubscript;
                return result;
            }
            result.colour_space = space;
            frame_found = true;
        } else if ((code == 0xDB && !QuantisationTablesValid(body)) ||
                   (code == 0xC4 && !HuffmanTablesValid(body))) {
            result.error = kErrSubscript;
            return result;
        }
        // The inverted CMYK samples that Adobe's encoders write are announced by their marker.
        constexpr std::uint8_t kAdobe[] = {'A', 'd', 'o', 'b', 'e'};
        if (!frame_found && code == 0xEE && length >= 7 && p + 7 < limit &&
            std::equal(std::begin(kAdobe), std::end(kAdobe),
                       data.begin() + static_cast<long>(p + 3))) {
            result.inverted = true;
        }
        p += length;
        if (p >= limit) {
            if (!frame_found) result.error = kRefusedSilently;
            return result;
        }
    }
}

} // namespace pagora::detail
