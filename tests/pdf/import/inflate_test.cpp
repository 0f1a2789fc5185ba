#include "pdf/import/inflate.h"

#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using pagora::detail::Inflate;
using pagora::detail::InflateBytes;
using pagora::detail::InflateOptions;
using pagora::detail::InflateResult;
using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        out.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

// zlib as the independent oracle: raw DEFLATE at a level and strategy.
Bytes ZlibDeflate(const Bytes& input, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(input.size())) + 16);
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(input.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// zlib's decoding of raw DEFLATE data; nothing when zlib refuses it.
std::optional<Bytes> ZlibInflate(const Bytes& input) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    Bytes out;
    std::array<std::uint8_t, 65536> chunk{};
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(input.size());
    int ret = Z_OK;
    while (ret == Z_OK) {
        z.next_out = chunk.data();
        z.avail_out = chunk.size();
        ret = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - z.avail_out));
        if (ret == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    inflateEnd(&z);
    if (ret != Z_STREAM_END) return std::nullopt;
    return out;
}

int ErrorOf(const Bytes& input, const InflateOptions& options = {}) {
    try {
        InflateBytes(input, options);
    } catch (const pagora::PdfError& error) {
        return error.Number();
    }
    return 0;
}

// ---- Hand-made vectors --------------------------------------------------------------------------

struct Vector {
    const char* name;
    const char* hex;
    bool deflate64;
    int error;          // 0 when the data decodes
    int status;         // when it decodes
    std::string output; // when it decodes
};

std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

class InflateVectors : public ::testing::TestWithParam<Vector> {};

TEST_P(InflateVectors, DecodeAsExpected) {
    const Vector& v = GetParam();
    Bytes data = FromHex(v.hex);
    const Bytes original = data;
    if (v.error != 0) {
        try {
            Inflate(data, 1000, v.deflate64);
            FAIL() << "no error";
        } catch (const pagora::PdfError& error) {
            EXPECT_EQ(error.Number(), v.error);
            EXPECT_EQ(error.Source(), "Pagora.Inflate");
        }
        EXPECT_EQ(data, original) << "the caller's data must stay as it was";
        return;
    }
    EXPECT_EQ(Inflate(data, 1000, v.deflate64), v.status);
    EXPECT_EQ(std::string(data.begin(), data.end()), v.output);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, InflateVectors,
    ::testing::Values(
        Vector{"FixedEndOfBlockOnly", "03 00", false, 0, 0, ""},
        Vector{"Stored", "01 05 00 FA FF 68 65 6C 6C 6F", false, 0, 0, "hello"},
        Vector{"StoredLengthMismatchGoesOn", "01 05 00 00 00 68 65 6C 6C 6F", false, 0, -2,
               "hello"},
        Vector{"ReservedThenStored", "0E 05 00 FA FF 68 65 6C 6C 6F", false, 0, -1, "hello"},
        Vector{"FinalReserved", "07", false, 0, -1, ""},
        Vector{"TrailerIgnored", "03 00 DE AD BE EF", false, 0, 0, ""},
        Vector{"MaxLengthDistanceOne", "4B 1C 05 00", false, 0, 0, Repeat('a', 259)},
        Vector{"Deflate64Length", "4B 1C FD FF 07 00", true, 0, 0, Repeat('a', 65539)},
        // Symbol 286 (refused by zlib) is a match of length 0: its distance is read, nothing
        // is copied, and decoding goes on with "b".
        Vector{"ZeroLengthMatch", "4B 1C 03 49 00", false, 0, 0, "ab"},
        Vector{"DistanceEqualsOutput", "4B 4C 02 42 00", false, 0, 0, "ababa"},
        Vector{"NoDistanceCode", "05 C0 01 09 00 00 00 80 A0 AD F6 7F 44 68", false, 0, 0, "ab"},
        Vector{"SingleDistanceCode", "0D C0 21 01 00 00 00 80 A0 AD FC 3F A1 58", false, 0, 0,
               "aaaa"},
        Vector{"LoneEndOfBlockCode", "05 C0 21 09 00 00 00 00 A0 FF AF 05", false, 0, 0, ""},
        // Failures.
        Vector{"DistanceBeforeFirstByte", "4B 4C 02 22 00", false, 9, 0, ""},
        Vector{"Deflate64DataWithoutTheFlag", "4B 1C FD FF 07 00", false, 9, 0, ""},
        Vector{"IncompleteLiteralCode", "05 80 21 09 00 00 00 80 B6 EA FF 11 42", false, 9, 0, ""},
        Vector{"Empty", "", false, 9, 0, ""},
        Vector{"NonFinalThenNothing", "02 00", false, 9, 0, ""},
        Vector{"StoredCutShort", "01 05 00 FA FF 68 65", false, 9, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Hand-built dynamic blocks with malformed codes ---------------------------------------------

class BitWriter {
public:
    void Put(std::uint32_t value, int bits) {
        for (int i = 0; i < bits; ++i)
            PutBit((value >> i) & 1);
    }
    // A Huffman code, first bit the most significant one.
    void PutCode(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i)
            PutBit((code >> i) & 1);
    }
    Bytes Done() { return bytes_; }

private:
    void PutBit(std::uint32_t bit) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | bit << used_);
        used_ = (used_ + 1) % 8;
    }
    Bytes bytes_;
    int used_ = 0;
};

