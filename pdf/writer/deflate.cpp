#include "pdf/writer/deflate.h"

#include "pdf/writer/deflate_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pagora::detail {
namespace {

struct ConfigRow {
    std::uint16_t good_length;
    std::uint16_t lazy_length;
    std::uint16_t nice_length;
    std::uint16_t chain_limit;
};

constexpr std::array<ConfigRow, 6> kConfigRows{{
    {4, 4, 16, 16},
    {8, 16, 32, 32},
    {8, 16, 128, 128},
    {8, 32, 128, 256},
    {32, 128, 258, 1024},
    {32, 258, 258, 4096},
}};

constexpr int kLiteralSymbols = 288;
constexpr int kDistanceSymbols = 30;
constexpr int kCodeLengthSymbols = 19;
constexpr int kEndOfBlock = 256;
constexpr std::uint32_t kMaxDistance = 32767;
constexpr std::uint32_t kFarThreeByteMatch = 4096;
// A chain link: the distance to the next older position of the bucket (at most kMaxDistance, so
// 15 bits), with the top bit set when that position has another prefix. A bare top bit ends the
// chain.
constexpr std::uint32_t kOtherPrefix = 0x8000;
constexpr std::uint32_t kDistanceMask = 0x7FFF;
constexpr std::uint32_t kEndLink = kOtherPrefix;
constexpr std::size_t kMaxStoredBlock = 65535;

// Length 3..258 to its index in kLengthBase.
constexpr std::array<std::uint8_t, 259> kLengthIndex = [] {
    std::array<std::uint8_t, 259> table{};
    for (int length = 3; length <= 258; ++length) {
        int j = 28;
        while (kLengthBase[static_cast<std::size_t>(j)] > length)
            --j;
        table[static_cast<std::size_t>(length)] = static_cast<std::uint8_t>(j);
    }
    return table;
}();

// Distance code of distance d: the first 256 entries for d - 1 below 256, the rest for
// (d - 1) / 128 (the bases above 256 are 128-aligned plus one).
constexpr std::array<std::uint8_t, 512> kDistanceIndex = [] {
    std::array<std::uint8_t, 512> table{};
    auto code_of = [](int d) {
        int k = 29;
        while (kDistanceBase[static_cast<std::size_t>(k)] > d)
            --k;
        return static_cast<std::uint8_t>(k);
    };
    for (int d = 1; d <= 256; ++d)
        table[static_cast<std::size_t>(d - 1)] = code_of(d);
    for (int i = 2; i < 256; ++i)
        table[static_cast<std::size_t>(256 + i)] = code_of(i * 128 + 1);
    return table;
}();

int DistanceCode(std::uint32_t distance) {
    const std::uint32_t d = distance - 1;
    return d < 256 ? kDistanceIndex[d] : kDistanceIndex[256 + (d >> 7)];
}

int FixedLiteralLength(int symbol) {
    if (symbol < 144) return 8;
    if (symbol < 256) return 9;
    if (symbol < 280) return 7;
    return 8;
}

struct HuffmanCode {
    std::uint16_t length = 0;
    std::uint32_t value = 0; // canonical code, most significant bit first
};

std::uint32_t ReverseBits(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) {
        reversed = (reversed << 1) | (code & 1);
        code >>= 1;
    }
    return reversed;
}

// Canonical codes for lengths already set, by increasing symbol.
void AssignCanonicalCodes(std::span<HuffmanCode> codes) {
    std::array<std::uint32_t, 17> count{};
    for (const HuffmanCode& code : codes)
        ++count[code.length];
    count[0] = 0;
    std::array<std::uint32_t, 17> next{};
    std::uint32_t value = 0;
    for (std::size_t length = 1; length <= 16; ++length) {
        value = (value + count[length - 1]) << 1;
        next[length] = value;
    }
    for (HuffmanCode& code : codes) {
        if (code.length > 0) code.value = next[code.length]++;
    }
}

using SymbolWeights = std::array<std::uint64_t, kLiteralSymbols>;
// Depths reach at most the number of symbols minus one; sizing by the alphabet means no
// frequency distribution, however skewed, can run past the tables.
using SymbolDepths = std::array<int, kLiteralSymbols + 1>;

// The symbols' weights from their frequencies. A lone symbol that occurs is given a partner of
// weight 1 (the first symbol that does not occur), so that it gets a code of one bit. Returns
// false when no symbol occurs.
bool LoadWeights(std::span<const std::uint32_t> frequencies, SymbolWeights& weight) {
    const int symbols = static_cast<int>(frequencies.size());
    int used = 0;
    for (int s = 0; s < symbols; ++s) {
        weight[static_cast<std::size_t>(s)] = frequencies[static_cast<std::size_t>(s)];
        if (weight[static_cast<std::size_t>(s)] > 0) ++used;
    }
    if (used == 0) return false;
    if (used == 1) {
        for (int s = 0; s < symbols; ++s) {
            if (weight[static_cast<std::size_t>(s)] == 0) {
                weight[static_cast<std::size_t>(s)] = 1;
                break;
            }
        }
    }
    return true;
}

