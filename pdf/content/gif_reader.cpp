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
    ColourTable local;
    int disposal = 0;     // of the graphic control extension before the frame
    int transparent = -1; // the index shown transparent, -1 for none
};

// The frame's pixels inside the screen, row by row from the frame's top, 0xFFFF where the data
// gave none; pixels outside the screen are dropped.
class FrameIndexes {
public:
    FrameIndexes(const Frame& frame, std::uint32_t screen_width, std::uint32_t screen_height,
                 unsigned depth)
        : frame_(frame), mask_((1u << depth) - 1) {
        width_ = frame.left < screen_width ? std::min(frame.width, screen_width - frame.left) : 0;
        height_ = frame.top < screen_height ? std::min(frame.height, screen_height - frame.top) : 0;
        indexes_.assign(std::size_t{width_} * height_, kNone);
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

    static constexpr std::uint16_t kNone = 0xFFFF;
    bool Full() const { return done_; }
    bool Damaged() const { return damaged_; }
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    std::uint16_t At(std::uint32_t x, std::uint32_t y) const {
        return indexes_[std::size_t{y} * width_ + x];
    }

    void Put(std::uint16_t index) {
        if (done_) return;
        if (index > mask_) damaged_ = true;
        const std::uint32_t row = rows_[row_];
        if (column_ < width_ && row < height_)
            indexes_[std::size_t{row} * width_ + column_] =
                static_cast<std::uint16_t>(index & mask_);
        if (++column_ == frame_.width) {
            column_ = 0;
            done_ = ++row_ == rows_.size();
        }
    }

private:
    const Frame& frame_;
    std::uint32_t mask_;
    std::uint32_t width_ = 0, height_ = 0;
    std::vector<std::uint16_t> indexes_;
    std::vector<std::uint32_t> rows_; // frame row of each decoded row
    std::size_t row_ = 0;
    std::uint32_t column_ = 0;
    bool done_ = false;
    bool damaged_ = false;
};

// The string table of a code stream: each code's string as its prefix code and its last index,
// with its first index kept, so that a new string is made in one step and each code costs as
// much as its pixels.
class StringTable {
public:
    explicit StringTable(int min_code_size)
        : clear_(1 << min_code_size), min_width_(min_code_size + 1) {
        for (int c = 0; c < clear_; ++c) {
            prefix_[static_cast<std::size_t>(c)] = -1;
            suffix_[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(c);
            first_[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(c);
        }
        Clear();
    }

    int Width() const { return width_; }

    // Back to the literal codes alone, at the narrowest width.
    void Clear() {
        width_ = min_width_;
        next_ = clear_ + 2;
    }

    // Whether code may come after previous (-1 right after a clear): a literal first, then a
    // code defined already or the one about to be.
    bool Accepts(int code, int previous) const {
        if (previous < 0) return code <= clear_;
        return code < next_ || (code == next_ && next_ < kMaxCodes);
    }

    // Adds the string of previous followed by the first index of code's string (of previous's
    // own when code is the one being made); the codes widen by a bit as the table reaches each
    // power of two, up to 12 bits, and a full table takes no more.
    void Add(int previous, int code) {
        if (next_ >= kMaxCodes) return;
        const auto slot = static_cast<std::size_t>(next_);
        const auto prev = static_cast<std::size_t>(previous);
        prefix_[slot] = static_cast<std::int16_t>(previous);
        first_[slot] = first_[prev];
        suffix_[slot] = code == next_ ? first_[prev] : first_[static_cast<std::size_t>(code)];
        ++next_;
        if (next_ == 1 << width_ && width_ < kMaxCodeWidth) ++width_;
    }

    // Puts the indexes of code's string, first to last.
    void Put(int code, FrameIndexes& canvas) {
        std::size_t count = 0;
        for (int c = code; c >= 0; c = prefix_[static_cast<std::size_t>(c)])
            stack_[count++] = suffix_[static_cast<std::size_t>(c)];
        while (count > 0)
            canvas.Put(stack_[--count]);
    }

private:
    const int clear_;
    const int min_width_;
    int width_ = 0;
    int next_ = 0;
    std::array<std::int16_t, kMaxCodes> prefix_{};
    // Literal codes reach 2047 with the largest minimum code size, beyond any colour index.
    std::array<std::uint16_t, kMaxCodes> suffix_{};
    std::array<std::uint16_t, kMaxCodes> first_{};
    std::array<std::uint16_t, kMaxCodes> stack_{};
};

// Decodes the frame's code stream until its end code, the end of its data or a full frame.
void DecodeCodes(const Frame& frame, FrameIndexes& canvas) {
    const int clear = 1 << frame.min_code_size;
    const int end = clear + 1;
    StringTable table(frame.min_code_size);
    int previous = -1;
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t i = 0;
    while (!canvas.Full()) {
        const int width = table.Width();
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
            table.Clear();
            previous = -1;
            continue;
        }
        if (code == end) return;
        if (!table.Accepts(code, previous)) throw GifFailure{kErrSubscript};
        if (previous >= 0) table.Add(previous, code);
        table.Put(code, canvas);
        previous = code;
    }
}

// The most pixels a code stream of this many bytes can give: every code adds at most one pixel
// to the longest string so far, so n codes give at most n (n + 1) / 2.
std::uint64_t MostPixels(std::size_t bytes, int min_code_size) {
    const std::uint64_t codes =
        std::min<std::uint64_t>(std::uint64_t{bytes} * 8 / static_cast<unsigned>(min_code_size + 1),
                                std::uint64_t{1} << 31);
    return codes * (codes + 1) / 2;
}

const ColourTable& TableOf(const Frame& frame, const ColourTable& global) {
    return frame.local.depth != 0 ? frame.local : global;
}

// An opaque pixel of a composed picture: red, green and blue in the low three bytes.
constexpr std::uint32_t kOpaque = 0x1000000;

std::uint32_t Colour(const ColourTable& table, std::uint32_t index) {
    const std::size_t at = 3 * std::size_t{index};
    return kOpaque | std::uint32_t{table.rgb[at]} << 16 | std::uint32_t{table.rgb[at + 1]} << 8 |
           table.rgb[at + 2];
}

// The first frame as the picture's own palette indexes: what the frame does not cover shows the
// transparent index when there is one, else index 0. A picture with a transparent index is kept
// at 8 bits per index: some renderers apply a colour key to whole bytes only.
void IndexedPicture(const Frame& frame, const FrameIndexes& pixels, const ColourTable& table,
                    std::uint32_t screen_width, std::uint32_t screen_height, GifResult& result) {
    const unsigned depth = frame.transparent >= 0 ? 8 : table.depth;
    const std::uint32_t mask = (1u << table.depth) - 1;
    const std::uint32_t field = (1u << depth) - 1;
    const std::uint64_t row_bytes = (std::uint64_t{screen_width} * depth + 7) / 8;
    std::vector<std::uint8_t>& out = result.image.samples;
    out.assign(static_cast<std::size_t>(row_bytes * screen_height), 0);
    const std::uint32_t fill =
        frame.transparent >= 0 ? static_cast<std::uint32_t>(frame.transparent) & mask : 0;
    const auto put = [&](std::uint64_t x, std::uint64_t y, std::uint32_t index) {
        const std::uint64_t bit = x * depth;
        const auto shift = static_cast<unsigned>(8 - depth - bit % 8);
        std::uint8_t& byte =
            out[static_cast<std::size_t>((screen_height - 1 - y) * row_bytes + bit / 8)];
        byte = static_cast<std::uint8_t>((byte & ~(field << shift)) | (index << shift));
    };
    for (std::uint32_t y = 0; y < screen_height; ++y) {
        for (std::uint32_t x = 0; x < screen_width; ++x) {
            std::uint32_t index = fill;
            if (x >= frame.left && y >= frame.top && x - frame.left < pixels.Width() &&
                y - frame.top < pixels.Height()) {
                const std::uint16_t at = pixels.At(x - frame.left, y - frame.top);
                if (at != FrameIndexes::kNone) index = at;
            }
            if (index != 0) put(x, y, index);
        }
    }
    result.image.bits = static_cast<std::uint8_t>(depth);
    result.image.palette = table.rgb;
    result.image.palette.resize(std::size_t{3} << depth, 0);
    if (frame.transparent >= 0) {
        const std::string key = std::to_string(fill);
        result.colour_key = key + " " + key + " ";
    }
}

// Calls each with the canvas index of every pixel of the frame's box that lies on the screen.
template <typename Each>
void ForEachInBox(const Frame& f, std::uint32_t screen_width, std::uint32_t screen_height,
                  Each&& each) {
    for (std::uint32_t y = f.top; y < screen_height && y - f.top < f.height; ++y)
        for (std::uint32_t x = f.left; x < screen_width && x - f.left < f.width; ++x)
            each(std::size_t{y} * screen_width + x);
}

// A canvas of composed pixels: kOpaque with red, green and blue, or 0 where it is transparent.
struct Composition {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> canvas;
    std::vector<std::uint32_t> saved; // what the frame with disposal 3 covered
};

// Disposes of the frame before the next one is drawn (2: its area restored to the background
// colour, or made transparent when it has a transparent index; 3: its area restored to what it
// covered). The first frame starts from a canvas filled with colour 0, or transparent.
void Dispose(const std::vector<Frame>& frames, std::size_t k, const ColourTable& global,
             std::uint8_t background, Composition& picture) {
    std::vector<std::uint32_t>& canvas = picture.canvas;
    if (k == 0) {
        const Frame& frame = frames[0];
        const std::uint32_t fill = frame.transparent >= 0 ? 0 : Colour(TableOf(frame, global), 0);
        std::fill(canvas.begin(), canvas.end(), fill);
        return;
    }
    const Frame& before = frames[k - 1];
    if (before.disposal == 2) {
        const ColourTable& old = TableOf(before, global);
        const std::uint32_t fill =
            before.transparent >= 0 ? 0 : Colour(old, background & ((1u << old.depth) - 1));
        ForEachInBox(before, picture.width, picture.height,
                     [&](std::size_t i) { canvas[i] = fill; });
    } else if (before.disposal == 3 && k > 1) {
        std::size_t n = 0;
        ForEachInBox(before, picture.width, picture.height,
                     [&](std::size_t i) { canvas[i] = picture.saved[n++]; });
    }
}

// Draws a frame's decoded pixels over the canvas; its transparent index leaves the canvas as it
// was, except on the first frame, where it shows transparent.
void DrawFrame(const Frame& frame, bool first, const ColourTable& table, Composition& picture,
               GifResult& result) {
    FrameIndexes indexes(frame, picture.width, picture.height, table.depth);
    DecodeCodes(frame, indexes);
    if (indexes.Damaged()) result.damage = kErrOverflow;
    const std::uint32_t width = picture.width;
    std::uint32_t* const canvas = picture.canvas.data();
    for (std::uint32_t y = 0; y < indexes.Height(); ++y) {
        for (std::uint32_t x = 0; x < indexes.Width(); ++x) {
            const std::uint16_t index = indexes.At(x, y);
            if (index == FrameIndexes::kNone) continue;
            const std::size_t i = std::size_t{frame.top + y} * width + frame.left + x;
            if (static_cast<int>(index) == frame.transparent) {
                if (first) canvas[i] = 0;
            } else {
                canvas[i] = Colour(table, index);
            }
        }
    }
}

// The colour transparent pixels take: one no opaque pixel has, which the colour key then hides.
// any_transparent tells whether a pixel needs it.
std::uint32_t TransparentKey(const std::vector<std::uint32_t>& canvas, bool& any_transparent) {
    std::vector<bool> used(std::size_t{1} << 24, false);
    any_transparent = false;
    for (const std::uint32_t c : canvas) {
        if ((c & kOpaque) != 0) {
            used[c & 0xFFFFFF] = true;
        } else {
            any_transparent = true;
        }
    }
    std::uint32_t key = 0;
    while (used[key])
        ++key;
    return key;
}

// The canvas as red, green and blue samples, rows bottom first.
void WriteSamples(const Composition& picture, std::uint32_t key, std::vector<std::uint8_t>& out) {
    const std::uint32_t width = picture.width;
    const std::uint32_t height = picture.height;
    out.resize(std::size_t{width} * height * 3);
    const std::uint32_t* const canvas = picture.canvas.data();
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t c = canvas[std::size_t{y} * width + x];
            const std::uint32_t rgb = (c & kOpaque) != 0 ? c & 0xFFFFFF : key;
            const std::size_t at = (std::size_t{height - 1 - y} * width + x) * 3;
            out[at] = static_cast<std::uint8_t>(rgb >> 16);
            out[at + 1] = static_cast<std::uint8_t>(rgb >> 8);
            out[at + 2] = static_cast<std::uint8_t>(rgb);
        }
    }
}