// Canonical codes of a list of lengths, as the format defines them.
std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths) {
    std::array<int, 17> count{};
    for (int l : lengths)
        if (l) ++count[static_cast<std::size_t>(l)];
    std::array<std::uint32_t, 17> next{};
    std::uint32_t code = 0;
    for (std::size_t bits = 1; bits <= 16; ++bits) {
        code = (code + static_cast<std::uint32_t>(count[bits - 1])) << 1;
        next[bits] = code;
    }
    std::vector<std::uint32_t> codes(lengths.size());
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i]) codes[i] = next[static_cast<std::size_t>(lengths[i])]++;
    return codes;
}

struct LengthSymbol {
    int symbol;
    std::uint32_t extra = 0;
};

// A final dynamic block header: its code-length code (lengths by symbol 0 to 18) and the
// code-length symbols that follow, then a few bytes of ones.
Bytes DynamicHeader(int hlit, int hdist, const std::vector<int>& cl_lengths,
                    const std::vector<LengthSymbol>& symbols) {
    static constexpr std::array<int, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                   11, 4,  12, 3, 13, 2, 14, 1, 15};
    BitWriter w;
    w.Put(1, 1);
    w.Put(2, 2);
    w.Put(static_cast<std::uint32_t>(hlit - 257), 5);
    w.Put(static_cast<std::uint32_t>(hdist - 1), 5);
    w.Put(19 - 4, 4);
    for (int symbol : kOrder)
        w.Put(static_cast<std::uint32_t>(cl_lengths[static_cast<std::size_t>(symbol)]), 3);
    const auto codes = CanonicalCodes(cl_lengths);
    for (const LengthSymbol& s : symbols) {
        const auto index = static_cast<std::size_t>(s.symbol);
        w.PutCode(codes[index], cl_lengths[index]);
        if (s.symbol == 16) w.Put(s.extra, 2);
        if (s.symbol == 17) w.Put(s.extra, 3);
        if (s.symbol == 18) w.Put(s.extra, 7);
    }
    w.Put(0xFFFFFFFFu, 32); // ones: the end-of-block code of the blocks built here
    return w.Done();
}

// A complete code-length code over the symbols 0, 1, 2 and the three repeats.
std::vector<int> CompleteCodeLengthCode() {
    std::vector<int> lengths(19, 0);
    lengths[0] = 2;
    lengths[1] = 2;
    for (int s : {2, 16, 17, 18})
        lengths[static_cast<std::size_t>(s)] = 3;
    return lengths;
}

// Lengths for 'a' and end-of-block only (each 1 bit), with the distance lengths given.
std::vector<LengthSymbol> LiteralAAndEnd(const std::vector<LengthSymbol>& distances) {
    std::vector<LengthSymbol> symbols(9, LengthSymbol{17, 7}); // 90 zeros
    symbols.push_back({17, 4});                                // 7 zeros: symbols 0 to 96
    symbols.push_back({1});                                    // 'a'
    symbols.push_back({18, 127});                              // 138 zeros
    symbols.push_back({18, 9});                                // 20 zeros: up to 255
    symbols.push_back({1});                                    // end of block
    symbols.insert(symbols.end(), distances.begin(), distances.end());
    return symbols;
}

