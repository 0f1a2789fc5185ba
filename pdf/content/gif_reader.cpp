#include "pdf/content/gif_reader.h"

#include "pdf/writer/errors.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace pagora::detail {

namespace {

constexpr std::size_t kScreenBytes = 13;
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImageBlock = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeWidth = 12;

struct GifFailure {
    int number;
};

std::uint32_t U16(std::span<const std::uint8_t> data, std::size_t offset) {
    if (offset + 2 > data.size()) throw GifFailure{kErrSubscript};
    return static_cast<std::uint32_t>(data[offset] | data[offset + 1] << 8);
}

std::uint32_t Field(std::span<const std::uint8_t> data, std::size_t offset) {
    const std::uint32_t value = U16(data, offset);
    if (value > 0x7FFF) throw GifFailure{kErrOverflow};
    return value;
}

// Colour depths are stored at 1, 2, 4 or 8 bits per index.
unsigned RoundedDepth(unsigned depth) {
    return depth <= 2 ? depth : depth <= 4 ? 4 : 8;
}

struct ColourTable {
    unsigned depth = 0; // 0: no table
    std::vector<std::uint8_t> rgb;
};

// Reads the table whose size field is in the low bits of flags from p, advancing p past it.
ColourTable ReadTable(std::span<const std::uint8_t> data, std::size_t& p, std::uint8_t flags) {
    const unsigned depth = (flags & 7u) + 1;
    const std::size_t bytes = std::size_t{3} << depth;
    if (p > data.size() || bytes > data.size() - p) throw GifFailure{kErrSubscript};
    ColourTable table;
    table.depth = RoundedDepth(depth);
    table.rgb.assign(std::size_t{3} << table.depth, 0);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(p), bytes, table.rgb.begin());
    p += bytes;
    return table;
}

struct Frame {
    std::uint32_t left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int min_code_size = 0;
    std::vector<std::uint8_t> codes; // the data sub-blocks, joined
};

// Paints decoded indexes into the screen-sized canvas, row after row of the frame.
class Canvas {
public:
    Canvas(const Frame& frame, std::uint32_t screen_width, std::uint32_t screen_height,
           unsigned depth, std::vector<std::uint8_t>& out)
        : frame_(frame), screen_width_(screen_width), screen_height_(screen_height), depth_(depth),
          row_bytes_((std::uint64_t{screen_width} * depth + 7) / 8), out_(out) {
        if (row_bytes_ * screen_height > kMaxSampleBytes) throw GifFailure{kErrOutOfMemory};
        out_.assign(static_cast<std::size_t>(row_bytes_ * screen_height), 0);
        if (frame.interlaced) {
            constexpr std::uint32_t kPasses[][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
            for (const auto& pass : kPasses) {
                for (std::uint32_t row = pass[0]; row < frame.height; row += pass[1])
                    rows_.push_back(row);
            }
        } else {
            for (std::uint32_t row = 0; row < frame.height; ++row)
                rows_.push_back(row);
        }
        done_ = frame.width == 0 || rows_.empty();
    }

    bool Full() const { return done_; }
    bool Damaged() const { return damaged_; }

    void Put(std::uint16_t index) {
        if (done_) return;
        const std::uint32_t mask = (1u << depth_) - 1;
        if (index > mask) damaged_ = true;
        const std::uint64_t x = std::uint64_t{frame_.left} + column_;
        const std::uint64_t y = std::uint64_t{frame_.top} + rows_[row_];
        // A frame reaching past the screen's edge must not spill into the next row.
        if (x < screen_width_ && y < screen_height_) {
            const std::uint64_t bit = x * depth_;
            const auto shift = static_cast<unsigned>(8 - depth_ - bit % 8);
            std::uint8_t& byte =
                out_[static_cast<std::size_t>((screen_height_ - 1 - y) * row_bytes_ + bit / 8)];
            byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | ((index & mask) << shift));
        }
        if (++column_ == frame_.width) {
            column_ = 0;
            done_ = ++row_ == rows_.size();
        }
    }

private:
    const Frame& frame_;
    std::uint32_t screen_width_, screen_height_;
    unsigned depth_;
    std::uint64_t row_bytes_;
    std::vector<std::uint8_t>& out_;
    std::vector<std::uint32_t> rows_; // frame row of each decoded row
    std::size_t row_ = 0;
    std::uint32_t column_ = 0;
    bool done_ = false;
    bool damaged_ = false;
};