// Merges the two lightest groups until one is left (ties go to the higher symbol); each merge
// puts every member of both groups one level deeper. The groups still to merge are kept in symbol
// order with their weights beside them, so that each search reads one array from start to end.
void MergeLightestGroups(const SymbolWeights& weight, int symbols, SymbolDepths& depth) {
    struct Group {
        std::uint64_t weight;
        int symbol; // of the group's first member, which stands for the group
    };
    std::array<Group, kLiteralSymbols> active{};
    std::array<std::int16_t, kLiteralSymbols> next_in_group{};
    std::array<std::int16_t, kLiteralSymbols> group_tail{};
    int active_count = 0;
    for (int s = 0; s < symbols; ++s) {
        next_in_group[static_cast<std::size_t>(s)] = -1;
        group_tail[static_cast<std::size_t>(s)] = static_cast<std::int16_t>(s);
        if (weight[static_cast<std::size_t>(s)] > 0)
            active[static_cast<std::size_t>(active_count++)] = {weight[static_cast<std::size_t>(s)],
                                                                s};
    }

    while (active_count > 1) {
        int smallest_slot = 0;
        int second_slot = -1;
        std::uint64_t smallest_weight = active[0].weight;
        std::uint64_t second_weight = 0;
        for (int slot = 1; slot < active_count; ++slot) {
            const std::uint64_t w = active[static_cast<std::size_t>(slot)].weight;
            if (w <= smallest_weight) {
                second_slot = smallest_slot;
                second_weight = smallest_weight;
                smallest_slot = slot;
                smallest_weight = w;
            } else if (second_slot < 0 || w <= second_weight) {
                second_slot = slot;
                second_weight = w;
            }
        }
        Group& kept = active[static_cast<std::size_t>(smallest_slot)];
        const int smallest = kept.symbol;
        const int second = active[static_cast<std::size_t>(second_slot)].symbol;
        kept.weight += second_weight;
        for (int k = smallest; k >= 0; k = next_in_group[static_cast<std::size_t>(k)])
            ++depth[static_cast<std::size_t>(k)];
        for (int k = second; k >= 0; k = next_in_group[static_cast<std::size_t>(k)])
            ++depth[static_cast<std::size_t>(k)];
        next_in_group[static_cast<std::size_t>(group_tail[static_cast<std::size_t>(smallest)])] =
            static_cast<std::int16_t>(second);
        group_tail[static_cast<std::size_t>(smallest)] =
            group_tail[static_cast<std::size_t>(second)];
        std::copy(active.begin() + second_slot + 1, active.begin() + active_count,
                  active.begin() + second_slot);
        --active_count;
    }
}

// Limits the depths to `limit` bits by moving leaves up: each step takes two leaves of the deepest
// level; one takes their parent's place a level up, the other pairs with the deepest leaf above
// them, both one level below where that leaf was. The lengths are then handed out again,
// shortest first, to the symbols ordered by their depth.
void LimitDepths(SymbolDepths& depth, int symbols, int limit) {
    std::array<int, kLiteralSymbols + 1> count{}; // leaves per depth
    int deepest = 0;
    for (int s = 0; s < symbols; ++s) {
        const int d = depth[static_cast<std::size_t>(s)];
        if (d > 0) ++count[static_cast<std::size_t>(d)];
        deepest = std::max(deepest, d);
    }
    if (deepest <= limit) return;
    for (int length = deepest; length > limit; --length) {
        while (count[static_cast<std::size_t>(length)] > 0) {
            int j = length - 2;
            while (j > 0 && count[static_cast<std::size_t>(j)] == 0)
                --j;
            count[static_cast<std::size_t>(length)] -= 2;
            count[static_cast<std::size_t>(length - 1)] += 1;
            count[static_cast<std::size_t>(j + 1)] += 2;
            count[static_cast<std::size_t>(j)] -= 1;
        }
    }
    std::array<std::int16_t, kLiteralSymbols> order{};
    int ordered = 0;
    for (int d = 1; d <= deepest; ++d) {
        for (int s = 0; s < symbols; ++s) {
            if (depth[static_cast<std::size_t>(s)] == d)
                order[static_cast<std::size_t>(ordered++)] = static_cast<std::int16_t>(s);
        }
    }
    int at = 0;
    for (int length = 1; length <= limit; ++length) {
        for (int c = 0; c < count[static_cast<std::size_t>(length)]; ++c)
            depth[static_cast<std::size_t>(order[static_cast<std::size_t>(at++)])] = length;
    }
}

