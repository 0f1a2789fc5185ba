#include "pdf/import/inflate.h"

#include "pdf/writer/deflate_tables.h"
#include "pdf/writer/errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "Inflate";
constexpr int kMaxBits = 15;

struct Code {
    std::uint16_t extra;
    std::uint32_t base;
};

// Length symbols 257 to 287; 286 and 287 are matches of length 0.
constexpr std::array<Code, 31> kLengthCodes = [] {
    std::array<Code, 31> codes{};
    for (std::size_t i = 0; i < kLengthBase.size(); ++i)
        codes[i] = {kLengthExtra[i], kLengthBase[i]};
    return codes;
}();

// Distance symbols 0 to 31; 30 and 31 are those of the 64 KiB variant.
constexpr std::array<Code, 32> kDistanceCodes = [] {
    std::array<Code, 32> codes{};
    for (std::size_t i = 0; i < kDistanceBase.size(); ++i)
        codes[i] = {kDistanceExtra[i], kDistanceBase[i]};
    codes[30] = {14, 32769};
    codes[31] = {14, 49153};
    return codes;
}();

// The farthest a match reaches back (distance code 31 with all extra bits set).
constexpr std::size_t kWindow = 65536;
// The longest match (length code 285 of the 64 KiB variant).
constexpr std::size_t kLongestMatch = 3 + 65535;
// Matches are copied up to sixteen bytes at a time, so a copy may write this far past its end;
// the output buffer always has this much room beyond its usable part.
constexpr std::size_t kSlack = 16;
// How much the streaming form decodes between two hand-overs to its sink.
constexpr std::size_t kStreamChunk = 256 * 1024;

struct Failure {
    int number;
};

[[noreturn]] void Fail() {
    throw Failure{kErrSubscript};
}

// ---- Decoding tables ----------------------------------------------------------------------------
//
// A prefix code is decoded by looking up the next kTableBits bits of the input (first bit in the
// lowest position) in a main table; codes longer than that continue in a subtable. An entry packs
// the number of bits it consumes (bits 0-4), its kind (5-7), the number of extra bits that follow
// a length or distance (8-15) and its value (16-31): a literal, a length or distance base, or
// where a subtable starts. A literal of the literal/length code also has its top bit set, and a
// subtable is the only kind with bit 7, so that the decoding loop tells both by one bit test.

enum Kind : std::uint32_t { kLiteral = 0, kMatch = 1, kEndOfBlock = 2, kBad = 3, kSubtable = 4 };

constexpr std::uint32_t kLiteralFlag = 1u << 31;
constexpr std::uint32_t kSubtableBit = kSubtable << 5;

constexpr std::uint32_t MakeEntry(std::uint32_t bits, Kind kind, std::uint32_t extra,
                                  std::uint32_t value) {
    return bits | static_cast<std::uint32_t>(kind) << 5 | extra << 8 | value << 16;
}
constexpr std::uint32_t EntryBits(std::uint32_t e) {
    return e & 31;
}
constexpr std::uint32_t EntryKind(std::uint32_t e) {
    return (e >> 5) & 7;
}
constexpr std::uint32_t EntryExtra(std::uint32_t e) {
    return (e >> 8) & 0xFF;
}
constexpr std::uint32_t EntryValue(std::uint32_t e) {
    return e >> 16;
}

constexpr std::uint32_t kBadEntry = MakeEntry(0, kBad, 0, 0);

constexpr int kLiteralTableBits = 11;
constexpr int kDistanceTableBits = 8;
constexpr int kCodeLengthTableBits = 7; // code-length codes are at most 7 bits long

// Room for the main table and one subtable per symbol whose code is longer than the main table
// reaches, each as large as the longest code needs.
constexpr std::size_t kLiteralTableSize =
    (1u << kLiteralTableBits) + 288 * (1u << (kMaxBits - kLiteralTableBits));
constexpr std::size_t kDistanceTableSize =
    (1u << kDistanceTableBits) + 32 * (1u << (kMaxBits - kDistanceTableBits));

enum class Alphabet { kLiterals, kDistances, kCodeLengths };

