// Constant metric tables of the standard fonts and the code page maps of the six Windows
// charsets. The tables themselves are generated sources (tools/gen-font-tables.py).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pagora::detail {

// The six single-byte Windows code pages, in the order of every per-code-page table.
enum CodePageIndex : std::size_t {
    kWesternPage,       // 1252, charset 0 and any charset not listed below
    kGreekPage,         // 1253, charset 161
    kTurkishPage,       // 1254, charset 162
    kBalticPage,        // 1257, charset 186
    kCyrillicPage,      // 1251, charset 204
    kCentralEuropePage, // 1250, charset 238
    kCodePageCount
};

constexpr CodePageIndex CodePageOfCharset(int charset) {
    switch (charset) {
    case 161:
        return kGreekPage;
    case 162:
        return kTurkishPage;
    case 186:
        return kBalticPage;
    case 204:
        return kCyrillicPage;
    case 238:
        return kCentralEuropePage;
    default:
        return kWesternPage;
    }
}

// Advance widths in 1/1000 em, indexed by byte code.
using WidthTable = std::array<std::int16_t, 256>;
// One table per style: regular, bold, italic, bold italic (the style's two low bits).
using StyledWidths = std::array<WidthTable, 4>;
// Unicode code point of each byte code; 0 for a byte the code page leaves undefined.
using CodePageMap = std::array<char32_t, 256>;

extern const std::array<CodePageMap, kCodePageCount> kCodePageMaps;
extern const std::array<StyledWidths, kCodePageCount> kSansWidths;
extern const WidthTable kSymbolWidths;

} // namespace pagora::detail