// Code lengths by pairwise merging of the two lightest groups (ties go to the higher symbol),
// limited to `limit` bits by moving leaves up, then canonical codes. Returns false when no
// symbol occurs; codes are then left as they were.
bool BuildHuffmanLengths(std::span<HuffmanCode> codes, std::span<const std::uint32_t> frequencies,
                         int limit) {
    const int symbols = static_cast<int>(frequencies.size());
    SymbolWeights weight{};
    if (!LoadWeights(frequencies, weight)) return false;
    SymbolDepths depth{};
    MergeLightestGroups(weight, symbols, depth);
    LimitDepths(depth, symbols, limit);
    for (int s = 0; s < symbols; ++s) {
        codes[static_cast<std::size_t>(s)].length =
            static_cast<std::uint16_t>(depth[static_cast<std::size_t>(s)]);
        codes[static_cast<std::size_t>(s)].value = 0;
    }
    AssignCanonicalCodes(codes.first(static_cast<std::size_t>(symbols)));
    return true;
}

// One item of the run-coded code-length sequence: a length 0..15, or 16, 17, 18 with extra bits.
struct CodeLengthItem {
    std::uint8_t symbol;
    std::uint8_t extra;
};

constexpr std::array<std::uint8_t, kCodeLengthSymbols> kCodeLengthExtraBits = [] {
    std::array<std::uint8_t, kCodeLengthSymbols> bits{};
    bits[16] = 2;
    bits[17] = 3;
    bits[18] = 7;
    return bits;
}();

// Run-codes the lengths of symbols 0..last; `last` is lowered first past trailing zeros.
void RunCodeLengths(std::span<const HuffmanCode> codes, int& last,
                    std::vector<CodeLengthItem>& items) {
    while (last > 0 && codes[static_cast<std::size_t>(last)].length == 0)
        --last;
    int prev = -1;
    int next = codes[0].length;
    int count = 0;
    int max_count = next == 0 ? 138 : 7;
    int min_count = next == 0 ? 3 : 4;
    for (int s = 0; s <= last; ++s) {
        const int cur = next;
        next = s + 1 <= last ? codes[static_cast<std::size_t>(s + 1)].length : -1;
        if (++count < max_count && cur == next) continue;
        if (count < min_count) {
            for (int i = 0; i < count; ++i)
                items.push_back({static_cast<std::uint8_t>(cur), 0});
        } else if (cur != 0) {
            if (cur != prev) {
                items.push_back({static_cast<std::uint8_t>(cur), 0});
                --count;
            }
            items.push_back({16, static_cast<std::uint8_t>(count - 3)});
        } else if (count <= 10) {
            items.push_back({17, static_cast<std::uint8_t>(count - 3)});
        } else {
            items.push_back({18, static_cast<std::uint8_t>(count - 11)});
        }
        count = 0;
        prev = cur;
        if (next == 0) {
            max_count = 138;
            min_count = 3;
        } else if (cur == next) {
            max_count = 6;
            min_count = 3;
        } else {
            max_count = 7;
            min_count = 4;
        }
    }
}

// Least significant bit first, as deflate packs its bits.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}
    void Put(std::uint32_t bits, int count) {
        buffer_ |= static_cast<std::uint64_t>(bits) << bit_count_;
        bit_count_ += count;
        if (bit_count_ >= 32) {
            const auto low = static_cast<std::uint32_t>(buffer_);
            for (int i = 0; i < 4; ++i)
                out_[i] = static_cast<std::uint8_t>(low >> (8 * i));
            out_ += 4;
            buffer_ >>= 32;
            bit_count_ -= 32;
        }
    }
    // Pads with zero bits to the next byte boundary.
    void Flush() {
        while (bit_count_ > 0) {
            *out_++ = static_cast<std::uint8_t>(buffer_);
            buffer_ >>= 8;
            bit_count_ = std::max(0, bit_count_ - 8);
        }
    }
    std::uint8_t* Position() const { return out_; }

private:
    std::uint8_t* out_;
    std::uint64_t buffer_ = 0;
    int bit_count_ = 0;
};

std::uint32_t LoadPrefix(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16;
}

// Only for positions with a byte behind their prefix (every earlier position has one).
std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big)
        v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    return v;
}

std::uint16_t Load16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Number of equal bytes of a and b from offset 3 on, counting the three known-equal ones, capped
// at max_length.
std::uint32_t MatchLength(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t max_length) {
    std::uint32_t k = 3;
    while (k + 8 <= max_length) {
        const std::uint64_t diff = Load64(a + k) ^ Load64(b + k);
        if (diff != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return k + static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;
            } else {
                return k + static_cast<std::uint32_t>(std::countl_zero(diff)) / 8;
            }
        }
        k += 8;
    }
    while (k < max_length && a[k] == b[k])
        ++k;
    return std::min(k, max_length);
}