std::uint32_t EntryFor(Alphabet alphabet, int symbol, std::uint32_t bits, bool deflate64) {
    const auto s = static_cast<std::uint32_t>(symbol);
    switch (alphabet) {
    case Alphabet::kLiterals:
        if (s < 256) return MakeEntry(bits, kLiteral, 0, s) | kLiteralFlag;
        if (s == 256) return MakeEntry(bits, kEndOfBlock, 0, 0);
        if (deflate64 && s == 285) return MakeEntry(bits, kMatch, 16, 3);
        return MakeEntry(bits, kMatch, kLengthCodes[s - 257].extra, kLengthCodes[s - 257].base);
    case Alphabet::kDistances: {
        const Code& code = kDistanceCodes[s];
        // The base of code 31 (49153) still fits the 16-bit value field.
        return MakeEntry(bits, kMatch, code.extra, code.base);
    }
    case Alphabet::kCodeLengths:
        break;
    }
    return MakeEntry(bits, kLiteral, 0, s);
}

struct CodeShape {
    int left = 0; // negative: over-subscribed; 0: complete; positive: incomplete
    int codes = 0;
    int max_length = 0;
};

std::uint32_t Reversed(std::uint32_t code, int length) {
    std::uint32_t r = 0;
    for (int i = 0; i < length; ++i) {
        r = r << 1 | (code & 1);
        code >>= 1;
    }
    return r;
}

// Fills the table of the canonical code of lengths[0..n) unless its lengths over-subscribe the
// code space. Bit sequences that no code matches decode to kBad entries.
CodeShape BuildTable(std::uint32_t* table, int table_bits, const std::uint8_t* lengths, int n,
                     Alphabet alphabet, bool deflate64) {
    CodeShape shape;
    std::array<std::uint16_t, kMaxBits + 1> count{};
    for (int i = 0; i < n; ++i) {
        ++count[lengths[i]];
        shape.max_length = std::max<int>(shape.max_length, lengths[i]);
    }
    shape.codes = n - count[0];
    count[0] = 0;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
        left = 2 * left - count[static_cast<std::size_t>(len)];
        if (left < 0) {
            shape.left = left;
            return shape;
        }
    }
    shape.left = left;

    const std::size_t main_size = std::size_t{1} << table_bits;
    std::fill(table, table + main_size, kBadEntry);
    std::array<std::uint32_t, kMaxBits + 2> next{};
    std::uint32_t code = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
        code = (code + count[static_cast<std::size_t>(len - 1)]) << 1;
        next[static_cast<std::size_t>(len)] = code;
    }
    const int sub_bits = std::max(shape.max_length - table_bits, 0);
    const std::size_t sub_size = std::size_t{1} << sub_bits;
    std::size_t next_sub = main_size;
    for (int symbol = 0; symbol < n; ++symbol) {
        const int len = lengths[symbol];
        if (len == 0) continue;
        const std::uint32_t reversed = Reversed(next[static_cast<std::size_t>(len)]++, len);
        if (len <= table_bits) {
            const std::uint32_t entry =
                EntryFor(alphabet, symbol, static_cast<std::uint32_t>(len), deflate64);
            for (std::size_t i = reversed; i < main_size; i += std::size_t{1} << len)
                table[i] = entry;
            continue;
        }
        const std::size_t prefix = reversed & (main_size - 1);
        if (EntryKind(table[prefix]) != kSubtable) {
            std::fill(table + next_sub, table + next_sub + sub_size, kBadEntry);
            table[prefix] = MakeEntry(static_cast<std::uint32_t>(table_bits), kSubtable,
                                      static_cast<std::uint32_t>(sub_bits),
                                      static_cast<std::uint32_t>(next_sub));
            next_sub += sub_size;
        }
        const std::size_t start = EntryValue(table[prefix]);
        const int rest = len - table_bits;
        const std::uint32_t entry =
            EntryFor(alphabet, symbol, static_cast<std::uint32_t>(rest), deflate64);
        for (std::size_t i = reversed >> table_bits; i < sub_size; i += std::size_t{1} << rest)
            table[start + i] = entry;
    }
    return shape;
}

// Accepts a complete code, or the incomplete one made of a single code of length 1; an empty
// code only where allowed. Everything else cannot be decoded unambiguously.
void RequireUsable(const CodeShape& shape, bool empty_allowed) {
    if (shape.left < 0) Fail();
    if (shape.codes == 0) {
        if (!empty_allowed) Fail();
        return;
    }
    if (shape.left > 0 && !(shape.codes == 1 && shape.max_length == 1)) Fail();
}

