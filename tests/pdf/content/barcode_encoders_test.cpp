#include "pdf/content/barcode_code128.h"
#include "pdf/content/barcode_code39.h"
#include "pdf/content/barcode_ean.h"
#include "pdf/content/barcode_interleaved.h"
#include "pdf/content/barcode_postnet.h"
#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pagora::detail;

// The counters of a symbol are limited: past them the encoder fails with the overflow error.
template <typename Encode> void ExpectOverflow(Encode encode, std::size_t length) {
    try {
        encode();
        ADD_FAILURE() << "no error for " << length;
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 6) << length;
    }
}

// A module string written in groups, without its blanks.
std::string Spaced(std::string_view groups) {
    std::string modules;
    for (const char c : groups)
        if (c != ' ') modules += c;
    return modules;
}

// All modules between the quiet zones, guards included, as a reader scans them.
std::string EanModules(const EanSymbol& symbol) {
    std::string modules = "101";
    for (const auto& p : symbol.left_patterns)
        modules += p;
    modules += "01010";
    for (const auto& p : symbol.right_patterns)
        modules += p;
    return modules + "101";
}

TEST(EanSymbols, CheckDigitsPiecesAndModules) {
    const EanSymbol ean13 = EncodeEan13("123456789012");
    EXPECT_EQ(ean13.check_digit, 8);
    EXPECT_EQ(ean13.first_piece, "1");
    EXPECT_EQ(ean13.left_piece, "234567");
    EXPECT_EQ(ean13.right_piece, "890128");
    // Written out by hand from the parity row of 1 (AABABB) and the three digit sets.
    EXPECT_EQ(EanModules(ean13), Spaced("101 0010011 0111101 0011101 0110001 0000101 0010001 01010 "
                                        "1001000 1110100 1110010 1100110 1101100 1001000 101"));
    // A thirteenth digit is neither drawn nor compared with the check digit.
    const EanSymbol with_thirteenth = EncodeEan13("1234567890120");
    EXPECT_EQ(EanModules(with_thirteenth), EanModules(ean13));
    EXPECT_EQ(with_thirteenth.right_piece, "890128");

    const EanSymbol ean8 = EncodeEan8("1234567");
    EXPECT_EQ(ean8.check_digit, 0);
    EXPECT_EQ(ean8.left_piece, "1234");
    EXPECT_EQ(ean8.right_piece, "5670");
    EXPECT_EQ(
        EanModules(ean8),
        Spaced("101 0011001 0010011 0111101 0100011 01010 1001110 1010000 1000100 1110010 101"));
    EXPECT_EQ(EncodeEan8("12345670999").right_piece, "5670");
}

TEST(EanSymbols, LettersAndMissingDigitsCountAsZeroButStayInTheText) {
    const EanSymbol letter = EncodeEan13("12345A789012");
    const EanSymbol zero = EncodeEan13("123450789012");
    EXPECT_EQ(letter.check_digit, zero.check_digit);
    EXPECT_EQ(letter.left_patterns, zero.left_patterns);
    EXPECT_EQ(letter.left_piece, "2345A7");

    // A short text gives short pieces; the check digit moves forward in the right piece.
    const EanSymbol short_text = EncodeEan13("4006");
    EXPECT_EQ(short_text.left_piece, "006");
    EXPECT_EQ(short_text.right_piece, std::string(1, char('0' + short_text.check_digit)));
    EXPECT_EQ(EanModules(short_text).size(), 95u);
    EXPECT_EQ(EanModules(EncodeEan8("")).size(), 67u);
    EXPECT_EQ(EncodeEan8("").right_piece, "0");
}

TEST(Code39Symbols, CodeCharactersAndCheckCharacter) {
    const struct {
        const char* text;
        bool check;
        const char* code;
    } cases[] = {
        {"ABC", false, "*ABC*"},
        {"ABC", true, "*ABCX*"},    // 10 + 11 + 12 = 33
        {"abc", true, "*+A+B+CR*"}, // (3 x 41 + 33) mod 43 = 27
        {"$A", false, "*$A*"},
        {"\x01", false, "*$A*"},
        {"A*B", true, "*A*BL*"}, // the inner "*" counts nothing: 10 + 11 = 21
        {"\x7f{@`\x1b!:;[", false, "*%T%P%V%W%A/A/Z%F%K*"},
    };
    for (const auto& c : cases) {
        const auto symbol = EncodeCode39(c.text, c.check);
        ASSERT_TRUE(symbol.has_value()) << c.text;
        EXPECT_EQ(symbol->code_characters, c.code) << c.text;
    }
}

TEST(Code39Symbols, PatternsCarryTheTailOnTheLastCharacter) {
    const auto symbol = EncodeCode39("ABC", true);
    ASSERT_TRUE(symbol.has_value());
    EXPECT_EQ(symbol->check_character, 'X');
    ASSERT_EQ(symbol->patterns.size(), 4u); // start, A, B, C with the tail
    EXPECT_EQ(symbol->patterns[0], "bWbwBwBwb");
    EXPECT_EQ(symbol->patterns[1], "BwbwbWbwB");
    EXPECT_EQ(symbol->patterns[3], "BwBwbWbwb"
                                   "ww"
                                   "bWbwBwbwB"
                                   "ww"
                                   "bWbwBwBwb");
    // Every character is six narrow and three wide elements, bars and spaces alternating.
    const auto all = EncodeCode39("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", false);
    ASSERT_TRUE(all.has_value());
    for (const auto& p : all->patterns) {
        const std::string first = p.substr(0, 9);
        EXPECT_EQ(std::count_if(first.begin(), first.end(), ::isupper), 3) << p;
        for (std::size_t i = 0; i < 9; ++i)
            EXPECT_EQ(first[i] == 'b' || first[i] == 'B', i % 2 == 0) << p;
    }
}

