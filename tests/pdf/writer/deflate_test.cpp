#include "pdf/writer/deflate.h"

#include "tests/pdf/writer/deflate_model.h"
#include "tests/support/inflate_trace.h"
#include "tests/support/sample_data.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using pagora::detail::EncodeFlate;
using pagora::detail::FlateEncoder;
using testing_support::InflateWithTrace;

Bytes Hex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes ZlibInflate(const Bytes& stream, std::size_t expected_size) {
    Bytes out(expected_size + 1);
    uLongf size = static_cast<uLongf>(out.size());
    const int rc = uncompress(out.data(), &size, stream.data(), static_cast<uLong>(stream.size()));
    if (rc != Z_OK) return {0xDE, 0xAD};
    out.resize(size);
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Repeat(const Bytes& unit, std::size_t times) {
    Bytes out;
    for (std::size_t i = 0; i < times; ++i)
        out.insert(out.end(), unit.begin(), unit.end());
    return out;
}

// Letters of a skewed alphabet (Fibonacci counts) in random order, so that the literal code
// would grow deeper than 15 bits without the length limit.
Bytes SkewedLetters() {
    Bytes out;
    std::uint32_t a = 1, b = 1;
    for (int symbol = 0; symbol < 26; ++symbol) {
        out.insert(out.end(), a, static_cast<std::uint8_t>(0x20 + symbol * 7));
        const std::uint32_t c = a + b;
        a = b;
        b = c;
    }
    testing_support::SampleRandom random(3);
    for (std::size_t i = out.size(); i > 1; --i)
        std::swap(out[i - 1], out[random.Next() % i]);
    return out;
}

// The checksum is summed sixteen bytes at a time: every length from 0 to 80, lengths around the
// 5552-byte chunks the sums are reduced after, starts off any alignment and a start value carried
// over, all against zlib's adler32.
TEST(Flate, Adler32EqualsZlibsAtEveryLengthAndStart) {
    std::vector<std::uint8_t> bytes(3 * 5552 + 100);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 80; ++n)
        lengths.push_back(n);
    for (const std::size_t n : {5535, 5551, 5552, 5553, 5568, 11104, 11105, 16656, 16700})
        lengths.push_back(n);
    for (const std::size_t start : {0, 1, 7, 15}) {
        for (const std::size_t n : lengths) {
            const std::span<const std::uint8_t> part(bytes.data() + start, n);
            const auto expected =
                static_cast<std::uint32_t>(adler32(1, part.data(), static_cast<uInt>(part.size())));
            ASSERT_EQ(pagora::detail::Adler32(part), expected) << start << " " << n;
            const auto carried = static_cast<std::uint32_t>(
                adler32(0xFFF0FFF0u % 65521u, part.data(), static_cast<uInt>(part.size())));
            ASSERT_EQ(pagora::detail::Adler32(part, 0xFFF0FFF0u % 65521u), carried);
        }
    }
    // All bytes 255: the largest sums a chunk can hold.
    const std::vector<std::uint8_t> full(40000, 255);
    EXPECT_EQ(pagora::detail::Adler32(full),
              static_cast<std::uint32_t>(adler32(1, full.data(), static_cast<uInt>(full.size()))));
}

TEST(Flate, KnownStreams) {
    Bytes distinct;
    for (int b = 0x90; b <= 0xF3; ++b)
        distinct.push_back(static_cast<std::uint8_t>(b));
    const uLong adler = adler32(1, distinct.data(), static_cast<uInt>(distinct.size()));
    const Bytes stored =
        Concat({Hex("78 5E 01 64 00 9B FF "),
                distinct,
                {static_cast<std::uint8_t>(adler >> 24), static_cast<std::uint8_t>(adler >> 16),
                 static_cast<std::uint8_t>(adler >> 8), static_cast<std::uint8_t>(adler)}});
    const struct {
        Bytes input;
        Bytes expected;
    } cases[] = {
        {{}, Hex("78 5E 03 00 00 00 00 01 ")},
        {{'A'}, Hex("78 5E 73 04 00 00 42 00 42 ")},
        // 100 bytes that each take 9 bits in the fixed code: storing them is cheaper.
        {distinct, stored},
    };
    for (const auto& c : cases) {
        for (int level : {0, 5, 9}) {
            EXPECT_EQ(EncodeFlate(c.input, level), c.expected) << "level " << level;
        }
    }
}

struct CorpusEntry {
    const char* name;
    std::function<Bytes()> make;
};