TEST(InflateMalformedCodes, AreRefusedLikeZlibRefusesThem) {
    const std::vector<int> complete = CompleteCodeLengthCode();
    // The well-formed header first, so that the failures below come from their one fault.
    const Bytes good = DynamicHeader(257, 1, complete, LiteralAAndEnd({{1}}));
    ASSERT_TRUE(ZlibInflate(good));
    EXPECT_TRUE(InflateBytes(good).bytes.empty());

    std::vector<int> over = complete;
    over[3] = 1;
    std::vector<int> incomplete = complete;
    incomplete[18] = 0;
    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"over-subscribed code-length code", DynamicHeader(257, 1, over, LiteralAAndEnd({{1}}))},
        {"incomplete code-length code", DynamicHeader(257, 1, incomplete, {{1}})},
        {"repeat before any length", DynamicHeader(257, 1, complete, {{16, 0}})},
        {"repeat past the declared lengths",
         DynamicHeader(257, 1, complete, {{18, 127}, {18, 127}, {18, 127}})},
        {"no end-of-block code", DynamicHeader(257, 1, complete, {{18, 127}, {18, 108}, {0}})},
        {"over-subscribed literal code",
         DynamicHeader(257, 1, complete, {{1}, {1}, {1}, {18, 127}, {18, 104}, {1}, {1}})},
        {"incomplete distance code of one 2-bit code",
         DynamicHeader(257, 2, complete, LiteralAAndEnd({{2}, {0}}))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorOf(c.data), 9) << c.name;
        EXPECT_FALSE(ZlibInflate(c.data)) << "zlib accepts " << c.name;
    }
}

// ---- Against zlib -------------------------------------------------------------------------------

Bytes SampleData(std::mt19937& rng, std::size_t size) {
    // Mixes runs, repeated phrases and noise so that every kind of block and match occurs.
    Bytes data;
    data.reserve(size);
    const std::string words[] = {"BT /F1 12 Tf ", "0 0 612 792 re f ", "endstream", "q Q ", "\r\n"};
    while (data.size() < size) {
        switch (rng() % 4) {
        case 0:
            data.insert(data.end(), rng() % 300, static_cast<std::uint8_t>(rng()));
            break;
        case 1: {
            const std::string& w = words[rng() % 5];
            data.insert(data.end(), w.begin(), w.end());
            break;
        }
        case 2:
            for (int i = static_cast<int>(rng() % 64); i > 0; --i)
                data.push_back(static_cast<std::uint8_t>(rng()));
            break;
        default:
            if (!data.empty()) {
                const std::size_t from = rng() % data.size();
                const std::size_t n = std::min<std::size_t>(rng() % 400, data.size() - from);
                data.insert(data.end(), data.begin() + static_cast<long>(from),
                            data.begin() + static_cast<long>(from + n));
            }
        }
    }
    data.resize(size);
    return data;
}

TEST(InflateAgainstZlib, EveryLevelAndStrategyDecodesToTheOriginalBytes) {
    std::mt19937 rng(20261210);
    const int levels[] = {0, 1, 6, 9};
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    std::array<int, 3> first_block_types{};
    for (int i = 0; i < 500; ++i) {
        // Sizes spread over 0 to 1 MiB, most of them small.
        const auto size =
            static_cast<std::size_t>(std::exp2(std::uniform_real_distribution<>(0, 20)(rng))) - 1;
        const Bytes original = SampleData(rng, size);
        const int level = levels[i % 4];
        const int strategy = strategies[(i / 4) % 5];
        const Bytes packed = ZlibDeflate(original, level, strategy);
        ++first_block_types[static_cast<std::size_t>((packed[0] >> 1) & 3) % 3];
        const auto decoded = InflateBytes(packed);
        ASSERT_EQ(decoded.status, 0);
        ASSERT_TRUE(decoded.bytes == original)
            << "size " << size << " level " << level << " strategy " << strategy;
    }
    for (int type = 0; type < 3; ++type)
        EXPECT_GT(first_block_types[static_cast<std::size_t>(type)], 0) << "block type " << type;
}