// Finds matches in one input with the level's row: position chains per exact three-byte prefix,
// newest first, of at most chain_limit entries, reaching back at most kMaxDistance bytes.
class MatchFinder {
public:
    MatchFinder(std::span<const std::uint8_t> data, const ConfigRow& row,
                std::vector<std::uint32_t>& head, std::vector<std::uint16_t>& prev)
        : data_(data.data()), n_(static_cast<std::uint32_t>(data.size())),
          chain_limit_(row.chain_limit) {
        int bits = 8;
        while (bits < 16 && (std::size_t{1} << bits) < data.size())
            ++bits;
        hash_shift_ = 32 - bits;
        head.assign(std::size_t{1} << bits, 0);
        // A walk only follows links of positions at most kMaxDistance back, and those are
        // overwritten only by positions kMaxDistance + 1 later: a ring that size is enough. It
        // is made 65536 entries so that a position's slot is its low 16 bits, with no mask.
        if (prev.size() < kRingSize) prev.resize(kRingSize);
        head_ = head.data();
        prev_ = prev.data();
    }

    // Records position p (p + 2 < n) as the newest of its prefix.
    void Insert(std::uint32_t p) {
        const std::uint32_t prefix =
            p + 4 <= n_ ? Load32(data_ + p) & 0xFFFFFF : LoadPrefix(data_ + p);
        const std::uint32_t h = Hash(prefix);
        // Links are distances; one out of reach ends the chain like the end of the list. The
        // flag tells a walk whether the older position shares p's prefix, so that it need not
        // load the prefix of every position it passes.
        const std::uint32_t older = head_[h];
        std::uint32_t link = kEndLink;
        if (older != 0 && p + 1 - older <= kMaxDistance) {
            link = p + 1 - older;
            if ((Load32(data_ + older - 1) & 0xFFFFFF) != prefix) link |= kOtherPrefix;
        }
        prev_[Slot(p)] = static_cast<std::uint16_t>(link);
        head_[h] = p + 1;
    }

    // The longest match for pos among the newest chain_limit earlier positions of its prefix:
    // the first (nearest) of the longest, the walk ending once one reaches stop_length. Only a
    // match longer than `shorter` counts (a caller that would drop anything shorter saves the
    // work of comparing it). Returns the length (`shorter` for none) and sets source.
    std::uint32_t Find(std::uint32_t pos, std::uint32_t stop_length, std::uint32_t shorter,
                       std::uint32_t& source) const {
        std::uint32_t best = shorter;
        // The input's last byte never joins a match.
        const std::uint32_t max_length = std::min<std::uint32_t>(258, n_ - 1 - pos);
        if (max_length < 3 || max_length <= best) return best;
        const std::uint8_t* here = data_ + pos;
        const std::uint32_t prefix = Load32(here) & 0xFFFFFF;
        const std::uint32_t entry = head_[Hash(prefix)];
        if (entry == 0) return best;
        // Signed, so that stepping past the start of the input lands below `reach` as well.
        const std::int64_t reach = std::int64_t{pos} - kMaxDistance;
        std::int64_t c = std::int64_t{entry} - 1;
        if (c < reach) return best;
        // Members in locals: the store to `source` could otherwise alias them in the loop.
        const std::uint8_t* const data = data_;
        const std::uint16_t* const prev = prev_;
        // A candidate can only be longer when it agrees at the last two bytes of the best so far.
        std::uint16_t tail = Load16(here + best - 1);
        const std::uint8_t* tail_base = data + best - 1; // where a candidate's tail starts, less c
        std::uint32_t found = 0;
        int budget = chain_limit_;
        while (true) {
            // Positions of other prefixes sharing the bucket: passed without counting.
            while ((Load32(data + c) & 0xFFFFFF) != prefix) {
                const std::uint32_t link = prev[Slot(c)] & kDistanceMask;
                c -= link;
                if (link == 0 || c < reach) goto done;
            }
            // From here on c is within reach and shares the prefix of pos, until a flagged link.
            std::uint32_t link;
            do {
                if (Load16(tail_base + c) == tail) {
                    const std::uint32_t length = MatchLength(data + c, here, max_length);
                    if (length > best) {
                        best = length;
                        found = static_cast<std::uint32_t>(c);
                        if (best >= stop_length || best == max_length) goto done;
                        tail = Load16(here + best - 1);
                        tail_base = data + best - 1;
                    }
                }
                if (--budget == 0) goto done;
                link = prev[Slot(c)];
                // A flagged link or the end marker carries the flag bit, which puts the candidate
                // out of reach here; only then is the link looked at more closely.
                c -= link;
            } while (c >= reach);
            if ((link & kOtherPrefix) == 0 || (link & kDistanceMask) == 0) break;
            c += kOtherPrefix;
            if (c < reach) break;
        }
    done:
        if (best > shorter) source = found;
        return best;
    }

private:
    static constexpr std::size_t kRingSize = std::size_t{1} << 16;
    static std::uint16_t Slot(std::int64_t position) {
        return static_cast<std::uint16_t>(position);
    }