const std::vector<CorpusEntry>& Corpus() {
    static const std::vector<CorpusEntry> corpus = {
        {"PageContent1MB", [] { return testing_support::PageContentText(1 << 20); }},
        {"TrueTypeFont",
         [] { return testing_support::FileBytes(testing_support::kSampleFontPath); }},
        {"Random30KB", [] { return testing_support::RandomBytes(30 * 1024, 1); }},
        {"Random200KB", [] { return testing_support::RandomBytes(200 * 1024, 2); }},
        {"ZerosThenPairs",
         [] {
             return Concat({Bytes(5000, 0), Repeat({'a', 'b'}, 3000)});
         }},
        {"OneByte", [] { return Bytes{'x'}; }},
        {"Empty", [] { return Bytes{}; }},
        {"SkewedLetters", [] { return SkewedLetters(); }},
        {"RgbImage", [] { return testing_support::RgbImage(200, 150); }},
        // Few letters: long position lists, many candidates of equal length.
        {"FourLetters16KB",
         [] {
             Bytes bytes = testing_support::RandomBytes(16 * 1024, 6);
             for (auto& b : bytes)
                 b = static_cast<std::uint8_t>('a' + (b & 3));
             return bytes;
         }},
        // A short input gets a small hash table, so the chains interleave positions of
        // different prefixes that the search has to pass over without counting them.
        {"PageContent600Bytes", [] { return testing_support::PageContentText(600, 5); }},
        // A match that ends just before the last byte, where the lazy step has less room.
        {"RepeatUpToTheLastByte",
         [] {
             return Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h',
                          'a', 'b', 'c', 'd', 'e', 'f', 'g', 'Z'};
         }},
    };
    return corpus;
}

const Bytes& CorpusData(std::size_t index) {
    static std::map<std::size_t, Bytes> cache;
    auto it = cache.find(index);
    if (it == cache.end()) it = cache.emplace(index, Corpus()[index].make()).first;
    return it->second;
}

class FlateCorpus : public testing::TestWithParam<std::tuple<std::size_t, int>> {};

TEST_P(FlateCorpus, InflatesAndEqualsTheModel) {
    const auto [index, level] = GetParam();
    const Bytes& input = CorpusData(index);
    if (index == 1) ASSERT_GT(input.size(), 100000u) << "font file missing";
    const Bytes encoded = EncodeFlate(input, level);
    EXPECT_EQ(ZlibInflate(encoded, input.size()), input);
    // Byte for byte what the plain algorithm writes.
    EXPECT_TRUE(encoded == model::ModelEncodeFlate(input, level));
}

