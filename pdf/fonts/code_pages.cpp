#include "pdf/fonts/code_pages.h"

#include "pdf/fonts/tables/font_tables.h"
#include "pdf/writer/Pagora.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace pagora::detail {
namespace {

// Reads one code point; returns false (and skips one byte) on a malformed sequence.
bool NextCodePoint(std::string_view s, std::size_t& i, char32_t& out) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        out = b0;
        ++i;
        return true;
    }
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1Fu;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0Fu;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07u;
    } else {
        ++i;
        return false;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (b & 0x3Fu);
    }
    i += static_cast<std::size_t>(extra) + 1;
    out = cp;
    return true;
}

} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

const UnicodeMap& GetCharsetUnicodeMap(int charset) {
    return kCodePageMaps[CodePageOfCharset(charset)];
}

std::string EncodeCodePage(std::string_view utf8, int charset) {
    const UnicodeMap& map = GetCharsetUnicodeMap(charset);
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!NextCodePoint(utf8, i, cp)) {
            out += '?';
            continue;
        }
        char byte = '?';
        for (int code = 0; code < 256; ++code) {
            if (map[static_cast<std::size_t>(code)] == cp && (cp != 0 || code == 0)) {
                byte = static_cast<char>(code);
                break;
            }
        }
        out += byte;
    }
    return out;
}

std::string DecodeCodePage(std::string_view bytes, int charset) {
    const UnicodeMap& map = GetCharsetUnicodeMap(charset);
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        const char32_t cp = map[code];
        AppendUtf8(out, (cp == 0 && code != 0) ? char32_t{0xFFFD} : cp);
    }
    return out;
}

} // namespace pagora::detail

namespace pagora {

std::string Pagora::FromUtf8(std::string_view utf8, int charset) try {
    return detail::EncodeCodePage(utf8, charset);
} catch (...) {
    detail::RethrowFailure("FromUtf8");
}

std::string Pagora::ToUtf8(std::string_view bytes, int charset) try {
    return detail::DecodeCodePage(bytes, charset);
} catch (...) {
    detail::RethrowFailure("ToUtf8");
}

} // namespace pagora
