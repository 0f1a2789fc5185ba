#include "pdf/content/tga_reader.h"

#include "pdf/writer/errors.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace pagora::detail {

namespace {

constexpr std::size_t kHeaderBytes = 18;
constexpr std::uint8_t kUncompressed = 2;
constexpr std::uint8_t kRunLength = 10;
constexpr std::uint8_t kTopOrigin = 0x20;
constexpr std::uint8_t kAlphaBits = 0x0F;

std::uint32_t U16(std::span<const std::uint8_t> data, std::size_t offset) {
    return static_cast<std::uint32_t>(data[offset] | data[offset + 1] << 8);
}

// Pixel values in file order, read until the data ends.
class PixelSource {
public:
    PixelSource(std::span<const std::uint8_t> data, std::size_t start, std::size_t pixel_bytes,
                bool keyed)
        : data_(data), p_(start), pixel_bytes_(pixel_bytes), keyed_(keyed) {}

    bool AtEnd() const { return p_ >= data_.size(); }
    // Reads one pixel value into red, green, blue and whether it is transparent (alpha rounded
    // to none or full); false when it is not all there.
    bool Next(std::uint8_t rgb[3], std::uint8_t& transparent) {
        if (data_.size() - std::min(p_, data_.size()) < pixel_bytes_) {
            p_ = data_.size();
            return false;
        }
        rgb[0] = data_[p_ + 2];
        rgb[1] = data_[p_ + 1];
        rgb[2] = data_[p_];
        transparent = keyed_ && data_[p_ + 3] < 128 ? 1 : 0;
        p_ += pixel_bytes_;
        return true;
    }
    bool Byte(std::uint8_t& value) {
        if (AtEnd()) return false;
        value = data_[p_++];
        return true;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t p_;
    std::size_t pixel_bytes_;
    bool keyed_;
};

// One colour key says the picture's transparency exactly when the transparent pixels share one
// colour and no opaque pixel has it; otherwise every transparent pixel would not vanish, or an
// opaque one would, and the picture gets a mask.
void Transparency(TgaResult& result, const std::vector<std::uint8_t>& transparent,
                  std::uint32_t width, std::uint32_t height) {
    const std::vector<std::uint8_t>& samples = result.image.samples;
    const auto first = std::find(transparent.begin(), transparent.end(), 1);
    if (first == transparent.end()) return;
    const std::size_t key_at = static_cast<std::size_t>(first - transparent.begin()) * 3;
    bool one_colour = true;
    for (std::size_t p = 0; p < transparent.size() && one_colour; ++p) {
        const bool same = std::equal(samples.begin() + static_cast<long>(3 * p),
                                     samples.begin() + static_cast<long>(3 * p + 3),
                                     samples.begin() + static_cast<long>(key_at));
        one_colour = same == (transparent[p] != 0);
    }
    if (!one_colour) {
        result.image.mask = MaskFromFlags(transparent, width, height);
        return;
    }
    for (std::size_t c = 0; c < 3; ++c) {
        const std::string component = std::to_string(samples[key_at + c]);
        result.colour_key += component + " " + component + " ";
    }
}

} // namespace

TgaResult ReadTga(std::span<const std::uint8_t> data) {
    TgaResult result;
    if (data.size() < 2) {
        result.error = kErrFileNotFound;
        return result;
    }
    if (data.size() < kHeaderBytes) {
        result.error = kErrSubscript;
        return result;
    }
    const std::uint8_t id_length = data[0];
    const std::uint8_t map_type = data[1];
    const std::uint8_t type = data[2];
    const std::uint32_t width = U16(data, 12);
    const std::uint32_t height = U16(data, 14);
    const std::uint8_t depth = data[16];
    const std::uint8_t descriptor = data[17];
    // Colour-mapped and grey pictures, and 8- or 16-bit pixels, would come out black.
    if ((type != kUncompressed && type != kRunLength) || (depth != 24 && depth != 32) ||
        width == 0 || height == 0) {
        result.error = kErrInvalidCall;
        return result;
    }
    if (width > 0x7FFF || height > 0x7FFF) {
        result.error = kErrOverflow;
        return result;
    }
    const std::uint64_t row_bytes = std::uint64_t{width} * 3;
    if (row_bytes * height > kMaxSampleBytes || width > kMaxImageSide || height > kMaxImageSide) {
        result.error = kErrOutOfMemory;
        return result;
    }
    // A colour map that a truecolour file carries lies between the image ID and the pixels.
    const std::uint64_t map_bytes =
        map_type == 1 ? std::uint64_t{U16(data, 5)} * ((data[7] + 7u) / 8) : 0;
    const std::uint64_t start = kHeaderBytes + id_length + map_bytes;
    if (start > data.size()) {
        result.error = kErrSubscript;
        return result;
    }
    // A header claiming more pixels than the data can hold is refused before anything is
    // reserved: raw pixels take their bytes each, a run packet at most 128 pixels.
    const std::uint64_t pixels = std::uint64_t{width} * height;
    const std::uint64_t available = data.size() - start;
    const std::uint64_t pixel_bytes = depth / 8u;
    const std::uint64_t most =
        type == kUncompressed ? available / pixel_bytes : available / (1 + pixel_bytes) * 128 + 128;
    if (pixels > most) {
        result.error = kErrOutOfMemory;
        return result;
    }

    // Only eight alpha bits make a pixel's transparency mean something; other 32-bit files are
    // read for their colours alone.
    const bool keyed = depth == 32 && (descriptor & kAlphaBits) == 8;
    PixelSource source(data, static_cast<std::size_t>(start), depth / 8u, keyed);
    std::vector<std::uint8_t>& samples = result.image.samples;
    samples.assign(static_cast<std::size_t>(row_bytes * height), 0);
    std::vector<std::uint8_t> transparent(keyed ? static_cast<std::size_t>(pixels) : 0, 0);
    const std::size_t total = samples.size();
    std::size_t i = 0;
    std::uint8_t rgb[3];
    std::uint8_t clear = 0;
    const auto store = [&] {
        std::copy_n(rgb, 3, samples.begin() + static_cast<long>(i));
        if (keyed) transparent[i / 3] = clear;
        i += 3;
    };
    if (type == kUncompressed) {
        while (i < total && source.Next(rgb, clear))
            store();
    } else {
        std::uint8_t header = 0;
        while (i < total && source.Byte(header)) {
            const std::size_t count = (header & 0x7F) + 1u;
            const bool run = header >= 0x80;
            for (std::size_t k = 0; k < count; ++k) {
                if ((k == 0 || !run) && !source.Next(rgb, clear)) break;
                if (i >= total) {
                    result.damage = kErrSubscript; // a packet running past the picture
                    break;
                }
                store();
            }
        }
    }
    if (i < total) result.damage = kErrSubscript;

    // The image object is placed bottom row first, the default order of the format.
    if ((descriptor & kTopOrigin) != 0) {
        const auto row = static_cast<std::ptrdiff_t>(row_bytes);
        for (std::ptrdiff_t top = 0, bottom = static_cast<std::ptrdiff_t>(height) - 1; top < bottom;
             ++top, --bottom) {
            std::swap_ranges(samples.begin() + top * row, samples.begin() + (top + 1) * row,
                             samples.begin() + bottom * row);
            if (keyed) {
                const auto w = static_cast<std::ptrdiff_t>(width);
                std::swap_ranges(transparent.begin() + top * w, transparent.begin() + (top + 1) * w,
                                 transparent.begin() + bottom * w);
            }
        }
    }
    if (keyed) Transparency(result, transparent, width, height);
    result.image.width = static_cast<std::int32_t>(width);
    result.image.height = static_cast<std::int32_t>(height);
    result.image.bits = 24;
    return result;
}

} // namespace pagora::detail
