// Compresses arbitrary data with LZW at the level its first byte names (out of range included)
// and decodes the codes with a decoder of the tests written from the filter's definition: codes
// most significant bit first, 256 clears the table, 257 ends the data, and the code width grows
// one code early (the filter's default). It must give the data back, end with the end code, and
// never need a code wider than the level allows (9 + level bits, 12 at most; a Clear code may be
// one bit wider, as it follows the entry that widened the codes) or an entry the table does not
// have yet.
#include "pdf/writer/lzw.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr std::uint32_t kClear = 256;
constexpr std::uint32_t kEndOfData = 257;
constexpr std::uint32_t kFirstEntry = 258;
constexpr std::uint32_t kTableSize = 4096;

class CodeReader {
public:
    explicit CodeReader(std::span<const std::uint8_t> data) : data_(data) {}
    std::optional<std::uint32_t> Next(int width) {
        if (bit_ + static_cast<std::size_t>(width) > 8 * data_.size()) return std::nullopt;
        std::uint32_t code = 0;
        for (int i = 0; i < width; ++i, ++bit_)
            code = (code << 1) | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
        return code;
    }
    // The bits left after the end code are the last byte's padding, all zero.
    bool OnlyPaddingLeft() const {
        if (8 * data_.size() - bit_ >= 8) return false;
        return bit_ % 8 == 0 || (data_.back() & ((1u << (8 - bit_ % 8)) - 1)) == 0;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t bit_ = 0;
};

struct Decoded {
    std::vector<std::uint8_t> data;
    int widest = 9; // the widest code read, Clear codes aside
};

std::optional<Decoded> DecodeLzw(std::span<const std::uint8_t> codes) {
    std::vector<std::vector<std::uint8_t>> table(kTableSize);
    for (std::uint32_t b = 0; b < 256; ++b)
        table[b] = {static_cast<std::uint8_t>(b)};
    std::uint32_t next = kFirstEntry;
    int width = 9;
    std::optional<std::uint32_t> previous;
    Decoded out;
    CodeReader reader(codes);
    for (;;) {
        const std::optional<std::uint32_t> code = reader.Next(width);
        if (!code) return std::nullopt; // the data ended before its end code
        if (*code == kEndOfData) break;
        if (*code == kClear) {
            next = kFirstEntry;
            width = 9;
            previous.reset();
            continue;
        }
        out.widest = std::max(out.widest, width);
        std::vector<std::uint8_t> entry;
        if (!previous) {
            if (*code >= 256) return std::nullopt;
            entry = table[*code];
        } else {
            if (*code > next || next >= kTableSize) return std::nullopt;
            entry = *code < next ? table[*code] : table[*previous];
            if (*code == next) entry.push_back(table[*previous][0]);
            table[next] = table[*previous];
            table[next].push_back(entry[0]);
            ++next;
            if (next + 1 >= (1u << width) && width < 12) ++width;
        }
        out.data.insert(out.data.end(), entry.begin(), entry.end());
        previous = *code;
    }
    if (!reader.OnlyPaddingLeft()) return std::nullopt;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return 0;
    const int level = static_cast<int>(bytes[0] % 6) - 1; // -1 to 4: both ends are clamped
    const std::span<const std::uint8_t> data(bytes + 1, size - 1);
    const std::vector<std::uint8_t> codes = pagora::detail::EncodeLZW(data, level);
    const std::optional<Decoded> back = DecodeLzw(codes);
    if (!back || !std::equal(data.begin(), data.end(), back->data.begin(), back->data.end()))
        std::abort();
    if (back->widest > 9 + std::clamp(level, 0, 3)) std::abort();
    return 0;
}
