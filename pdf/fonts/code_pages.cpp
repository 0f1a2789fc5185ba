#include "pdf/fonts/code_pages.h"

#include "pdf/fonts/tables/font_tables.h"
#include "pdf/writer/Pagora.h"

#include <algorithm>
#include <array>
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

namespace {

// The byte of each code point a code page holds, the lowest code where two codes share one: a
// code point costs one look-up instead of a walk through the page's 256 codes.
class CodePageBytes {
public:
    explicit CodePageBytes(const UnicodeMap& map) {
        for (std::size_t code = 0; code < map.size(); ++code) {
            const char32_t cp = map[code];
            if (cp == 0 && code != 0) continue; // undefined
            const auto byte = static_cast<std::uint8_t>(code);
            if (cp < ascii_.size()) {
                if (!ascii_known_[cp]) ascii_[cp] = byte;
                ascii_known_[cp] = true;
            } else {
                others_.emplace_back(cp, byte);
            }
        }
        // Stable: of two codes sharing a code point the lower stays first.
        std::stable_sort(others_.begin(), others_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    // The byte of the code point, or '?' when the code page lacks it.
    char ByteOf(char32_t cp) const {
        if (cp < ascii_.size()) return ascii_known_[cp] ? static_cast<char>(ascii_[cp]) : '?';
        const auto at = std::lower_bound(others_.begin(), others_.end(), cp,
                                         [](const std::pair<char32_t, std::uint8_t>& entry,
                                            char32_t key) { return entry.first < key; });
        return at != others_.end() && at->first == cp ? static_cast<char>(at->second) : '?';
    }

private:
    std::array<std::uint8_t, 128> ascii_{};
    std::array<bool, 128> ascii_known_{};
    std::vector<std::pair<char32_t, std::uint8_t>> others_;
};

const CodePageBytes& BytesOfCodePage(int charset) {
    static const std::vector<CodePageBytes> pages = [] {
        std::vector<CodePageBytes> all;
        all.reserve(kCodePageMaps.size());
        for (const CodePageMap& map : kCodePageMaps)
            all.emplace_back(map);
        return all;
    }();
    return pages[CodePageOfCharset(charset)];
}

} // namespace

std::string EncodeCodePage(std::string_view utf8, int charset) {
    const CodePageBytes& bytes = BytesOfCodePage(charset);
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!NextCodePoint(utf8, i, cp)) {
            out += '?';
            continue;
        }
        out += bytes.ByteOf(cp);
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