    std::uint32_t Hash(std::uint32_t prefix) const { return (prefix * 0x9E3779B1u) >> hash_shift_; }

    const std::uint8_t* data_;
    std::uint32_t n_;
    int chain_limit_;
    int hash_shift_ = 24;
    std::uint32_t* head_ = nullptr;
    std::uint16_t* prev_ = nullptr;
};

struct Frequencies {
    std::array<std::uint32_t, kLiteralSymbols> literal{};
    std::array<std::uint32_t, kDistanceSymbols> distance{};
};

struct DynamicPlan {
    std::array<HuffmanCode, kLiteralSymbols> literal{};
    std::array<HuffmanCode, kDistanceSymbols> distance{};
    std::array<HuffmanCode, kCodeLengthSymbols> code_length{};
    int last_literal = kLiteralSymbols - 1;
    int last_distance = kDistanceSymbols - 1;
    int last_order_index = 0; // D: the last entry of kCodeLengthOrder with a length
    std::vector<CodeLengthItem> literal_items;
    std::vector<CodeLengthItem> distance_items;
};

constexpr std::int64_t kNoDynamicBlock = std::int64_t{1} << 30;

std::int64_t FixedCost(const Frequencies& f) {
    std::uint64_t bits = 3;
    for (int s = 0; s < kLiteralSymbols; ++s) {
        std::uint64_t per = static_cast<std::uint64_t>(FixedLiteralLength(s));
        if (s > kEndOfBlock && s - 257 < 29) per += kLengthExtra[static_cast<std::size_t>(s - 257)];
        bits += f.literal[static_cast<std::size_t>(s)] * per;
    }
    for (int d = 0; d < kDistanceSymbols; ++d)
        bits += f.distance[static_cast<std::size_t>(d)] *
                (5u + kDistanceExtra[static_cast<std::size_t>(d)]);
    return static_cast<std::int64_t>(bits / 8 + 1);
}

// Builds the dynamic codes and returns the block's estimated cost in bytes (the header fields
// HLIT, HDIST and HCLEN are left out of the estimate, and the code-length code lengths count
// one entry short: the block-type choice rests on this estimate as it stands).
std::int64_t PlanDynamic(const Frequencies& f, DynamicPlan& plan) {
    if (!BuildHuffmanLengths(plan.literal, f.literal, 15) ||
        !BuildHuffmanLengths(plan.distance, f.distance, 15)) {
        return kNoDynamicBlock;
    }
    plan.last_literal = kLiteralSymbols - 1;
    plan.last_distance = kDistanceSymbols - 1;
    plan.literal_items.clear();
    plan.distance_items.clear();
    RunCodeLengths(plan.literal, plan.last_literal, plan.literal_items);
    RunCodeLengths(plan.distance, plan.last_distance, plan.distance_items);
    std::array<std::uint32_t, kCodeLengthSymbols> counts{};
    for (const CodeLengthItem& item : plan.literal_items)
        ++counts[item.symbol];
    for (const CodeLengthItem& item : plan.distance_items)
        ++counts[item.symbol];
    BuildHuffmanLengths(plan.code_length, counts, 7);
    plan.last_order_index = 0;
    for (int i = 0; i < kCodeLengthSymbols; ++i) {
        if (plan.code_length[kCodeLengthOrder[static_cast<std::size_t>(i)]].length > 0)
            plan.last_order_index = i;
    }
    std::uint64_t bits = 3;
    for (int s = 0; s < kLiteralSymbols; ++s) {
        std::uint64_t per = plan.literal[static_cast<std::size_t>(s)].length;
        if (s > kEndOfBlock && s - 257 < 29) per += kLengthExtra[static_cast<std::size_t>(s - 257)];
        bits += f.literal[static_cast<std::size_t>(s)] * per;
    }
    for (int d = 0; d < kDistanceSymbols; ++d)
        bits += f.distance[static_cast<std::size_t>(d)] *
                (static_cast<std::uint64_t>(plan.distance[static_cast<std::size_t>(d)].length) +
                 kDistanceExtra[static_cast<std::size_t>(d)]);
    bits += 3u * static_cast<std::uint64_t>(plan.last_order_index);
    for (int s = 0; s < kCodeLengthSymbols; ++s)
        bits += counts[static_cast<std::size_t>(s)] *
                (static_cast<std::uint64_t>(plan.code_length[static_cast<std::size_t>(s)].length) +
                 kCodeLengthExtraBits[static_cast<std::size_t>(s)]);
    return static_cast<std::int64_t>(bits / 8 + 1);
}

