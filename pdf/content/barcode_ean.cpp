#include "pdf/content/barcode_ean.h"

#include <array>
#include <cstddef>

namespace pagora::detail {

namespace {

// Odd-parity (set A) and even-parity (set B) patterns by digit; a right-hand digit is its set-B
// pattern read backwards.
constexpr std::array<std::string_view, 10> kSetA = {"0001101", "0011001", "0010011", "0111101",
                                                    "0100011", "0110001", "0101111", "0111011",
                                                    "0110111", "0001011"};
constexpr std::array<std::string_view, 10> kSetB = {"0100111", "0110011", "0011011", "0100001",
                                                    "0011101", "0111001", "0000101", "0010001",
                                                    "0001001", "0010111"};
// Which set encodes each of the six left-hand digits of EAN-13, by the value of the first digit.
constexpr std::array<std::string_view, 10> kParity = {"AAAAAA", "AABABB", "AABBAB", "AABBBA",
                                                      "ABAABB", "ABBAAB", "ABBBAA", "ABABAB",
                                                      "ABABBA", "ABBABA"};

// The value of the character at a 0-based position; 0 for a non-digit or past the end.
int DigitAt(std::string_view text, std::size_t position) {
    if (position >= text.size()) return 0;
    const char c = text[position];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

std::string RightPattern(int digit) {
    const std::string_view b = kSetB[static_cast<std::size_t>(digit)];
    return {b.rbegin(), b.rend()};
}

// Up to count characters of the text from the index from.
std::string Piece(std::string_view text, std::size_t from, std::size_t count) {
    if (from > text.size()) return {};
    return std::string(text.substr(from, count));
}

// Weights 3 and 1 from the digit next to the check digit leftwards.
int CheckDigit(std::string_view text, std::size_t digits) {
    int sum = 0;
    for (std::size_t k = 0; k < digits; ++k)
        sum += DigitAt(text, k) * ((digits - k) % 2 == 1 ? 3 : 1);
    return (10 - sum % 10) % 10;
}

} // namespace

EanSymbol EncodeEan13(std::string_view text) {
    EanSymbol symbol;
    symbol.check_digit = CheckDigit(text, 12);
    symbol.first_piece = Piece(text, 0, 1);
    symbol.left_piece = Piece(text, 1, 6);
    symbol.right_piece = Piece(text, 7, 5) + static_cast<char>('0' + symbol.check_digit);
    const std::string_view parity = kParity[static_cast<std::size_t>(DigitAt(text, 0))];
    for (std::size_t i = 0; i < 6; ++i) {
        const int left = DigitAt(symbol.left_piece, i);
        const auto& set = parity[i] == 'A' ? kSetA : kSetB;
        symbol.left_patterns.emplace_back(set[static_cast<std::size_t>(left)]);
        symbol.right_patterns.push_back(RightPattern(DigitAt(symbol.right_piece, i)));
    }
    return symbol;
}

EanSymbol EncodeEan8(std::string_view text) {
    EanSymbol symbol;
    symbol.check_digit = CheckDigit(text, 7);
    symbol.left_piece = Piece(text, 0, 4);
    symbol.right_piece = Piece(text, 4, 3) + static_cast<char>('0' + symbol.check_digit);
    for (std::size_t i = 0; i < 4; ++i) {
        symbol.left_patterns.emplace_back(
            kSetA[static_cast<std::size_t>(DigitAt(symbol.left_piece, i))]);
        symbol.right_patterns.push_back(RightPattern(DigitAt(symbol.right_piece, i)));
    }
    return symbol;
}

} // namespace pagora::detail
