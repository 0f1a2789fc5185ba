#include "pdf/content/bmp_reader.h"

#include "pdf/writer/errors.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace pagora::detail {

namespace {

constexpr int kNotABitmap = kErrFileNotFound;
constexpr int kUnsupported = kErrInvalidCall;
constexpr int kOutOfRange = kErrOverflow;
constexpr int kTooLarge = kErrOutOfMemory;
constexpr int kCutShort = kErrSubscript;

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;

struct BmpFailure {
    int number;
};

// Every read of the file goes through here, so a header or a run pointing past the end ends
// the reading instead of reading memory that is not ours.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint64_t Size() const { return data_.size(); }
    bool Has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    void Require(std::uint64_t offset, std::uint64_t count) const {
        if (!Has(offset, count)) throw BmpFailure{kCutShort};
    }
    std::uint8_t U8(std::uint64_t offset) const {
        Require(offset, 1);
        return data_[static_cast<std::size_t>(offset)];
    }
    std::uint32_t U16(std::uint64_t offset) const {
        Require(offset, 2);
        return static_cast<std::uint32_t>(U8(offset) | U8(offset + 1) << 8);
    }
    std::uint32_t U32(std::uint64_t offset) const {
        Require(offset, 4);
        return U16(offset) | U16(offset + 2) << 16;
    }
    std::int32_t S32(std::uint64_t offset) const {
        // Two's complement conversion, well defined since C++20.
        return static_cast<std::int32_t>(U32(offset));
    }
    const std::uint8_t* At(std::uint64_t offset, std::uint64_t count) const {
        Require(offset, count);
        return data_.data() + offset;
    }

private:
    std::span<const std::uint8_t> data_;
};

struct Header {
    std::uint64_t pixel_offset = 0;
    std::uint64_t header_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive here; top_down tells the row order
    bool top_down = false;
    std::uint32_t depth = 0;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
};

bool IsKnownHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

Header ReadHeader(const ByteReader& in) {
    if (in.Size() < 2 || in.U8(0) != 'B' || in.U8(1) != 'M') throw BmpFailure{kNotABitmap};
    Header h;
    h.pixel_offset = in.U32(10);
    const std::uint32_t header_size = in.U32(14);
    // The 12-byte header of the oldest form has 16-bit fields at other offsets.
    if (!IsKnownHeaderSize(header_size)) throw BmpFailure{kUnsupported};
    h.header_size = header_size;
    in.Require(14, header_size);
    const std::int32_t width = in.S32(18);
    const std::int32_t height = in.S32(22);
    h.depth = in.U16(28);
    h.compression = in.U32(30);
    h.colours_used = in.U32(46);

    if (width < 0 || height == std::numeric_limits<std::int32_t>::min()) {
        throw BmpFailure{kOutOfRange};
    }
    if (width == 0 || height == 0) throw BmpFailure{kUnsupported};
    h.width = width;
    h.top_down = height < 0;
    h.height = h.top_down ? -static_cast<std::int64_t>(height) : height;

    const bool depth_known = h.depth == 1 || h.depth == 4 || h.depth == 8 || h.depth == 16 ||
                             h.depth == 24 || h.depth == 32;
    if (!depth_known) throw BmpFailure{kUnsupported};
    // Bit-field masks (compression 3) and embedded JPEG or PNG data are not read; a run-length
    // form only exists for its own depth.
    const bool compression_known = h.compression == kRgb ||
                                   (h.compression == kRle8 && h.depth == 8) ||
                                   (h.compression == kRle4 && h.depth == 4);
    if (!compression_known) throw BmpFailure{kUnsupported};
    return h;
}

std::vector<std::uint8_t> ReadPalette(const ByteReader& in, const Header& h) {
    const std::uint32_t capacity = 1u << h.depth;
    const std::uint32_t entries =
        h.colours_used >= 1 && h.colours_used <= capacity ? h.colours_used : capacity;
    // The colour table follows the information header, whatever its size.
    const std::uint64_t start = 14 + h.header_size;
    const std::uint8_t* table = in.At(start, std::uint64_t{entries} * 4);
    std::vector<std::uint8_t> palette(std::size_t{capacity} * 3, 0);
    for (std::uint32_t i = 0; i < entries; ++i) {
        palette[3 * i] = table[4 * i + 2];
        palette[3 * i + 1] = table[4 * i + 1];
        palette[3 * i + 2] = table[4 * i];
    }
    return palette;
}