// Codes ready to go out: reversed for least-significant-first packing.
struct EmitTable {
    std::array<std::uint32_t, kLiteralSymbols> literal_bits{};
    std::array<std::uint8_t, kLiteralSymbols> literal_length{};
    std::array<std::uint32_t, kDistanceSymbols> distance_bits{};
    std::array<std::uint8_t, kDistanceSymbols> distance_length{};
};

template <std::size_t N>
void FillEmit(const std::array<HuffmanCode, N>& codes, std::span<std::uint32_t> bits,
              std::span<std::uint8_t> lengths) {
    for (std::size_t s = 0; s < N && s < bits.size(); ++s) {
        bits[s] = ReverseBits(codes[s].value, codes[s].length);
        lengths[s] = static_cast<std::uint8_t>(codes[s].length);
    }
}

const EmitTable& FixedEmitTable() {
    static const EmitTable table = [] {
        std::array<HuffmanCode, kLiteralSymbols> literal{};
        for (int s = 0; s < kLiteralSymbols; ++s)
            literal[static_cast<std::size_t>(s)].length =
                static_cast<std::uint16_t>(FixedLiteralLength(s));
        AssignCanonicalCodes(literal);
        std::array<HuffmanCode, 32> distance{};
        for (HuffmanCode& code : distance)
            code.length = 5;
        AssignCanonicalCodes(distance);
        EmitTable t;
        FillEmit(literal, t.literal_bits, t.literal_length);
        FillEmit(distance, t.distance_bits, t.distance_length);
        return t;
    }();
    return table;
}

void WriteCodeLengthItems(BitWriter& bits, const std::vector<CodeLengthItem>& items,
                          const std::array<HuffmanCode, kCodeLengthSymbols>& code_length) {
    for (const CodeLengthItem& item : items) {
        const HuffmanCode& code = code_length[item.symbol];
        bits.Put(ReverseBits(code.value, code.length), code.length);
        if (item.symbol >= 16) bits.Put(item.extra, kCodeLengthExtraBits[item.symbol]);
    }
}

void PutBigEndian32(std::uint8_t* out, std::uint32_t v) {
    out[0] = static_cast<std::uint8_t>(v >> 24);
    out[1] = static_cast<std::uint8_t>(v >> 16);
    out[2] = static_cast<std::uint8_t>(v >> 8);
    out[3] = static_cast<std::uint8_t>(v);
}

// What the match search leaves for the block: the symbols' frequencies and the literal bytes
// after the last match.
struct MatchPass {
    Frequencies freq;
    std::uint32_t pending_literals = 0;
};

// Pass 1: matches and symbol frequencies, by a lazy search whose effort follows the row.
MatchPass FindMatches(std::span<const std::uint8_t> data, const ConfigRow& row,
                      std::vector<std::uint32_t>& head, std::vector<std::uint16_t>& prev,
                      std::vector<FlateEncoder::Match>& matches) {
    const auto n = static_cast<std::uint32_t>(data.size());
    const std::uint8_t* bytes = data.data();
    MatchPass pass;
    Frequencies& freq = pass.freq;
    std::uint32_t pending_literals = 0;
    auto literal = [&](std::uint32_t p) {
        ++freq.literal[bytes[p]];
        ++pending_literals;
    };
    std::uint32_t pos = 0;
    if (n >= 4) {
        MatchFinder finder(data, row, head, prev);
        while (n - pos >= 4) {
            std::uint32_t source = 0;
            std::uint32_t length = finder.Find(pos, row.lazy_length, 2, source);
            if (length >= 3 && length < row.nice_length) {
                // A longer match one byte on is worth a literal first. The search runs before pos
                // enters the chains, so it never finds the match at distance 1 from pos + 1.
                std::uint32_t next_source = 0;
                const std::uint32_t next_length =
                    finder.Find(pos + 1, row.nice_length, length, next_source);
                if (next_length > length) {
                    finder.Insert(pos);
                    literal(pos);
                    ++pos;
                    length = next_length;
                    source = next_source;
                }
            }
            if (length == 3 && pos - source > kFarThreeByteMatch) length = 2;
            if (length >= 3) {
                const std::uint32_t distance = pos - source;
                matches.push_back({pending_literals, static_cast<std::uint16_t>(length),
                                   static_cast<std::uint16_t>(distance)});
                pending_literals = 0;
                ++freq.literal[257u + kLengthIndex[length]];
                ++freq.distance[static_cast<std::size_t>(DistanceCode(distance))];
                const std::uint32_t last_insert = std::min(pos + length - 1, n - 3);
                for (std::uint32_t p = pos; p <= last_insert; ++p)
                    finder.Insert(p);
                pos += length;
            } else {
                finder.Insert(pos);
                literal(pos);
                ++pos;
            }
        }
    }
    for (; pos < n; ++pos)
        literal(pos);
    freq.literal[kEndOfBlock] = 1;
    pass.pending_literals = pending_literals;
    return pass;
}