// The frames composed as a viewer shows the last of them: each frame is drawn over what the one
// before left, after that one was disposed of.
void ComposedPicture(const std::vector<Frame>& frames, const ColourTable& global,
                     std::uint8_t background, std::uint32_t screen_width,
                     std::uint32_t screen_height, GifResult& result) {
    const std::uint64_t pixels = std::uint64_t{screen_width} * screen_height;
    if (pixels * 4 > kMaxSampleBytes) throw GifFailure{kErrOutOfMemory};
    Composition picture;
    picture.width = screen_width;
    picture.height = screen_height;
    picture.canvas.assign(static_cast<std::size_t>(pixels), 0);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const Frame& frame = frames[k];
        Dispose(frames, k, global, background, picture);
        if (frame.disposal == 3 && k + 1 < frames.size()) {
            picture.saved.clear();
            ForEachInBox(frame, screen_width, screen_height,
                         [&](std::size_t i) { picture.saved.push_back(picture.canvas[i]); });
        }
        DrawFrame(frame, k == 0, TableOf(frame, global), picture, result);
    }
    bool any_transparent = false;
    const std::uint32_t key = TransparentKey(picture.canvas, any_transparent);
    WriteSamples(picture, key, result.image.samples);
    result.image.bits = 24;
    if (any_transparent) {
        for (const int shift : {16, 8, 0}) {
            const std::string v = std::to_string((key >> shift) & 0xFF);
            result.colour_key += v + " " + v + " ";
        }
    }
}

