#include "pdf/content/barcode_interleaved.h"

#include "pdf/writer/errors.h"

#include <array>
#include <cstddef>

namespace pagora::detail {

namespace {

constexpr std::array<std::string_view, 10> kPatterns = {
    "nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};
constexpr std::size_t kMaxLength = 32767;
// Five elements per digit and eight for start and stop must stay countable the same way.
constexpr std::size_t kMaxDigits = (kMaxLength - 8) / 5;

int DigitValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

} // namespace

Interleaved2of5Symbol EncodeInterleaved2of5(std::string_view text, bool add_check) {
    if (text.size() > kMaxLength) RaiseError(kErrOverflow, "DrawBarCode");
    Interleaved2of5Symbol symbol;
    symbol.digits = std::string(text);
    if (add_check) {
        int sum = 0;
        for (std::size_t k = 1; k <= text.size(); ++k)
            sum += DigitValue(text[text.size() - k]) * (k % 2 == 1 ? 3 : 1);
        symbol.digits += static_cast<char>('0' + (10 - sum % 10) % 10);
    }
    if (symbol.digits.size() % 2 == 1) symbol.digits.insert(0, 1, '0');
    if (symbol.digits.size() > kMaxDigits) RaiseError(kErrOverflow, "DrawBarCode");

    symbol.elements = "nnnn";
    for (std::size_t i = 0; i < symbol.digits.size(); i += 2) {
        const std::string_view first =
            kPatterns[static_cast<std::size_t>(DigitValue(symbol.digits[i]))];
        const std::string_view second =
            kPatterns[static_cast<std::size_t>(DigitValue(symbol.digits[i + 1]))];
        for (std::size_t e = 0; e < 5; ++e) {
            symbol.elements += first[e];
            symbol.elements += second[e];
        }
    }
    symbol.elements += "wnnn";
    return symbol;
}

} // namespace pagora::detail