struct BlockChoice {
    int type = 0; // 0 stored, 1 fixed codes, 2 dynamic codes
    std::int64_t cost = 0;
};

// Block type: the cheapest by estimate; ties keep stored before fixed before dynamic.
BlockChoice ChooseBlock(std::uint32_t n, const Frequencies& freq, DynamicPlan& plan) {
    const std::int64_t stored_cost = static_cast<std::int64_t>(n) + 5;
    const std::int64_t fixed_cost = FixedCost(freq);
    const std::int64_t dynamic_cost = PlanDynamic(freq, plan);
    BlockChoice choice{0, stored_cost};
    if (fixed_cost < choice.cost) choice = {1, fixed_cost};
    if (dynamic_cost < choice.cost) choice = {2, dynamic_cost};
    return choice;
}

// A stored block holds at most 65535 bytes; longer input goes out as several blocks, the last
// one final, instead of one block whose length field would wrap. Returns the end of what it
// wrote.
std::uint8_t* WriteStoredBlocks(std::uint8_t* o, const std::uint8_t* bytes, std::size_t n) {
    std::size_t at = 0;
    do {
        const std::size_t len = std::min<std::size_t>(kMaxStoredBlock, n - at);
        const bool final = at + len == n;
        *o++ = final ? 1 : 0;
        o[0] = static_cast<std::uint8_t>(len);
        o[1] = static_cast<std::uint8_t>(len >> 8);
        o[2] = static_cast<std::uint8_t>(~len);
        o[3] = static_cast<std::uint8_t>(~len >> 8);
        o += 4;
        if (len > 0) std::memcpy(o, bytes + at, len);
        o += len;
        at += len;
    } while (at < n);
    return o;
}

// The dynamic block's header: the counts, the code-length code and the run-coded lengths of the
// literal and distance codes.
void WriteDynamicHeader(BitWriter& bits, const DynamicPlan& plan) {
    bits.Put(static_cast<std::uint32_t>(plan.last_literal - 256), 5);
    bits.Put(static_cast<std::uint32_t>(plan.last_distance), 5);
    bits.Put(static_cast<std::uint32_t>(plan.last_order_index - 3), 4);
    for (int i = 0; i <= plan.last_order_index; ++i)
        bits.Put(plan.code_length[kCodeLengthOrder[static_cast<std::size_t>(i)]].length, 3);
    WriteCodeLengthItems(bits, plan.literal_items, plan.code_length);
    WriteCodeLengthItems(bits, plan.distance_items, plan.code_length);
}

