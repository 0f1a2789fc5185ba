// A small, slow zlib-stream decoder written straight from the format, independent of zlib: it
// gives back the data together with what the stream was made of (block types, literals and
// matches), so tests can check an encoder's choices and not only its round trip.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace testing_support {

struct InflateToken {
    std::uint16_t length = 0;   // 0 for a literal
    std::uint16_t distance = 0; // 0 for a literal
    std::uint8_t literal = 0;
};

struct InflateTrace {
    bool ok = false;
    std::vector<std::uint8_t> data;
    std::vector<int> block_types; // 0 stored, 1 fixed, 2 dynamic, in stream order
    std::vector<bool> block_final;
    std::vector<InflateToken> tokens; // of coded blocks only
};

namespace inflate_detail {

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> in) : in_(in) {}
    bool Bits(int count, std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < count; ++i) {
            if (pos_ >= in_.size()) return false;
            const std::uint32_t bit = (in_[pos_] >> bit_) & 1u;
            value |= bit << i;
            if (++bit_ == 8) {
                bit_ = 0;
                ++pos_;
            }
        }
        return true;
    }
    void Align() {
        if (bit_ != 0) {
            bit_ = 0;
            ++pos_;
        }
    }
    bool Byte(std::uint8_t& b) {
        if (pos_ >= in_.size()) return false;
        b = in_[pos_++];
        return true;
    }
    std::size_t Position() const { return pos_; }

private:
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
    int bit_ = 0;
};