TEST(InflateAgainstZlib, ADataStreamCutAnywhereRaisesAndLeavesTheDataAlone) {
    std::mt19937 rng(7);
    // Stored, fixed and dynamic blocks, one after the other.
    Bytes original = SampleData(rng, 20000);
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 0, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes packed(60000);
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    const int params[][2] = {{0, Z_DEFAULT_STRATEGY}, {6, Z_FIXED}, {9, Z_DEFAULT_STRATEGY}};
    for (int part = 0; part < 3; ++part) {
        ASSERT_EQ(deflateParams(&z, params[part][0], params[part][1]), Z_OK);
        z.next_in = original.data() + part * 6000;
        z.avail_in = part == 2 ? 8000 : 6000;
        ASSERT_EQ(deflate(&z, part == 2 ? Z_FINISH : Z_FULL_FLUSH),
                  part == 2 ? Z_STREAM_END : Z_OK);
    }
    packed.resize(z.total_out);
    deflateEnd(&z);
    ASSERT_TRUE(InflateBytes(packed).bytes == original);

    for (std::size_t length = 0; length < packed.size(); ++length) {
        Bytes cut(packed.begin(), packed.begin() + static_cast<long>(length));
        const Bytes before = cut;
        try {
            Inflate(cut, 1000, false);
            ADD_FAILURE() << "no error when cut at " << length;
        } catch (const pagora::PdfError& error) {
            EXPECT_EQ(error.Number(), 9) << length;
        }
        ASSERT_EQ(cut, before);
    }
}

TEST(InflateAgainstZlib, OutputPastTheCapRaisesOutOfMemory) {
    const Bytes zeros(8 * 1024 * 1024, 0);
    const Bytes bomb = ZlibDeflate(zeros, 9, Z_DEFAULT_STRATEGY);
    ASSERT_LT(bomb.size(), 10000u);
    InflateOptions options;
    options.output_cap = 1024 * 1024;
    EXPECT_EQ(ErrorOf(bomb, options), 7);
    options.output_cap = zeros.size();
    EXPECT_EQ(InflateBytes(bomb, options).bytes.size(), zeros.size());
    // A stored block declaring more than the cap is refused before its bytes are read.
    options.output_cap = 4;
    EXPECT_EQ(ErrorOf(FromHex("01 05 00 FA FF 68 65 6C 6C 6F"), options), 7);
    EXPECT_EQ(pagora::detail::kMaxInflatedBytes, 256u * 1024 * 1024);
}

TEST(InflateAgainstZlib, CallsAreIndependent) {
    // A call that fails halfway leaves nothing behind for the next one.
    EXPECT_EQ(ErrorOf(FromHex("4B 4C 02 22 00")), 9);
    Bytes data = FromHex("4B 4C 02 42 00");
    EXPECT_EQ(Inflate(data, 0, false), 0);
    EXPECT_EQ(std::string(data.begin(), data.end()), "ababa");
}

// ---- Against the bit-at-a-time model ------------------------------------------------------------

// The first decoder, which read one bit per step, kept as the model of what is accepted, what is
// refused and with which error: the table-driven one must agree with it on damaged data too, where
// zlib is no oracle (it refuses what the model accepts on purpose).
namespace model {

struct Stop {
    int number;
    std::size_t produced; // bytes decoded before the stop
};

struct Code {
    int extra;
    std::uint32_t base;
};

// The base and extra bits of the length symbols 257 to 287 and the distance symbols 0 to 31,
// derived from their rules rather than listed.
std::array<Code, 31> LengthCodes() {
    std::array<Code, 31> codes{};
    std::uint32_t base = 3;
    for (int i = 0; i < 28; ++i) {
        const int extra = i < 8 ? 0 : (i - 4) / 4;
        codes[static_cast<std::size_t>(i)] = {extra, base};
        base += 1u << extra;
    }
    codes[28] = {0, 258};
    return codes; // 286 and 287: length 0
}

std::array<Code, 32> DistanceCodes() {
    std::array<Code, 32> codes{};
    std::uint32_t base = 1;
    for (int i = 0; i < 32; ++i) {
        const int extra = i < 4 ? 0 : (i - 2) / 2;
        codes[static_cast<std::size_t>(i)] = {extra, base};
        base += 1u << extra;
    }
    return codes;
}

class Decoder {
public:
    Decoder(const Bytes& in, bool deflate64, std::size_t cap)
        : in_(in), deflate64_(deflate64), cap_(cap) {}