// The one final block of fixed (type 1) or dynamic (type 2) codes: the literals and matches in
// order, then the end of block. Returns the end of what it wrote.
std::uint8_t* WriteCodedBlock(std::uint8_t* o, int type, const DynamicPlan& plan,
                              std::span<const FlateEncoder::Match> matches,
                              std::uint32_t pending_literals, const std::uint8_t* bytes) {
    BitWriter bits(o);
    bits.Put(1, 1);
    bits.Put(static_cast<std::uint32_t>(type), 2);
    EmitTable dynamic_table;
    const EmitTable* table = &FixedEmitTable();
    if (type == 2) {
        WriteDynamicHeader(bits, plan);
        FillEmit(plan.literal, dynamic_table.literal_bits, dynamic_table.literal_length);
        FillEmit(plan.distance, dynamic_table.distance_bits, dynamic_table.distance_length);
        table = &dynamic_table;
    }
    const EmitTable& t = *table;
    const std::uint8_t* next_literal = bytes;
    auto put_literals = [&](std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t b = *next_literal++;
            bits.Put(t.literal_bits[b], t.literal_length[b]);
        }
    };
    for (const FlateEncoder::Match& m : matches) {
        put_literals(m.literals_before);
        const std::size_t j = kLengthIndex[m.length];
        bits.Put(t.literal_bits[257 + j] | static_cast<std::uint32_t>(m.length - kLengthBase[j])
                                               << t.literal_length[257 + j],
                 t.literal_length[257 + j] + kLengthExtra[j]);
        const auto k = static_cast<std::size_t>(DistanceCode(m.distance));
        bits.Put(t.distance_bits[k] | static_cast<std::uint32_t>(m.distance - kDistanceBase[k])
                                          << t.distance_length[k],
                 t.distance_length[k] + kDistanceExtra[k]);
        next_literal += m.length;
    }
    put_literals(pending_literals);
    bits.Put(t.literal_bits[kEndOfBlock], t.literal_length[kEndOfBlock]);
    bits.Flush();
    return bits.Position();
}

} // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler) {
    constexpr std::uint32_t kBase = 65521;
    constexpr std::size_t kChunk = 5552; // the most bytes before the sums can overflow 32 bits
    std::uint32_t a = adler & 0xFFFF;
    std::uint32_t b = adler >> 16;
    std::size_t i = 0;
    while (i < data.size()) {
        const std::size_t end = std::min(data.size(), i + kChunk);
        // Sixteen bytes at a time: b gains 16 a plus each byte weighted by how many of the
        // block's steps it is summed in, which breaks the byte-by-byte dependency.
#ifdef __SSE2__
        // The blocks' sums side by side in vector lanes: the bytes' sum (psadbw), the weighted
        // sum (pmaddwd with the weights 16 down to 1) and, for the 16 a of each block, the sum of
        // the chunk's bytes before each block. Every lane stays below 2^32 within a chunk.
        const std::size_t blocks = (end - i) / 16;
        if (blocks > 0) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i first_weights = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
            const __m128i last_weights = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
            __m128i sums = zero;
            __m128i sums_before = zero;
            __m128i weighted = zero;
            for (std::size_t block = 0; block < blocks; ++block, i += 16) {
                const __m128i bytes =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.data() + i));
                sums_before = _mm_add_epi32(sums_before, sums);
                sums = _mm_add_epi32(sums, _mm_sad_epu8(bytes, zero));
                weighted = _mm_add_epi32(
                    weighted,
                    _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), first_weights),
                                  _mm_madd_epi16(_mm_unpackhi_epi8(bytes, zero), last_weights)));
            }
            const auto lanes = [](__m128i v) {
                std::array<std::uint32_t, 4> lane{};
                _mm_storeu_si128(reinterpret_cast<__m128i*>(lane.data()), v);
                return lane[0] + lane[1] + lane[2] + lane[3];
            };
            b += static_cast<std::uint32_t>(blocks) * 16 * a + 16 * lanes(sums_before) +
                 lanes(weighted);
            a += lanes(sums);
        }
#else
        for (; i + 16 <= end; i += 16) {
            std::uint32_t sum = 0;
            std::uint32_t weighted = 0;
            for (std::uint32_t k = 0; k < 16; ++k) {
                sum += data[i + k];
                weighted += (16 - k) * data[i + k];
            }
            b += 16 * a + weighted;
            a += sum;
        }
#endif
        for (; i < end; ++i) {
            a += data[i];
            b += a;
        }
        a %= kBase;
        b %= kBase;
    }
    return (b << 16) | a;
}

void FlateEncoder::Encode(std::span<const std::uint8_t> data, int level,
                          std::vector<std::uint8_t>& out) {
    if (data.size() >= 0xFFFFFFF0u) throw std::length_error("deflate input too large");
    const ConfigRow& row = kConfigRows[static_cast<std::size_t>(std::clamp(level, 0, 5))];
    const auto n = static_cast<std::uint32_t>(data.size());

    matches_.clear();
    const MatchPass pass = FindMatches(data, row, head_, prev_, matches_);
    DynamicPlan plan;
    const BlockChoice block = ChooseBlock(n, pass.freq, plan);

    // Pass 2: the zlib stream. The estimate leaves out at most 17 header bits of a coded block;
    // 16 bytes of slack also covers the bit writer's 4-byte steps.
    const std::size_t stored_blocks =
        std::max<std::size_t>(1, (n + kMaxStoredBlock - 1) / kMaxStoredBlock);
    const std::size_t bound = block.type == 0 ? 2 + n + 5 * stored_blocks + 4
                                              : 2 + static_cast<std::size_t>(block.cost) + 16 + 4;
    out.resize(bound);
    std::uint8_t* o = out.data();
    *o++ = 0x78;
    *o++ = 0x5E;
    if (block.type == 0) {
        o = WriteStoredBlocks(o, data.data(), n);
    } else {
        o = WriteCodedBlock(o, block.type, plan, matches_, pass.pending_literals, data.data());
    }
    PutBigEndian32(o, Adler32(data));
    o += 4;
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::vector<std::uint8_t> EncodeFlate(std::span<const std::uint8_t> data, int level) {
    FlateEncoder encoder;
    std::vector<std::uint8_t> out;
    encoder.Encode(data, level, out);
    return out;
}

} // namespace pagora::detail