std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

// ---- The decoder --------------------------------------------------------------------------------

class Decoder {
public:
    Decoder(std::span<const std::uint8_t> input, const InflateOptions& options,
            const InflateSink* sink)
        : in_(input.data()), in_end_(input.data() + input.size()), cap_(options.output_cap),
          deflate64_(options.deflate64), sink_(sink) {
        const std::size_t logical = sink_ != nullptr ? kWindow + kLongestMatch + kStreamChunk
                                                     : std::min(options.initial_size, cap_) + 1;
        buffer_.resize(logical + kSlack);
        out_ = buffer_.data();
        SetLimit(logical);
    }

    int Run() {
        int status = kInflateOk;
        bool final = false;
        while (!final) {
            final = Bits(1) == 1;
            switch (Bits(2)) {
            case 0:
                StoredBlock(status);
                break;
            case 1:
                FixedBlock();
                break;
            case 2:
                DynamicBlock();
                break;
            default:
                status = kInflateReservedBlock;
                break;
            }
        }
        RequireRealBits();
        return status;
    }

    // The whole output; the streaming form hands its last bytes to the sink instead.
    std::vector<std::uint8_t> Finish() {
        const auto size = static_cast<std::size_t>(out_ - buffer_.data());
        if (sink_ != nullptr) {
            if (size > 0) (*sink_)(std::span<const std::uint8_t>(buffer_.data(), size));
            return {};
        }
        buffer_.resize(size);
        return std::move(buffer_);
    }

private:
    // Past the end of the input the bit buffer is filled with zero bytes, so that the decoding
    // loop needs no test for the end; taking any of those bits means the data was cut short.
    void RequireRealBits() const {
        if (overread_ * 8 > bitsleft_) Fail();
    }

    void Refill() {
        if (in_end_ - in_ >= 8) {
            bitbuf_ |= Load64(in_) << bitsleft_;
            in_ += (63 - bitsleft_) >> 3;
            bitsleft_ |= 56;
            return;
        }
        const BitState state = RefillSlowly({in_, bitbuf_, bitsleft_});
        in_ = state.in;
        bitbuf_ = state.bitbuf;
        bitsleft_ = state.bitsleft;
    }

    // The bit reader's state goes in and out by value: were the decoding loop's locals passed
    // by reference, the compiler would keep them in memory instead of registers all along.
    struct BitState {
        const std::uint8_t* in;
        std::uint64_t bitbuf;
        unsigned bitsleft;
    };

    [[gnu::noinline]] BitState RefillSlowly(BitState state) {
        if (overread_ * 8 > state.bitsleft) Fail();
        while (state.bitsleft <= 56) {
            if (state.in < in_end_) {
                state.bitbuf |= static_cast<std::uint64_t>(*state.in++) << state.bitsleft;
            } else {
                ++overread_;
            }
            state.bitsleft += 8;
        }
        return state;
    }

    // The next count bits (0 to 32).
    std::uint32_t Bits(unsigned count) {
        if (bitsleft_ < count) Refill();
        const auto value = static_cast<std::uint32_t>(bitbuf_ & ((std::uint64_t{1} << count) - 1));
        bitbuf_ >>= count;
        bitsleft_ -= count;
        return value;
    }

    std::uint32_t DecodeSymbol(const std::uint32_t* table, int table_bits) {
        if (bitsleft_ < kMaxBits) Refill();
        std::uint32_t e = table[bitbuf_ & ((1u << table_bits) - 1)];
        if (EntryKind(e) == kSubtable) {
            bitbuf_ >>= table_bits;
            bitsleft_ -= static_cast<unsigned>(table_bits);
            e = table[EntryValue(e) + (bitbuf_ & ((1u << EntryExtra(e)) - 1))];
        }
        if (EntryKind(e) == kBad) Fail(); // a bit sequence that no code matches
        bitbuf_ >>= EntryBits(e);
        bitsleft_ -= EntryBits(e);
        return e;
    }

    void SetLimit(std::size_t logical) {
        const std::size_t room_under_cap = cap_ - flushed_;
        limit_ = buffer_.data() + std::min(logical, room_under_cap);
    }