    // The status and bytes, or the error number.
    std::pair<int, Bytes> Run() {
        int status = 0;
        for (bool final = false; !final;) {
            final = Bits(1) == 1;
            const std::uint32_t type = Bits(2);
            if (type == 0) {
                held_ = 0;
                const std::uint32_t len = Byte() | Byte() << 8;
                const std::uint32_t nlen = Byte() | Byte() << 8;
                if (len != (~nlen & 0xFFFFu)) status = -2;
                Room(len);
                for (std::uint32_t i = 0; i < len; ++i)
                    out_.push_back(static_cast<std::uint8_t>(Byte()));
            } else if (type == 1) {
                std::vector<int> lengths(288, 8);
                std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
                std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
                Block(lengths, std::vector<int>(32, 5));
            } else if (type == 2) {
                Dynamic();
            } else {
                status = -1;
            }
        }
        return {status, out_};
    }

private:
    [[noreturn]] void Bad() const { throw Stop{9, out_.size()}; }
    std::uint32_t Byte() {
        if (pos_ >= in_.size()) Bad();
        return in_[pos_++];
    }
    std::uint32_t Bits(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (held_ == 0) {
                byte_ = Byte();
                held_ = 8;
            }
            v |= (byte_ & 1) << i;
            byte_ >>= 1;
            --held_;
        }
        return v;
    }
    void Room(std::size_t n) {
        if (n > cap_ - out_.size()) throw Stop{7, out_.size()};
    }

    // Canonical code: symbol by (length, code), checked as the decoder checks it.
    struct Huffman {
        std::map<std::pair<int, std::uint32_t>, int> symbols;
        int left = 1;
        int codes = 0;
        int max_length = 0;
    };
    static Huffman Build(const std::vector<int>& lengths) {
        Huffman h;
        std::array<int, 16> count{};
        for (int l : lengths) {
            if (l == 0) continue;
            ++count[static_cast<std::size_t>(l)];
            ++h.codes;
            h.max_length = std::max(h.max_length, l);
        }
        for (std::size_t l = 1; l < 16 && h.left >= 0; ++l)
            h.left = 2 * h.left - count[l];
        std::vector<int> as_int(lengths.begin(), lengths.end());
        const auto codes = CanonicalCodes(as_int);
        for (std::size_t i = 0; i < lengths.size(); ++i)
            if (lengths[i]) h.symbols[{lengths[i], codes[i]}] = static_cast<int>(i);
        return h;
    }
    void Usable(const Huffman& h, bool empty_allowed) const {
        if (h.left < 0) Bad();
        if (h.codes == 0) {
            if (!empty_allowed) Bad();
            return;
        }
        if (h.left > 0 && !(h.codes == 1 && h.max_length == 1)) Bad();
    }
    int Decode(const Huffman& h) {
        std::uint32_t code = 0;
        for (int len = 1; len <= h.max_length; ++len) {
            code = code << 1 | Bits(1);
            const auto it = h.symbols.find({len, code});
            if (it != h.symbols.end()) return it->second;
        }
        Bad();
    }