// Canonical code from lengths, decoded bit by bit.
struct Huffman {
    std::array<std::uint16_t, 16> count{};
    std::vector<std::uint16_t> symbols;
    bool Build(std::span<const std::uint8_t> lengths) {
        count.fill(0);
        for (std::uint8_t l : lengths)
            ++count[l];
        count[0] = 0;
        int left = 1;
        for (int l = 1; l < 16; ++l) {
            left = left * 2 - count[static_cast<std::size_t>(l)];
            if (left < 0) return false; // over-subscribed
        }
        std::array<std::uint16_t, 16> offset{};
        for (int l = 1; l < 15; ++l)
            offset[static_cast<std::size_t>(l + 1)] = static_cast<std::uint16_t>(
                offset[static_cast<std::size_t>(l)] + count[static_cast<std::size_t>(l)]);
        symbols.assign(lengths.size(), 0);
        for (std::size_t s = 0; s < lengths.size(); ++s)
            if (lengths[s] != 0) symbols[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
        return true;
    }
    bool Decode(Reader& r, int& symbol) const {
        int code = 0, first = 0, index = 0;
        for (int l = 1; l < 16; ++l) {
            std::uint32_t bit;
            if (!r.Bits(1, bit)) return false;
            code |= static_cast<int>(bit);
            const int c = count[static_cast<std::size_t>(l)];
            if (code - c < first) {
                symbol = symbols[static_cast<std::size_t>(index + (code - first))];
                return true;
            }
            index += c;
            first = (first + c) << 1;
            code <<= 1;
        }
        return false;
    }
};

inline constexpr std::array<std::uint16_t, 29> kLengthBase{
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
inline constexpr std::array<std::uint8_t, 29> kLengthExtra{
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr std::array<std::uint16_t, 30> kDistBase{
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr std::array<std::uint8_t, 30> kDistExtra{0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

inline bool Codes(Reader& r, const Huffman& lit, const Huffman& dist, InflateTrace& t) {
    while (true) {
        int sym;
        if (!lit.Decode(r, sym)) return false;
        if (sym < 256) {
            t.data.push_back(static_cast<std::uint8_t>(sym));
            t.tokens.push_back({0, 0, static_cast<std::uint8_t>(sym)});
            continue;
        }
        if (sym == 256) return true;
        sym -= 257;
        if (sym >= 29) return false;
        std::uint32_t extra;
        if (!r.Bits(kLengthExtra[static_cast<std::size_t>(sym)], extra)) return false;
        const std::uint32_t length = kLengthBase[static_cast<std::size_t>(sym)] + extra;
        int dsym;
        if (!dist.Decode(r, dsym) || dsym >= 30) return false;
        if (!r.Bits(kDistExtra[static_cast<std::size_t>(dsym)], extra)) return false;
        const std::uint32_t distance = kDistBase[static_cast<std::size_t>(dsym)] + extra;
        if (distance > t.data.size()) return false;
        for (std::uint32_t i = 0; i < length; ++i)
            t.data.push_back(t.data[t.data.size() - distance]);
        t.tokens.push_back(
            {static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance), 0});
    }
}

} // namespace inflate_detail

// Decodes a zlib stream (header, deflate blocks, Adler-32); ok is false on any fault, including
// a wrong checksum or bytes left over.
inline InflateTrace InflateWithTrace(std::span<const std::uint8_t> zlib_stream) {
    using namespace inflate_detail;
    InflateTrace t;
    if (zlib_stream.size() < 6) return t;
    const unsigned cmf = zlib_stream[0], flg = zlib_stream[1];
    if ((cmf & 0x0F) != 8 || (cmf * 256 + flg) % 31 != 0 || (flg & 0x20) != 0) return t;
    Reader r(zlib_stream.subspan(2));
    bool last = false;
    while (!last) {
        std::uint32_t final_bit, type;
        if (!r.Bits(1, final_bit) || !r.Bits(2, type)) return t;
        last = final_bit != 0;
        t.block_types.push_back(static_cast<int>(type));
        t.block_final.push_back(last);
        if (type == 0) {
            r.Align();
            std::uint8_t b[4];
            for (auto& x : b)
                if (!r.Byte(x)) return t;
            const unsigned len = b[0] | b[1] << 8, nlen = b[2] | b[3] << 8;
            if ((len ^ 0xFFFFu) != nlen) return t;
            for (unsigned i = 0; i < len; ++i) {
                std::uint8_t x;
                if (!r.Byte(x)) return t;
                t.data.push_back(x);
            }
        } else if (type == 1) {
            std::array<std::uint8_t, 288> lengths{};
            for (int s = 0; s < 288; ++s)
                lengths[static_cast<std::size_t>(s)] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
            std::array<std::uint8_t, 30> dlengths{};
            dlengths.fill(5);
            Huffman lit, dist;
            lit.Build(lengths);
            dist.Build(dlengths);
            if (!Codes(r, lit, dist, t)) return t;
        } else if (type == 2) {
            std::uint32_t hlit, hdist, hclen;
            if (!r.Bits(5, hlit) || !r.Bits(5, hdist) || !r.Bits(4, hclen)) return t;
            static constexpr int kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};
            std::array<std::uint8_t, 19> cl{};
            for (std::uint32_t i = 0; i < hclen + 4; ++i) {
                std::uint32_t v;
                if (!r.Bits(3, v)) return t;
                cl[static_cast<std::size_t>(kOrder[i])] = static_cast<std::uint8_t>(v);
            }
            Huffman clh;
            if (!clh.Build(cl)) return t;
            std::vector<std::uint8_t> lengths;
            const std::size_t total = hlit + 257 + hdist + 1;
            while (lengths.size() < total) {
                int sym;
                if (!clh.Decode(r, sym)) return t;
                std::uint32_t rep = 0;
                std::uint8_t value = 0;
                if (sym < 16) {
                    lengths.push_back(static_cast<std::uint8_t>(sym));
                    continue;
                } else if (sym == 16) {
                    if (lengths.empty() || !r.Bits(2, rep)) return t;
                    value = lengths.back();
                    rep += 3;
                } else if (sym == 17) {
                    if (!r.Bits(3, rep)) return t;
                    rep += 3;
                } else {
                    if (!r.Bits(7, rep)) return t;
                    rep += 11;
                }
                if (lengths.size() + rep > total) return t;
                lengths.insert(lengths.end(), rep, value);
            }
            Huffman lit, dist;
            if (!lit.Build(std::span(lengths).first(hlit + 257)) ||
                !dist.Build(std::span(lengths).subspan(hlit + 257)))
                return t;
            if (!Codes(r, lit, dist, t)) return t;
        } else {
            return t;
        }
    }
    r.Align();
    const std::size_t at = 2 + r.Position();
    if (at + 4 != zlib_stream.size()) return t;
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t x : t.data) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    const std::uint32_t want = (b << 16) | a;
    const std::uint32_t got = static_cast<std::uint32_t>(zlib_stream[at]) << 24 |
                              static_cast<std::uint32_t>(zlib_stream[at + 1]) << 16 |
                              static_cast<std::uint32_t>(zlib_stream[at + 2]) << 8 |
                              zlib_stream[at + 3];
    t.ok = want == got;
    return t;
}

} // namespace testing_support
