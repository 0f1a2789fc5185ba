#include "pdf/writer/lzw.h"

#include <algorithm>
#include <array>

namespace pagora::detail {
namespace {

constexpr int kSlots = 5021; // a prime above the 4096 codes, so a probe reaches every slot
constexpr std::uint32_t kClear = 256;
constexpr std::uint32_t kEndOfData = 257;

// Most significant bit first, as the filter reads its codes.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t code, int width) {
        buffer_ = (buffer_ << width) | code;
        pending_ += width;
        while (pending_ >= 8) {
            pending_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(buffer_ >> pending_));
        }
    }
    void Finish() {
        if (pending_ > 0) out_.push_back(static_cast<std::uint8_t>(buffer_ << (8 - pending_)));
        pending_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t buffer_ = 0;
    int pending_ = 0;
};

struct Slot {
    std::uint16_t code_plus_one; // 0: free
    std::uint16_t prefix;
    std::uint8_t byte;
};

} // namespace

std::vector<std::uint8_t> EncodeLZW(std::span<const std::uint8_t> data, int level) {
    level = std::clamp(level, 0, 3);
    const std::uint32_t clear_limit = (1u << (9 + level)) - 1;
    const int hash_shift = level + 1;
    std::vector<std::uint8_t> out;
    out.reserve(data.size() + data.size() / 2 + 8);
    CodeWriter writer(out);
    if (data.empty()) {
        writer.Put(kClear, 9);
        writer.Put(kEndOfData, 9);
        writer.Finish();
        return out;
    }
    std::array<Slot, kSlots> slots{};
    std::uint32_t prefix = data[0];
    std::uint32_t last_code = clear_limit;
    int width = 9;
    auto widen = [&] {
        if (last_code == 511)
            width = 10;
        else if (last_code == 1023)
            width = 11;
        else if (last_code == 2047)
            width = 12;
    };
    const std::size_t last = data.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        if (last_code == clear_limit) {
            writer.Put(kClear, width);
            for (Slot& slot : slots)
                slot.code_plus_one = 0;
            last_code = kEndOfData;
            width = 9;
        }
        if (i == last) {
            // The final prefix counts as an entry for the code width, though none is made.
            ++last_code;
            writer.Put(prefix, width);
            widen();
            break;
        }
        const std::uint8_t c = data[i + 1];
        int h = static_cast<int>(prefix ^ (static_cast<std::uint32_t>(c) << hash_shift));
        const int step = h == 0 ? 1 : kSlots - h;
        while (slots[static_cast<std::size_t>(h)].code_plus_one != 0 &&
               (slots[static_cast<std::size_t>(h)].prefix != prefix ||
                slots[static_cast<std::size_t>(h)].byte != c)) {
            h -= step;
            if (h < 0) h += kSlots;
        }
        Slot& slot = slots[static_cast<std::size_t>(h)];
        if (slot.code_plus_one != 0) {
            prefix = slot.code_plus_one - 1u;
            continue;
        }
        ++last_code;
        slot = {static_cast<std::uint16_t>(last_code + 1), static_cast<std::uint16_t>(prefix), c};
        writer.Put(prefix, width);
        widen();
        prefix = c;
    }
    writer.Put(kEndOfData, width);
    writer.Finish();
    return out;
}

} // namespace pagora::detail