void DecodeUncompressed(const ByteReader& in, const Header& h, std::uint64_t row_out,
                        std::vector<std::uint8_t>& out) {
    const std::uint64_t row_bytes = (static_cast<std::uint64_t>(h.width) * h.depth + 7) / 8;
    const std::uint64_t stride = (row_bytes + 3) / 4 * 4;
    const std::uint8_t* pixels =
        in.At(h.pixel_offset, stride * static_cast<std::uint64_t>(h.height));
    out.resize(static_cast<std::size_t>(row_out * static_cast<std::uint64_t>(h.height)));
    const auto width = static_cast<std::size_t>(h.width);
    for (std::int64_t row = 0; row < h.height; ++row) {
        const std::uint8_t* src = pixels + static_cast<std::size_t>(row) * stride;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(row) * row_out;
        switch (h.depth) {
        case 16:
            for (std::size_t x = 0; x < width; ++x) {
                const unsigned value = src[2 * x] | static_cast<unsigned>(src[2 * x + 1]) << 8;
                dst[3 * x] = static_cast<std::uint8_t>(((value >> 10) & 0x1F) << 3);
                dst[3 * x + 1] = static_cast<std::uint8_t>(((value >> 5) & 0x1F) << 3);
                dst[3 * x + 2] = static_cast<std::uint8_t>((value & 0x1F) << 3);
            }
            break;
        case 24:
        case 32: {
            const std::size_t step = h.depth / 8;
            for (std::size_t x = 0; x < width; ++x) {
                dst[3 * x] = src[step * x + 2];
                dst[3 * x + 1] = src[step * x + 1];
                dst[3 * x + 2] = src[step * x];
            }
            break;
        }
        default:
            std::copy_n(src, static_cast<std::size_t>(row_bytes), dst);
        }
    }
}

// Run-length data addresses pixels by column and row (rows counted from the start of the data),
// so an end of line on a row that is already full, and the delta escape, land where the
// encoder meant. Pixels past the row's width are dropped; a pixel below the last row is an error.
class RunLengthCanvas {
public:
    RunLengthCanvas(const Header& h, std::uint64_t row_out, std::vector<std::uint8_t>& out)
        : width_(static_cast<std::uint64_t>(h.width)),
          height_(static_cast<std::uint64_t>(h.height)), row_out_(row_out), nibbles_(h.depth == 4),
          out_(out) {}

    // Sets count pixels from the current position, value(i) giving the i-th one.
    template <typename Value> void Put(std::uint64_t count, Value value) {
        if (count == 0) return;
        if (y_ >= height_) throw BmpFailure{kCutShort};
        // Rows are added as they are reached, so a short file that declares a large picture
        // fails before the whole picture is reserved.
        const std::uint64_t needed = (y_ + 1) * row_out_;
        if (out_.size() < needed) out_.resize(static_cast<std::size_t>(needed), 0);
        std::uint8_t* row = out_.data() + y_ * row_out_;
        const std::uint64_t visible = x_ < width_ ? std::min(count, width_ - x_) : 0;
        for (std::uint64_t i = 0; i < visible; ++i) {
            const std::uint64_t x = x_ + i;
            const std::uint8_t v = value(i);
            if (nibbles_) {
                std::uint8_t& byte = row[x / 2];
                byte = (x % 2 == 0) ? static_cast<std::uint8_t>((byte & 0x0F) | (v << 4))
                                    : static_cast<std::uint8_t>((byte & 0xF0) | (v & 0x0F));
            } else {
                row[x] = v;
            }
        }
        x_ += count;
    }
    void EndOfLine() {
        x_ = 0;
        ++y_;
    }
    void Move(std::uint64_t dx, std::uint64_t dy) {
        x_ += dx;
        y_ += dy;
    }

private:
    std::uint64_t width_, height_, row_out_;
    bool nibbles_;
    std::vector<std::uint8_t>& out_;
    std::uint64_t x_ = 0, y_ = 0;
};