struct Screen {
    std::uint32_t width = 0, height = 0;
    std::uint8_t background = 0;
    ColourTable global;
};

// The logical screen descriptor and the global colour table, p set past them.
Screen ReadScreen(std::span<const std::uint8_t> data, std::size_t& p) {
    if (data.size() < kScreenBytes) throw GifFailure{kErrSubscript};
    Screen screen;
    screen.width = Field(data, 6);
    screen.height = Field(data, 8);
    const std::uint8_t flags = data[10];
    screen.background = data[11];
    if (screen.width == 0 || screen.height == 0) throw GifFailure{kErrInvalidCall};
    if (screen.width > kMaxImageSide || screen.height > kMaxImageSide)
        throw GifFailure{kErrOutOfMemory};
    p = kScreenBytes;
    if ((flags & 0x80) != 0) screen.global = ReadTable(data, p, flags);
    return screen;
}

// Passes over an extension at p (its label), taking a graphic control's disposal and transparent
// index. Every extension's sub-blocks are passed over, known label or not, so that none of their
// bytes is taken for a block introducer.
void SkipExtension(std::span<const std::uint8_t> data, std::size_t& p, Frame& next) {
    if (p < data.size() && data[p] == 0xF9 && p + 5 < data.size() && data[p + 1] >= 4) {
        next.disposal = (data[p + 2] >> 2) & 7;
        next.transparent = (data[p + 2] & 1) != 0 ? data[p + 5] : -1;
    }
    ++p;
    while (p < data.size() && data[p] != 0)
        p += data[p] + 1u;
    ++p;
}

