#include "app/core/store/scramble.h"

#include <limits>

namespace kerbolt::store {

namespace {

// The position term is kept in 64 bits: a 16-bit term would overflow for texts of a few
// thousand characters.
std::int64_t PositionTerm(std::int64_t position) {
    return 7 * position;
}

} // namespace

char Separator(std::int64_t position) {
    if (position >= 1 && position <= static_cast<std::int64_t>(kPositionSeparators.size())) {
        return kPositionSeparators[static_cast<std::size_t>(position - 1)];
    }
    return kSharedSeparator;
}

char AltSeparator(std::int64_t position) {
    if (position == 9) return kAlternateSeparator9;
    if (position == 15) return kAlternateSeparator15;
    return '\0';
}

std::string ScrambleChar(unsigned char code, std::int64_t position) {
    const std::string digits = std::to_string(code + PositionTerm(position));
    std::string group;
    group.reserve(digits.size() + 1);
    for (const char d : digits)
        group += kDigitSymbols[static_cast<std::size_t>(d - '0')];
    group += Separator(position);
    return group;
}

std::string UnscrambleChar(std::string_view group, std::int64_t position) {
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    std::int64_t number = 0;
    bool any_digit = false;
    for (const char c : group) {
        const std::size_t digit = kDigitSymbols.find(c);
        if (digit == std::string_view::npos) continue;
        // A damaged group with more digits than any code needs spells no code.
        if (number > kLimit) return {};
        number = number * 10 + static_cast<std::int64_t>(digit);
        any_digit = true;
    }
    if (!any_digit) return {};
    const std::int64_t code = number - PositionTerm(position);
    if (code < 0 || code > 255) return {};
    return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}

std::string Scramble(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() * 5);
    std::int64_t position = 0;
    for (const char c : ansi)
        out += ScrambleChar(static_cast<unsigned char>(c), ++position);
    return out;
}

std::string Unscramble(std::string_view scrambled) {
    std::string out;
    std::string_view rest = scrambled;
    for (std::int64_t position = 1;; ++position) {
        std::size_t at = rest.find(Separator(position));
        if (at == std::string_view::npos && AltSeparator(position) != '\0') {
            at = rest.find(AltSeparator(position));
        }
        if (at == std::string_view::npos) return out;
        out += UnscrambleChar(rest.substr(0, at), position);
        rest.remove_prefix(at + 1);
    }
}

} // namespace kerbolt::store