void DecodeRunLength(const ByteReader& in, const Header& h, std::uint64_t row_out,
                     std::vector<std::uint8_t>& out) {
    RunLengthCanvas canvas(h, row_out, out);
    const bool nibbles = h.depth == 4;
    std::uint64_t i = h.pixel_offset;
    // A bitmap whose data ends without the end-of-bitmap escape has been cut short.
    for (;;) {
        const std::uint8_t first = in.U8(i);
        const std::uint8_t second = in.U8(i + 1);
        i += 2;
        if (first > 0) {
            if (nibbles) {
                canvas.Put(first, [second](std::uint64_t k) {
                    return static_cast<std::uint8_t>(k % 2 == 0 ? second >> 4 : second & 0x0F);
                });
            } else {
                canvas.Put(first, [second](std::uint64_t) { return second; });
            }
            continue;
        }
        if (second == 0) {
            canvas.EndOfLine();
        } else if (second == 1) {
            break;
        } else if (second == 2) {
            canvas.Move(in.U8(i), in.U8(i + 1));
            i += 2;
        } else {
            const std::uint64_t bytes = nibbles ? (second + 1u) / 2 : second;
            const std::uint8_t* run = in.At(i, bytes);
            if (nibbles) {
                canvas.Put(second, [run](std::uint64_t k) {
                    const std::uint8_t byte = run[k / 2];
                    return static_cast<std::uint8_t>(k % 2 == 0 ? byte >> 4 : byte & 0x0F);
                });
            } else {
                canvas.Put(second, [run](std::uint64_t k) { return run[k]; });
            }
            // Absolute runs are padded to a whole number of 16-bit words.
            i += bytes + bytes % 2;
        }
    }
    out.resize(static_cast<std::size_t>(row_out * static_cast<std::uint64_t>(h.height)), 0);
}

void ReverseRows(std::vector<std::uint8_t>& samples, std::uint64_t row_out, std::int64_t rows) {
    for (std::int64_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(samples.begin() + static_cast<std::ptrdiff_t>(top * row_out),
                         samples.begin() + static_cast<std::ptrdiff_t>((top + 1) * row_out),
                         samples.begin() + static_cast<std::ptrdiff_t>(bottom * row_out));
    }
}

DecodedImage Decode(std::span<const std::uint8_t> data) {
    const ByteReader in(data);
    const Header h = ReadHeader(in);

    DecodedImage image;
    image.bits = static_cast<std::uint8_t>(h.depth <= 8 ? h.depth : 24);
    const std::uint64_t row_out = (static_cast<std::uint64_t>(h.width) * image.bits + 7) / 8;
    if (row_out * static_cast<std::uint64_t>(h.height) > kMaxSampleBytes ||
        h.width > kMaxImageSide || h.height > kMaxImageSide) {
        throw BmpFailure{kTooLarge};
    }
    // A header claiming more pixels than its data can give is refused before anything is
    // reserved: raw rows take their bytes, a run-length pair at most 255 pixels (pixels a
    // delta or an early end skips are not given by the data).
    // (Pixels that start outside the file are the reading's own error, below.)
    const std::uint64_t available =
        data.size() > h.pixel_offset ? data.size() - h.pixel_offset : ~std::uint64_t{0};
    const std::uint64_t stride =
        ((static_cast<std::uint64_t>(h.width) * h.depth + 7) / 8 + 3) / 4 * 4;
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.width) * h.height;
    if (h.compression == kRgb ? stride * static_cast<std::uint64_t>(h.height) > available
                              : pixels > available / 2 * 255 + 255) {
        throw BmpFailure{kTooLarge};
    }
    if (h.depth <= 8) image.palette = ReadPalette(in, h);
    if (h.compression == kRgb) {
        DecodeUncompressed(in, h, row_out, image.samples);
    } else {
        DecodeRunLength(in, h, row_out, image.samples);
    }
    // The file's first row is the picture's top in a top-down bitmap.
    if (h.top_down) ReverseRows(image.samples, row_out, h.height);
    image.width = static_cast<std::int32_t>(h.width);
    image.height = static_cast<std::int32_t>(h.height);
    return image;
}

} // namespace

BmpResult ReadBmp(std::span<const std::uint8_t> data) {
    BmpResult result;
    try {
        result.image = Decode(data);
    } catch (const BmpFailure& failure) {
        result.error = failure.number;
        result.image = DecodedImage{};
    }
    return result;
}

} // namespace pagora::detail