// Reads the image block after its introducer at p into frame, joining its data sub-blocks.
// Returns false when the data ends before the frame's code size.
bool ReadImageBlock(std::span<const std::uint8_t> data, std::size_t& p, Frame& frame) {
    const std::uint8_t frame_flags = data[p + 8];
    frame.left = Field(data, p);
    frame.top = Field(data, p + 2);
    frame.width = Field(data, p + 4);
    frame.height = Field(data, p + 6);
    frame.interlaced = (frame_flags & 0x40) != 0;
    p += 9;
    if ((frame_flags & 0x80) != 0) frame.local = ReadTable(data, p, frame_flags);
    if (p >= data.size()) return false;
    frame.min_code_size = data[p++];
    while (p < data.size()) {
        const std::size_t length = data[p++];
        if (length == 0) break;
        const std::size_t present = std::min(length, data.size() - p);
        frame.codes.insert(frame.codes.end(), data.begin() + static_cast<std::ptrdiff_t>(p),
                           data.begin() + static_cast<std::ptrdiff_t>(p + present));
        p += present;
    }
    return true;
}

// The frames up to the one wanted, each with the graphic control that precedes it.
std::vector<Frame> ReadFrames(std::span<const std::uint8_t> data, std::size_t p, int wanted) {
    std::vector<Frame> frames;
    Frame next;
    while (p < data.size() && static_cast<int>(frames.size()) < wanted) {
        const std::uint8_t block = data[p++];
        if (block == kTrailer) break;
        if (block == kExtension) {
            SkipExtension(data, p, next);
            continue;
        }
        if (block != kImageBlock) continue;
        if (data.size() - p < 9) break;
        if (!ReadImageBlock(data, p, next)) break;
        frames.push_back(std::move(next));
        next = Frame();
    }
    // No image block carries the number: the data ended first, or the file has fewer frames.
    if (static_cast<int>(frames.size()) < wanted || wanted < 1) throw GifFailure{kErrSubscript};
    return frames;
}

