#include "app/core/store/stored_text.h"

#include <algorithm>
#include <array>

namespace kerbolt::store {

namespace {

// The characters Windows-1252 has in place of the C1 controls 0x80 to 0x9F (0x81, 0x8D, 0x8F,
// 0x90 and 0x9D stand for none).
constexpr std::array<char32_t, 27> kWindows1252Upper = {
    0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

} // namespace

std::pair<char32_t, std::size_t> NextUtf8Character(std::string_view utf8, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
        value = lead & 0x1Fu;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        value = lead & 0x0Fu;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        value = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return {kNotUtf8, 1};
    }
    if (pos + length > utf8.size()) return {kNotUtf8, 1};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[pos + i]);
        if ((next & 0xC0) != 0x80) return {kNotUtf8, 1};
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return {kNotUtf8, 1};
    return {value, length};
}

bool IsWindows1252Character(char32_t c) {
    // The C1 controls are no characters of Windows-1252: its codes 0x80 to 0x9F stand for the
    // characters of the table, or for nothing.
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return true;
    return std::find(kWindows1252Upper.begin(), kWindows1252Upper.end(), c) !=
           kWindows1252Upper.end();
}

bool IsWindows1252Text(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto [c, length] = NextUtf8Character(utf8, pos);
        if (c == kNotUtf8 || !IsWindows1252Character(c)) return false;
        pos += length;
    }
    return true;
}

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace kerbolt::store
