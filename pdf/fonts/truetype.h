// TrueType font files to the metrics of an 8-bit PDF font: a pure reader over the file's bytes.
#pragma once

#include "pdf/fonts/tables/font_tables.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pagora::detail {

// Code points the glyph lookup covers: the highest code point of the six code pages.
inline constexpr char32_t kHighestCodePoint = 8482;

// A step of the reading that failed, with the run-time error number it records: 9 a table that
// is missing or a value outside its table (a cut or damaged file), 11 a unitsPerEm of 0, 6 a
// unitsPerEm above 32767 or a width beyond the 16-bit range.
struct TrueTypeFailure {
    int number = 0;
    const char* step = "";
};

// What a PDF simple font needs of a TrueType file, in 1/1000 em unless said otherwise. A value
// whose step failed keeps its start value (0, false or empty).
struct TrueTypeMetrics {
    float scale = 0.0F; // 1000 / unitsPerEm
    std::int32_t avg_width = 0;
    std::int32_t ascent = 0;
    std::int32_t descent = 0; // negative
    std::int32_t weight = 0;  // usWeightClass as read
    bool short_locations = false;
    std::int32_t max_width = 0;
    std::int32_t missing_width = 0; // the advance of glyph 0
    float italic_angle = 0.0F;      // degrees, to two decimals
    bool fixed_pitch = false;
    bool symbolic = false; // the Windows character map used has encoding 0
    // xMin, yMin, xMax, yMax of the glyphs of the 256 codes, always holding the origin.
    std::array<std::int32_t, 4> box{};
    std::string full_name; // the full font name, blanks dropped
    std::array<std::int16_t, 256> widths{};
    // The failed steps, each once, in the order of their last failure; empty for a sound file.
    std::vector<TrueTypeFailure> failures;
};

// Reads the tables head, hhea, hmtx, OS/2, post, cmap (the first Windows subtable of format 4),
// loca, glyf and name, giving each byte code the width of the glyph of its code point in
// code_page (a code from 128 up that maps to 0 is undefined and gets the missing width). Each
// step runs even when an earlier one failed; no read leaves its table or the file.
TrueTypeMetrics ReadTrueType(std::span<const std::uint8_t> file, const CodePageMap& code_page);

} // namespace pagora::detail