    void Dynamic() {
        static constexpr std::array<int, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
        const int hlit = static_cast<int>(Bits(5)) + 257;
        const int hdist = static_cast<int>(Bits(5)) + 1;
        const int hclen = static_cast<int>(Bits(4)) + 4;
        std::vector<int> cl(19, 0);
        for (int i = 0; i < hclen; ++i)
            cl[static_cast<std::size_t>(kOrder[static_cast<std::size_t>(i)])] =
                static_cast<int>(Bits(3));
        const Huffman clh = Build(cl);
        if (clh.left != 0 || clh.codes == 0) Bad();
        std::vector<int> lengths;
        while (static_cast<int>(lengths.size()) < hlit + hdist) {
            const int symbol = Decode(clh);
            if (symbol < 16) {
                lengths.push_back(symbol);
                continue;
            }
            if (symbol == 16 && lengths.empty()) Bad();
            const int value = symbol == 16 ? lengths.back() : 0;
            const int repeat = symbol == 16   ? 3 + static_cast<int>(Bits(2))
                               : symbol == 17 ? 3 + static_cast<int>(Bits(3))
                                              : 11 + static_cast<int>(Bits(7));
            if (static_cast<int>(lengths.size()) + repeat > hlit + hdist) Bad();
            lengths.insert(lengths.end(), static_cast<std::size_t>(repeat), value);
        }
        if (lengths[256] == 0) Bad();
        Block(std::vector<int>(lengths.begin(), lengths.begin() + hlit),
              std::vector<int>(lengths.begin() + hlit, lengths.end()), true);
    }

    void Block(const std::vector<int>& lit, const std::vector<int>& dist, bool check = false) {
        const Huffman lh = Build(lit);
        const Huffman dh = Build(dist);
        if (check) {
            Usable(lh, false);
            Usable(dh, true);
        }
        static const auto kLengths = LengthCodes();
        static const auto kDistances = DistanceCodes();
        for (;;) {
            const int symbol = Decode(lh);
            if (symbol < 256) {
                Room(1);
                out_.push_back(static_cast<std::uint8_t>(symbol));
                continue;
            }
            if (symbol == 256) return;
            const Code& lc = kLengths[static_cast<std::size_t>(symbol - 257)];
            std::uint32_t length = lc.base + Bits(lc.extra);
            if (deflate64_ && symbol == 285) length = 3 + Bits(16);
            const Code& dc = kDistances[static_cast<std::size_t>(Decode(dh))];
            const std::uint32_t distance = dc.base + Bits(dc.extra);
            if (length == 0) continue;
            if (distance > out_.size()) Bad();
            Room(length);
            for (std::uint32_t i = 0; i < length; ++i)
                out_.push_back(out_[out_.size() - distance]);
        }
    }

    const Bytes& in_;
    bool deflate64_;
    std::size_t cap_;
    std::size_t pos_ = 0;
    std::uint32_t byte_ = 0;
    int held_ = 0;
    Bytes out_;
};

} // namespace model

// What a decoder made of some data: an error number, or the status and bytes.
struct Outcome {
    int error = 0;
    int status = 0;
    Bytes bytes;
    bool operator==(const Outcome&) const = default;
};

Outcome OfModel(const Bytes& data, bool deflate64, std::size_t cap) {
    try {
        auto [status, bytes] = model::Decoder(data, deflate64, cap).Run();
        return {0, status, std::move(bytes)};
    } catch (const model::Stop& stop) {
        return {stop.number, 0, {}};
    }
}

Outcome OfInflateBytes(const Bytes& data, bool deflate64, std::size_t cap) {
    InflateOptions options;
    options.deflate64 = deflate64;
    options.output_cap = cap;
    options.initial_size = 0;
    try {
        InflateResult result = InflateBytes(data, options);
        return {0, result.status, std::move(result.bytes)};
    } catch (const pagora::PdfError& error) {
        return {error.Number(), 0, {}};
    }
}

// The streaming form, with the pieces it hands on joined.
Outcome OfInflateTo(const Bytes& data, bool deflate64, std::size_t cap) {
    InflateOptions options;
    options.deflate64 = deflate64;
    options.output_cap = cap;
    Bytes joined;
    try {
        const int status =
            pagora::detail::InflateTo(data, options, [&](std::span<const std::uint8_t> piece) {
                joined.insert(joined.end(), piece.begin(), piece.end());
            });
        return {0, status, std::move(joined)};
    } catch (const pagora::PdfError& error) {
        return {error.Number(), 0, {}};
    }
}