    // Makes room for need more bytes at out_: grows the buffer, or hands the bytes the window no
    // longer needs to the sink. Raises error 7 when the output would pass the cap.
    void MakeRoom(std::size_t need) {
        RequireRealBits(); // cut data is reported as such, whatever it would have produced
        std::uint8_t* start = buffer_.data();
        const auto held = static_cast<std::size_t>(out_ - start);
        if (need > cap_ - flushed_ - held) throw Failure{kErrOutOfMemory};
        if (sink_ != nullptr) {
            if (held > kWindow) {
                const std::size_t done = held - kWindow;
                (*sink_)(std::span<const std::uint8_t>(start, done));
                std::memmove(start, start + done, kWindow);
                flushed_ += done;
                out_ = start + kWindow;
            }
            SetLimit(buffer_.size() - kSlack);
            return;
        }
        const std::size_t logical =
            std::min(std::max(2 * (buffer_.size() - kSlack), held + need), cap_);
        buffer_.resize(logical + kSlack);
        out_ = buffer_.data() + held;
        SetLimit(logical);
    }

    void StoredBlock(int& status) {
        // Drop the bits up to the next byte and give the whole bytes held back to the input.
        const unsigned drop = bitsleft_ & 7;
        bitbuf_ >>= drop;
        bitsleft_ -= drop;
        RequireRealBits();
        in_ -= bitsleft_ / 8 - overread_;
        bitbuf_ = 0;
        bitsleft_ = 0;
        overread_ = 0;
        if (in_end_ - in_ < 4) Fail();
        const std::uint32_t len = in_[0] | static_cast<std::uint32_t>(in_[1]) << 8;
        const std::uint32_t nlen = in_[2] | static_cast<std::uint32_t>(in_[3]) << 8;
        in_ += 4;
        if (len != (~nlen & 0xFFFFu)) status = kInflateBadStoredLength;
        if (len > static_cast<std::size_t>(limit_ - out_)) MakeRoom(len);
        if (static_cast<std::size_t>(in_end_ - in_) < len) Fail();
        std::memcpy(out_, in_, len);
        out_ += len;
        in_ += len;
    }

    void FixedBlock() {
        std::array<std::uint8_t, 288> lengths{};
        std::fill(lengths.begin(), lengths.begin() + 144, std::uint8_t{8});
        std::fill(lengths.begin() + 144, lengths.begin() + 256, std::uint8_t{9});
        std::fill(lengths.begin() + 256, lengths.begin() + 280, std::uint8_t{7});
        std::fill(lengths.begin() + 280, lengths.end(), std::uint8_t{8});
        BuildTable(literals_.data(), kLiteralTableBits, lengths.data(), 288, Alphabet::kLiterals,
                   deflate64_);
        std::array<std::uint8_t, 32> distance_lengths{};
        distance_lengths.fill(5);
        BuildTable(distances_.data(), kDistanceTableBits, distance_lengths.data(), 32,
                   Alphabet::kDistances, deflate64_);
        CodedBlock();
    }