TEST(Code39Symbols, EmptyRefusedAndTooLongTexts) {
    const auto empty = EncodeCode39("", true);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->patterns.empty());
    EXPECT_FALSE(EncodeCode39("caf\xe9", false).has_value());
    EXPECT_TRUE(EncodeCode39(std::string(32767, 'A'), false).has_value());
    ExpectOverflow([] { EncodeCode39(std::string(32768, 'A'), false); }, 32768);
}

TEST(Interleaved2of5Symbols, CheckDigitLeadingZeroAndElements) {
    const struct {
        const char* text;
        bool check;
        const char* digits;
    } cases[] = {{"12345", false, "012345"}, {"12345", true, "123457"}, {"", false, ""},
                 {"", true, "00"},           {"1A", false, "1A"},       {"7", true, "79"}};
    for (const auto& c : cases) {
        const Interleaved2of5Symbol symbol = EncodeInterleaved2of5(c.text, c.check);
        EXPECT_EQ(symbol.digits, c.digits) << c.text;
        EXPECT_EQ(symbol.elements.size(), 5 * symbol.digits.size() + 8) << c.text;
    }
    // 1 is wnnnw, 2 nwnnw: bars from the first digit, spaces from the second.
    EXPECT_EQ(EncodeInterleaved2of5("12", false).elements, "nnnn"
                                                           "wnnwnnnnwwwnnn");
    EXPECT_EQ(EncodeInterleaved2of5("1A", false).elements,
              EncodeInterleaved2of5("10", false).elements);
    // At most 6,551 digits are drawn: an odd count gains a zero, a check digit one more.
    EXPECT_EQ(EncodeInterleaved2of5(std::string(6550, '1'), false).digits.size(), 6550u);
    const struct {
        std::size_t length;
        bool check;
    } too_long[] = {{6551, false}, {6552, false}, {6550, true}, {32768, false}};
    for (const auto& c : too_long)
        ExpectOverflow([&] { EncodeInterleaved2of5(std::string(c.length, '1'), c.check); },
                       c.length);
}

TEST(Code128Symbols, SetChoiceAndCheckSymbol) {
    const struct {
        const char* text;
        std::vector<int> values;
        int check;
    } cases[] = {
        {"1234", {105, 12, 34}, 82},
        {"123", {104, 17, 18, 19}, 8},
        {"12", {104, 17, 18}, 54},
        {"12345", {105, 12, 34, 100, 21}, 54},
        {"A1234", {104, 33, 99, 12, 34}, 95},
        {"A12345", {104, 33, 17, 99, 23, 45}, 64},
        {"AB12345678", {104, 33, 34, 99, 12, 34, 56, 78}, 57},
        {"A123456B", {104, 33, 99, 12, 34, 56, 100, 34}, -1},
        {" ~", {104, 0, 94}, -1},
    };
    for (const auto& c : cases) {
        const auto symbol = EncodeCode128(c.text);
        ASSERT_TRUE(symbol.has_value()) << c.text;
        EXPECT_EQ(symbol->values, c.values) << c.text;
        int sum = c.values[0];
        for (std::size_t n = 1; n < c.values.size(); ++n)
            sum += static_cast<int>(n) * c.values[n];
        EXPECT_EQ(symbol->check, sum % 103) << c.text;
        if (c.check >= 0) EXPECT_EQ(symbol->check, c.check) << c.text;
        EXPECT_EQ(symbol->modules.size(), 11 * (c.values.size() + 1) + 13) << c.text;
        EXPECT_EQ(symbol->modules.substr(symbol->modules.size() - 13), "1100011101011");
    }
    EXPECT_EQ(EncodeCode128("1234")->modules.size(), 57u);
}

TEST(Code128Symbols, RefusedTextsAndCounterLimits) {
    for (const std::string& text :
         {std::string(), std::string("a\tb"), std::string("a\nb"), std::string("a\x7f"),
          std::string("caf\xe9"), std::string("\xc6")})
        EXPECT_FALSE(EncodeCode128(text).has_value()) << text;
    // The weighted value of the 349th "~" (94) passes 32,767.
    EXPECT_TRUE(EncodeCode128(std::string(348, '~')).has_value());
    for (const std::string& text : {std::string(349, '~'), std::string(32768, '1')})
        ExpectOverflow([&] { EncodeCode128(text); }, text.size());
}

TEST(PostnetSymbols, DigitsCheckAndBars) {
    const struct {
        const char* text;
        const char* digits;
        int check;
    } cases[] = {{"12345", "12345", 5},     {"12345-6789", "123456789", 5},
                 {"123456789", "12345", 5}, {"1234567890", "123457890", 1},
                 {"", "00000", 0},          {"1x3", "10300", 6}};
    for (const auto& c : cases) {
        const PostnetSymbol symbol = EncodePostnet(c.text);
        EXPECT_EQ(symbol.digits, c.digits) << c.text;
        EXPECT_EQ(symbol.check_digit, c.check) << c.text;
        EXPECT_EQ(symbol.bars.size(), 5 * symbol.digits.size() + 7) << c.text;
    }
    EXPECT_EQ(EncodePostnet("12345").bars, "1"
                                           "00011"
                                           "00101"
                                           "00110"
                                           "01001"
                                           "01010"
                                           "01010"
                                           "1");
}

} // namespace