TEST(InflateAgainstTheModel, DamagedDataIsDecodedOrRefusedExactlyAsTheModelDoes) {
    std::mt19937 rng(26);
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    std::map<int, int> seen; // error number (0: decoded) -> cases
    for (int i = 0; i < 1000; ++i) {
        const Bytes original = SampleData(rng, rng() % 6000);
        Bytes data = ZlibDeflate(original, static_cast<int>(rng() % 10), strategies[rng() % 5]);
        // Flip a few bits, overwrite a byte, cut the end: every kind of damage a file meets.
        const int damage = static_cast<int>(rng() % 4);
        for (int flip = 0; flip <= damage && !data.empty(); ++flip)
            data[rng() % data.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        if (damage == 3 && !data.empty()) data.resize(rng() % data.size());
        const bool deflate64 = rng() % 4 == 0;
        // A cap that is sometimes just below what the data makes, so that error 7 and the other
        // refusals meet in every order.
        const std::size_t cap = rng() % 3 == 0 ? original.size() - original.size() / 8 : 1 << 20;
        const Outcome expected = OfModel(data, deflate64, cap);
        ++seen[expected.error];
        ASSERT_EQ(OfInflateBytes(data, deflate64, cap), expected) << "case " << i;
        ASSERT_EQ(OfInflateTo(data, deflate64, cap), expected) << "case " << i;
    }
    EXPECT_GT(seen[0], 100);
    EXPECT_GT(seen[7], 20);
    EXPECT_GT(seen[9], 100);

    // Data cut short with a cap of exactly what decodes before the cut: the fault is the cut
    // (9), never the cap (7), however far ahead the decoder reads.
    const Bytes text = ZlibDeflate(SampleData(rng, 30000), 6, Z_DEFAULT_STRATEGY);
    for (std::size_t length = 1; length < text.size(); length += 11) {
        const Bytes cut(text.begin(), text.begin() + static_cast<long>(length));
        std::size_t produced = 0;
        try {
            model::Decoder(cut, false, 1 << 20).Run();
        } catch (const model::Stop& stop) {
            produced = stop.produced;
        }
        ASSERT_EQ(OfModel(cut, false, produced).error, 9);
        ASSERT_EQ(OfInflateBytes(cut, false, produced).error, 9) << length;
        ASSERT_EQ(OfInflateTo(cut, false, produced).error, 9) << length;
    }
}

TEST(InflateTo, HandsOnLongOutputInOrderWithMatchesReachingBackAcrossTheHandOvers) {
    std::mt19937 rng(5);
    // Several megabytes, so that the window is handed on many times; level 9 reaches 32 KiB back.
    const Bytes original = SampleData(rng, 3 * 1024 * 1024 + 12345);
    const Bytes packed = ZlibDeflate(original, 9, Z_DEFAULT_STRATEGY);
    std::size_t pieces = 0;
    Bytes joined;
    EXPECT_EQ(pagora::detail::InflateTo(packed, {},
                                        [&](std::span<const std::uint8_t> piece) {
                                            ++pieces;
                                            joined.insert(joined.end(), piece.begin(), piece.end());
                                        }),
              0);
    EXPECT_TRUE(joined == original);
    EXPECT_GT(pieces, 4u);

    // Matches of the 64 KiB variant: 65538 bytes at distances 1 and 65536, across hand-overs.
    BitWriter w;
    w.Put(1, 1); // final
    w.Put(1, 2); // fixed codes
    for (std::uint32_t b = 0; b < 100; ++b)
        w.PutCode(0x30 + b, 8); // literals 0 to 99
    for (int m = 0; m < 20; ++m) {
        w.PutCode(0xC5, 8); // symbol 285
        w.Put(65535, 16);   // length 65538
        w.PutCode(m % 2 ? 31 : 0, 5);
        if (m % 2) w.Put(16383, 14); // distance 65536
    }
    w.PutCode(0, 7); // end of block
    const Bytes long_matches = w.Done();
    const Outcome expected = OfModel(long_matches, true, 1 << 24);
    ASSERT_EQ(expected.error, 0);
    ASSERT_EQ(expected.bytes.size(), 100u + 20u * 65538u);
    EXPECT_EQ(OfInflateTo(long_matches, true, 1 << 24), expected);
    EXPECT_EQ(OfInflateBytes(long_matches, true, 1 << 24), expected);
}

} // namespace