// Refuses frames without a colour table or with a code size outside 1 to 11, and a screen
// larger than all its frames' data could ever paint, which is what an image bomb is.
void CheckFrames(const std::vector<Frame>& frames, const Screen& screen) {
    std::uint64_t most = 0;
    for (const Frame& frame : frames) {
        if (TableOf(frame, screen.global).depth == 0) throw GifFailure{kErrInvalidCall};
        if (frame.min_code_size < 1 || frame.min_code_size > 11) throw GifFailure{kErrInvalidCall};
        most +=
            std::min(MostPixels(frame.codes.size(), frame.min_code_size), std::uint64_t{1} << 40);
    }
    if (std::uint64_t{screen.width} * screen.height > most) throw GifFailure{kErrOutOfMemory};
    if ((std::uint64_t{screen.width} * 8 + 7) / 8 * screen.height > kMaxSampleBytes)
        throw GifFailure{kErrOutOfMemory};
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
    std::size_t p = 0;
    const Screen screen = ReadScreen(data, p);
    const std::vector<Frame> frames = ReadFrames(data, p, wanted);
    CheckFrames(frames, screen);

    if (wanted == 1) {
        const Frame& frame = frames.front();
        const ColourTable& table = TableOf(frame, screen.global);
        FrameIndexes pixels(frame, screen.width, screen.height, table.depth);
        DecodeCodes(frame, pixels);
        if (pixels.Damaged()) result.damage = kErrOverflow;
        IndexedPicture(frame, pixels, table, screen.width, screen.height, result);
    } else {
        ComposedPicture(frames, screen.global, screen.background, screen.width, screen.height,
                        result);
    }
    result.image.width = static_cast<std::int32_t>(screen.width);
    result.image.height = static_cast<std::int32_t>(screen.height);
    return result;
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