    void DynamicBlock() {
        const int hlit = static_cast<int>(Bits(5)) + 257;
        const int hdist = static_cast<int>(Bits(5)) + 1;
        const int hclen = static_cast<int>(Bits(4)) + 4;

        std::array<std::uint8_t, 19> code_length_lengths{};
        for (int i = 0; i < hclen; ++i) {
            code_length_lengths[static_cast<std::size_t>(
                kCodeLengthOrder[static_cast<std::size_t>(i)])] =
                static_cast<std::uint8_t>(Bits(3));
        }
        std::array<std::uint32_t, 1u << kCodeLengthTableBits> code_lengths{};
        const CodeShape shape =
            BuildTable(code_lengths.data(), kCodeLengthTableBits, code_length_lengths.data(), 19,
                       Alphabet::kCodeLengths, false);
        // The code-length code must be complete: an incomplete one is never written by a sound
        // encoder, and decoding with it could take any later bits for lengths.
        if (shape.left != 0 || shape.codes == 0) Fail();

        std::array<std::uint8_t, 288 + 32> lengths{};
        const int total = hlit + hdist;
        int index = 0;
        while (index < total) {
            const auto symbol = static_cast<int>(
                EntryValue(DecodeSymbol(code_lengths.data(), kCodeLengthTableBits)));
            if (symbol < 16) {
                lengths[static_cast<std::size_t>(index++)] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint8_t value = 0;
            int repeat = 0;
            if (symbol == 16) {
                if (index == 0) Fail(); // nothing to repeat
                value = lengths[static_cast<std::size_t>(index - 1)];
                repeat = 3 + static_cast<int>(Bits(2));
            } else if (symbol == 17) {
                repeat = 3 + static_cast<int>(Bits(3));
            } else {
                repeat = 11 + static_cast<int>(Bits(7));
            }
            if (index + repeat > total) Fail(); // a repeat past the lengths the block declared
            while (repeat-- > 0)
                lengths[static_cast<std::size_t>(index++)] = value;
        }
        // Without an end-of-block code the block could never end.
        if (lengths[256] == 0) Fail();

        RequireUsable(BuildTable(literals_.data(), kLiteralTableBits, lengths.data(), hlit,
                                 Alphabet::kLiterals, deflate64_),
                      false);
        RequireUsable(BuildTable(distances_.data(), kDistanceTableBits, lengths.data() + hlit,
                                 hdist, Alphabet::kDistances, deflate64_),
                      true);
        CodedBlock();
    }

    // The hot loop. Its state lives in locals, so that the compiler can keep it in registers
    // although every output byte is written through a byte pointer that may alias anything.
    void CodedBlock() {
        const std::uint32_t* const literals = literals_.data();
        const std::uint32_t* const distances = distances_.data();
        const std::uint8_t* in = in_;
        const std::uint8_t* const in_end = in_end_;
        std::uint64_t bitbuf = bitbuf_;
        unsigned bitsleft = bitsleft_;
        std::uint8_t* out = out_;
        std::uint8_t* limit = limit_;
        std::uint8_t* start = buffer_.data();

        // Growing the output hands the state over by value: a lambda holding the locals by
        // reference around a call that is not inlined would keep them in memory all along.
        const auto room = [&](std::size_t need) {
            out = Grow(need, in, bitbuf, bitsleft, out);
            limit = limit_;
            start = buffer_.data();
        };
        // Tops the bit buffer up to at least 56 bits.
        const auto refill = [&] {
            if (in_end - in >= 8) {
                bitbuf |= Load64(in) << bitsleft;
                in += (63 - bitsleft) >> 3;
                bitsleft |= 56;
            } else {
                const BitState state = RefillSlowly({in, bitbuf, bitsleft});
                in = state.in;
                bitbuf = state.bitbuf;
                bitsleft = state.bitsleft;
            }
        };
        const auto consume = [&](unsigned n) {
            bitbuf >>= n;
            bitsleft -= n;
        };
        const auto decode = [&](const std::uint32_t* table, int table_bits) {
            std::uint32_t e = table[bitbuf & ((1u << table_bits) - 1)];
            if ((e & kSubtableBit) != 0) [[unlikely]] {
                consume(static_cast<unsigned>(table_bits));
                e = table[EntryValue(e) + (bitbuf & ((1u << EntryExtra(e)) - 1))];
            }
            consume(EntryBits(e));
            return e;
        };
        const auto extra_bits = [&](std::uint32_t n) {
            const auto value = static_cast<std::uint32_t>(bitbuf & ((std::uint64_t{1} << n) - 1));
            consume(n);
            return value;
        };

        for (;;) {
            refill();
            std::uint32_t e = decode(literals, kLiteralTableBits);
            if ((e & kLiteralFlag) != 0) [[likely]] {
                if (out >= limit) [[unlikely]]
                    room(1);
                *out++ = static_cast<std::uint8_t>(EntryValue(e));
                // A literal takes at most 15 of the 56 bits: two more need no refill.
                e = decode(literals, kLiteralTableBits);
                if ((e & kLiteralFlag) != 0) {
                    if (out >= limit) [[unlikely]]
                        room(1);
                    *out++ = static_cast<std::uint8_t>(EntryValue(e));
                    e = decode(literals, kLiteralTableBits);
                    if ((e & kLiteralFlag) != 0) {
                        if (out >= limit) [[unlikely]]
                            room(1);
                        *out++ = static_cast<std::uint8_t>(EntryValue(e));
                        continue;
                    }
                }
                refill();
            }
            if (EntryKind(e) != kMatch) [[unlikely]] {
                if (EntryKind(e) == kEndOfBlock) break;
                Fail(); // a bit sequence that no code matches
            }
            const std::size_t length = EntryValue(e) + extra_bits(EntryExtra(e));
            if (bitsleft < 2 * kMaxBits) refill(); // after a 16-bit length of the 64 KiB variant
            e = decode(distances, kDistanceTableBits);
            // No distance code at all, or a bit sequence that none matches.
            if (EntryKind(e) != kMatch) [[unlikely]]
                Fail();
            const std::size_t distance = EntryValue(e) + extra_bits(EntryExtra(e));
            if (length == 0) continue; // symbols 286 and 287 copy nothing
            if (distance > static_cast<std::size_t>(out - start)) Fail(); // before the first byte
            if (length > static_cast<std::size_t>(limit - out)) [[unlikely]]
                room(length);
            CopyMatch(out, distance, length);
            out += length;
        }
        in_ = in;
        bitbuf_ = bitbuf;
        bitsleft_ = bitsleft;
        out_ = out;
    }

    // Stores the decoding loop's state, makes room for need more bytes and returns where the
    // output goes on.
    [[gnu::noinline]] std::uint8_t* Grow(std::size_t need, const std::uint8_t* in,
                                         std::uint64_t bitbuf, unsigned bitsleft,
                                         std::uint8_t* out) {
        in_ = in;
        bitbuf_ = bitbuf;
        bitsleft_ = bitsleft;
        out_ = out;
        MakeRoom(need);
        return out_;
    }

    // Copies a match that may overlap the bytes it produces; writes up to kSlack bytes past its
    // end, which the buffer always has room for.
    static void CopyMatch(std::uint8_t* out, std::size_t distance, std::size_t length) {
        std::uint8_t* const end = out + length;
        const std::uint8_t* from = out - distance;
        if (distance >= 16) {
            do {
                std::memcpy(out, from, 16);
                out += 16;
                from += 16;
            } while (out < end);
            return;
        }
        if (distance >= 8) {
            do {
                std::memcpy(out, from, 8);
                out += 8;
                from += 8;
            } while (out < end);
            return;
        }
        if (distance == 1) {
            std::memset(out, *from, length);
            return;
        }
        // A short period: write bytes one by one until the pattern repeats at a distance of at
        // least eight, then copy eight bytes at a time from that far back.
        const std::size_t period = distance * ((8 + distance - 1) / distance);
        std::uint8_t* const wide = out + (period - distance);
        while (out < end && out < wide)
            *out++ = *from++;
        from = out - period;
        while (out < end) {
            std::memcpy(out, from, 8);
            out += 8;
            from += 8;
        }
    }

    const std::uint8_t* in_;
    const std::uint8_t* in_end_;
    std::uint64_t bitbuf_ = 0;
    unsigned bitsleft_ = 0;
    unsigned overread_ = 0;

    std::vector<std::uint8_t> buffer_;
    std::uint8_t* out_ = nullptr;
    std::uint8_t* limit_ = nullptr;
    std::size_t flushed_ = 0; // bytes handed to the sink and dropped from the buffer
    std::size_t cap_;
    bool deflate64_;
    const InflateSink* sink_;

    std::array<std::uint32_t, kLiteralTableSize> literals_;
    std::array<std::uint32_t, kDistanceTableSize> distances_;
};

template <typename Body> auto Guarded(Body body) {
    try {
        return body();
    } catch (const Failure& failure) {
        RaiseError(failure.number, kOperation);
    } catch (const std::bad_alloc&) {
        RaiseError(kErrOutOfMemory, kOperation);
    }
}

} // namespace

InflateResult InflateBytes(std::span<const std::uint8_t> input, const InflateOptions& options) {
    return Guarded([&] {
        Decoder decoder(input, options, nullptr);
        InflateResult result;
        result.status = decoder.Run();
        result.bytes = decoder.Finish();
        return result;
    });
}

int InflateTo(std::span<const std::uint8_t> input, const InflateOptions& options,
              const InflateSink& sink) {
    return Guarded([&] {
        Decoder decoder(input, options, &sink);
        const int status = decoder.Run();
        decoder.Finish();
        return status;
    });
}

int Inflate(std::vector<std::uint8_t>& data, std::int32_t initial_size, bool deflate64) {
    InflateOptions options;
    options.initial_size = static_cast<std::size_t>(std::max<std::int32_t>(initial_size, 0));
    options.deflate64 = deflate64;
    InflateResult result = InflateBytes(data, options);
    data = std::move(result.bytes);
    return result.status;
}

} // namespace pagora::detail