// Decodes the frame's code stream until its end code, the end of its data or a full frame. The
// strings are kept as prefix and suffix arrays, so each code costs as much as its pixels.
void DecodeCodes(const Frame& frame, Canvas& canvas) {
    const int m = frame.min_code_size;
    const int clear = 1 << m;
    const int end = clear + 1;
    std::array<std::int16_t, kMaxCodes> prefix{};
    // Literal codes reach 2047 with the largest minimum code size, beyond any colour index.
    std::array<std::uint16_t, kMaxCodes> suffix{};
    std::array<std::uint16_t, kMaxCodes> first{};
    for (int c = 0; c < clear; ++c) {
        prefix[static_cast<std::size_t>(c)] = -1;
        suffix[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(c);
        first[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(c);
    }
    std::array<std::uint16_t, kMaxCodes> stack{};
    int width = m + 1;
    int next = clear + 2;
    int previous = -1;
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t i = 0;
    while (!canvas.Full()) {
        while (held < width && i < frame.codes.size()) {
            bits |= static_cast<std::uint32_t>(frame.codes[i++]) << held;
            held += 8;
        }
        // Every code whose bits are all there is decoded, those of the last byte included.
        if (held < width) return;
        const int code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        held -= width;
        if (code == clear) {
            width = m + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) return;
        if (previous < 0) {
            if (code > clear) throw GifFailure{kErrSubscript};
        } else {
            if (code > next || (code == next && next == kMaxCodes)) {
                throw GifFailure{kErrSubscript};
            }
            if (next < kMaxCodes) {
                const auto slot = static_cast<std::size_t>(next);
                const auto prev = static_cast<std::size_t>(previous);
                prefix[slot] = static_cast<std::int16_t>(previous);
                first[slot] = first[prev];
                suffix[slot] = code == next ? first[prev] : first[static_cast<std::size_t>(code)];
                ++next;
                if (next == 1 << width && width < kMaxCodeWidth) ++width;
            }
        }
        std::size_t count = 0;
        for (int c = code; c >= 0; c = prefix[static_cast<std::size_t>(c)])
            stack[count++] = suffix[static_cast<std::size_t>(c)];
        while (count > 0)
            canvas.Put(stack[--count]);
        previous = code;
    }
}

GifResult Decode(std::span<const std::uint8_t> data, int wanted) {
    GifResult result;
    constexpr std::uint8_t kSignature[] = {'G', 'I', 'F', '8'};
    if (data.size() < 6 ||
        !std::equal(std::begin(kSignature), std::end(kSignature), data.begin()) ||
        (data[4] != '7' && data[4] != '9') || data[5] != 'a') {
        result.error = kRefusedSilently;
        return result;
    }
    if (data.size() < kScreenBytes) throw GifFailure{kErrSubscript};
    const std::uint32_t screen_width = Field(data, 6);
    const std::uint32_t screen_height = Field(data, 8);
    const std::uint8_t flags = data[10];
    result.background = data[11];
    if (screen_width == 0 || screen_height == 0) throw GifFailure{kErrInvalidCall};
    std::size_t p = kScreenBytes;
    ColourTable global;
    if ((flags & 0x80) != 0) global = ReadTable(data, p, flags);

    int counter = 0;
    while (p < data.size()) {
        const std::uint8_t block = data[p++];
        if (block == kTrailer) break;
        if (block == kExtension) {
            // Every extension's sub-blocks are passed over, known label or not, so that none
            // of their bytes is taken for a block introducer.
            ++p;
            while (p < data.size() && data[p] != 0)
                p += data[p] + 1u;
            continue;
        }
        if (block != kImageBlock) continue;
        if (data.size() - p < 9) break;
        ++counter;
        const bool selected = counter == wanted;
        Frame frame;
        const std::uint8_t frame_flags = data[p + 8];
        if (selected) {
            frame.left = Field(data, p);
            frame.top = Field(data, p + 2);
            frame.width = Field(data, p + 4);
            frame.height = Field(data, p + 6);
            frame.interlaced = (frame_flags & 0x40) != 0;
        }
        p += 9;
        ColourTable local;
        if ((frame_flags & 0x80) != 0) local = ReadTable(data, p, frame_flags);
        if (p >= data.size()) break;
        frame.min_code_size = data[p++];
        while (p < data.size()) {
            const std::size_t length = data[p++];
            if (length == 0) break;
            const std::size_t present = std::min(length, data.size() - p);
            if (selected) {
                frame.codes.insert(frame.codes.end(), data.begin() + static_cast<std::ptrdiff_t>(p),
                                   data.begin() + static_cast<std::ptrdiff_t>(p + present));
            }
            p += present;
        }
        if (!selected) continue;

        const ColourTable& table = local.depth != 0 ? local : global;
        if (table.depth == 0) throw GifFailure{kErrInvalidCall};
        if (frame.min_code_size < 1 || frame.min_code_size > 11) {
            throw GifFailure{kErrInvalidCall};
        }
        Canvas canvas(frame, screen_width, screen_height, table.depth, result.image.samples);
        DecodeCodes(frame, canvas);
        if (canvas.Damaged()) result.damage = kErrOverflow;
        result.image.width = static_cast<std::int32_t>(screen_width);
        result.image.height = static_cast<std::int32_t>(screen_height);
        result.image.bits = static_cast<std::uint8_t>(table.depth);
        result.image.palette = table.rgb;
        return result;
    }
    // No image block carries the number: the data ended first, or the file has fewer frames.
    throw GifFailure{kErrSubscript};
}

} // namespace

GifResult ReadGif(std::span<const std::uint8_t> data, int frame) {
    if (data.size() < 2) {
        GifResult result;
        result.error = kErrFileNotFound;
        return result;
    }
    try {
        return Decode(data, frame);
    } catch (const GifFailure& failure) {
        GifResult result;
        result.error = failure.number;
        return result;
    }
}

} // namespace pagora::detail
