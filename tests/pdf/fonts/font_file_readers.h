// Independent readers of the font files installed on the machine, for cross-checking the
// library's built-in tables: glibc's iconv for code pages, TrueType advance widths by Unicode
// code point, and AFM widths by code.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace font_test {

// The code point iconv gives a byte of a code page ("CP1253"), or nothing when iconv refuses it.
std::optional<char32_t> IconvCodePoint(const char* code_page, unsigned char byte);

// Advance widths of a TrueType face, read from its Unicode cmap (format 4) and hmtx.
class TrueTypeWidths {
public:
    // Throws std::runtime_error when the file cannot be read or is malformed.
    explicit TrueTypeWidths(const std::string& path);
    int UnitsPerEm() const { return units_per_em_; }
    // Advance in font units of the glyph of a code point; nothing when the face lacks it.
    std::optional<int> Advance(char32_t code_point) const;

private:
    int units_per_em_ = 0;
    std::vector<std::uint16_t> advances_;
    std::map<char32_t, std::uint16_t> glyphs_;
};

// The WX value of every encoded character (C >= 0) of an AFM file, by code.
std::map<int, int> ReadAfmWidths(const std::string& path);

} // namespace font_test
