#include "pdf/import/text_string.h"

#include "pdf/fonts/code_pages.h"

#include <array>
#include <cstdint>

namespace pagora::detail {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code points of the PDF's single-byte text encoding where they differ from Latin-1: the
// accents at 0x18 to 0x1F, the typographic marks from 0x80, the codes it leaves undefined.
constexpr std::array<char32_t, 256> kDocEncoding = [] {
    std::array<char32_t, 256> map{};
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<char32_t>(i);
    constexpr char32_t accents[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9,
                                     0x02DD, 0x02DB, 0x02DA, 0x02DC};
    for (std::size_t i = 0; i < 8; ++i)
        map[0x18 + i] = accents[i];
    constexpr char32_t marks[33] = {0x2022, 0x2020, 0x2021, 0x2026,       0x2014, 0x2013, 0x0192,
                                    0x2044, 0x2039, 0x203A, 0x2212,       0x2030, 0x201E, 0x201C,
                                    0x201D, 0x2018, 0x2019, 0x201A,       0x2122, 0xFB01, 0xFB02,
                                    0x0141, 0x0152, 0x0160, 0x0178,       0x017D, 0x0131, 0x0142,
                                    0x0153, 0x0161, 0x017E, kReplacement, 0x20AC};
    for (std::size_t i = 0; i < 33; ++i)
        map[0x80 + i] = marks[i];
    map[0x7F] = kReplacement;
    map[0xAD] = kReplacement;
    return map;
}();

// UTF-16 in either byte order; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return big_endian ? static_cast<char32_t>(a << 8 | b) : static_cast<char32_t>(b << 8 | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
    }
    return out;
}

} // namespace

std::string TextStringToUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xFE\xFF")) return Utf16ToUtf8(bytes.substr(2), true);
    // Written by some producers in the other byte order; no single-byte text begins so.
    if (bytes.starts_with("\xFF\xFE")) return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(out, kDocEncoding[static_cast<unsigned char>(c)]);
    return out;
}

} // namespace pagora::detail
