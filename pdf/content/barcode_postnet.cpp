#include "pdf/content/barcode_postnet.h"

#include <array>
#include <cstddef>

namespace pagora::detail {

namespace {

constexpr std::array<std::string_view, 10> kPatterns = {
    "11000", "00011", "00101", "00110", "01001", "01010", "01100", "10001", "10010", "10100"};

char DigitAt(std::string_view text, std::size_t position) {
    if (position >= text.size()) return '0';
    const char c = text[position];
    return c >= '0' && c <= '9' ? c : '0';
}

} // namespace

PostnetSymbol EncodePostnet(std::string_view text) {
    PostnetSymbol symbol;
    for (std::size_t k = 0; k < 5; ++k)
        symbol.digits += DigitAt(text, k);
    // The sixth character of a ZIP+4 text is its separator, whatever it is.
    if (text.size() == 10)
        for (std::size_t k = 6; k < 10; ++k)
            symbol.digits += DigitAt(text, k);
    int sum = 0;
    for (const char d : symbol.digits)
        sum += d - '0';
    symbol.check_digit = (10 - sum % 10) % 10;
    symbol.bars.push_back('1'); // the opening frame bar
    for (const char d : symbol.digits)
        symbol.bars += kPatterns[static_cast<std::size_t>(d - '0')];
    symbol.bars += kPatterns[static_cast<std::size_t>(symbol.check_digit)];
    symbol.bars += "1";
    return symbol;
}

} // namespace pagora::detail