INSTANTIATE_TEST_SUITE_P(Levels, FlateCorpus,
                         testing::Combine(testing::Range<std::size_t>(0, 12),
                                          testing::Values(0, 1, 2, 3, 4, 5, 9)),
                         [](const testing::TestParamInfo<FlateCorpus::ParamType>& info) {
                             return std::string(Corpus()[std::get<0>(info.param)].name) + "_Level" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(Flate, LevelsAboveFiveUseTheLastRow) {
    const Bytes text = testing_support::PageContentText(50000);
    const Bytes five = EncodeFlate(text, 5);
    for (int level : {6, 9, 15})
        EXPECT_EQ(EncodeFlate(text, level), five) << level;
    EXPECT_NE(EncodeFlate(text, 0), five);
}

TEST(Flate, LongStoredInputIsSplitIntoBlocksOfAtMost65535Bytes) {
    const Bytes input = testing_support::RandomBytes(200 * 1024, 2);
    const auto trace = InflateWithTrace(EncodeFlate(input, 3));
    ASSERT_TRUE(trace.ok);
    EXPECT_EQ(trace.data, input);
    EXPECT_EQ(trace.block_types, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(trace.block_final, (std::vector<bool>{false, false, false, true}));
}

TEST(Flate, DataWithoutRepeatsIsNeverDynamic) {
    Bytes ascii; // each byte once: 8-bit fixed codes beat storing
    for (int b = 0; b < 144; ++b)
        ascii.push_back(static_cast<std::uint8_t>(b));
    Bytes high; // 9-bit fixed codes lose to storing
    for (int b = 144; b < 256; ++b)
        high.push_back(static_cast<std::uint8_t>(b));
    for (int level : {0, 5}) {
        const auto a = InflateWithTrace(EncodeFlate(ascii, level));
        const auto h = InflateWithTrace(EncodeFlate(high, level));
        ASSERT_TRUE(a.ok && h.ok);
        EXPECT_EQ(a.block_types, std::vector<int>{1});
        EXPECT_EQ(h.block_types, std::vector<int>{0});
        EXPECT_EQ(a.data, ascii);
    }
}

// Output position at which each token starts, for finding the token of a known place.
std::map<std::size_t, testing_support::InflateToken> TokensByPosition(const Bytes& stream) {
    const auto trace = InflateWithTrace(stream);
    EXPECT_TRUE(trace.ok);
    std::map<std::size_t, testing_support::InflateToken> at;
    std::size_t pos = 0;
    for (const auto& t : trace.tokens) {
        at[pos] = t;
        pos += t.length == 0 ? 1 : t.length;
    }
    return at;
}

TEST(Flate, RunOfOneByteIsALiteralThenMatchesAtDistanceOneEndingWithALiteral) {
    const Bytes run(1000, 'x');
    for (int level : {0, 3, 5}) {
        const auto trace = InflateWithTrace(EncodeFlate(run, level));
        ASSERT_TRUE(trace.ok);
        ASSERT_GE(trace.tokens.size(), 3u);
        EXPECT_EQ(trace.tokens.front().length, 0);
        EXPECT_EQ(trace.tokens.back().length, 0) << "the last byte never joins a match";
        for (std::size_t i = 1; i + 1 < trace.tokens.size(); ++i) {
            EXPECT_EQ(trace.tokens[i].distance, 1);
            EXPECT_LE(trace.tokens[i].length, 258);
        }
    }
}

TEST(Flate, DistanceRulesForMatches) {
    const Bytes marker = {0xC8, 0xC9, 0xCA, 0xCB};
    const struct {
        const char* what;
        std::size_t marker_length;
        std::size_t gap;
        std::uint16_t expected_length; // of the token at the repeat, 0 for a literal
    } cases[] = {
        {"three bytes near", 3, 4000, 3},
        {"three bytes beyond 4096", 3, 5000, 0},
        {"four bytes far", 4, 20000, 4},
        {"beyond the window", 4, 40000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes head(marker.begin(), marker.begin() + static_cast<long>(c.marker_length));
        // Filler bytes stay below 0x80, so the marker occurs nowhere else.
        Bytes filler = testing_support::RandomBytes(c.gap - c.marker_length, 9);
        for (auto& b : filler)
            b &= 0x7F;
        const Bytes input = Concat({head, filler, head, {0xFF, 0xFE, 0xFD, 0xFC}});
        for (int level : {0, 5}) {
            auto tokens = TokensByPosition(EncodeFlate(input, level));
            const auto& t = tokens[c.gap];
            EXPECT_EQ(t.length, c.expected_length) << "level " << level;
            if (c.expected_length > 0) EXPECT_EQ(t.distance, c.gap);
        }
    }
}

TEST(Flate, ChainHoldsOnlyTheNewestPositionsAndTiesGoToTheNearest) {
    // The full 20-byte phrase, then 256 copies that differ in its last byte, then the phrase
    // again after a separator: level 3 keeps 256 positions per prefix and so sees only the copies
    // (19 bytes, the nearest one of them); level 4 keeps 1024 and reaches the original.
    Bytes phrase;
    for (int b = 0; b < 20; ++b)
        phrase.push_back(static_cast<std::uint8_t>(0xD0 + b));
    Bytes copy(phrase.begin(), phrase.end() - 1);
    copy.push_back(0x01);
    const Bytes input =
        Concat({phrase, {0x02}, Repeat(copy, 256), {0x03}, phrase, {0xFE, 0xFD, 0xFC, 0xFB}});
    const std::size_t at = 21 + 256 * 20 + 1;
    auto level3 = TokensByPosition(EncodeFlate(input, 3));
    EXPECT_EQ(level3[at].length, 19);
    EXPECT_EQ(level3[at].distance, 21);
    auto level4 = TokensByPosition(EncodeFlate(input, 4));
    EXPECT_EQ(level4[at].length, 20);
    EXPECT_EQ(level4[at].distance, at);
    EXPECT_EQ(EncodeFlate(input, 3), model::ModelEncodeFlate(input, 3));
    EXPECT_EQ(EncodeFlate(input, 4), model::ModelEncodeFlate(input, 4));
}

TEST(Flate, ReusedEncoderForgetsThePreviousStream) {
    FlateEncoder encoder;
    Bytes out;
    const Bytes big = testing_support::PageContentText(300000, 5);
    encoder.Encode(big, 5, out);
    EXPECT_EQ(ZlibInflate(out, big.size()), big);
    // The second text shares phrases with the first; nothing of the first may be matched.
    const Bytes small(big.begin() + 1000, big.begin() + 9000);
    encoder.Encode(small, 5, out);
    EXPECT_EQ(out, EncodeFlate(small, 5));
    encoder.Encode({}, 5, out);
    EXPECT_EQ(out, Hex("78 5E 03 00 00 00 00 01 "));
}

} // namespace
