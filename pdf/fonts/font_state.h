// State of the fonts subsystem: registered fonts and the current font.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

// One registered font: a standard font chosen by SetFont or a TrueType font.
struct FontRecord {
    std::string key;                        // lookup key, upper case
    bool truetype = false;                  // loaded from a TrueType file
    std::string base_name;                  // /BaseFont name: family and style suffix
    std::array<std::int16_t, 256> widths{}; // advance widths in 1/1000 em by byte code
    std::int16_t line_height = 0;           // 1/1000 em
    std::int32_t descent = 0;               // 1/1000 em, negative
    std::int32_t charset = 0;               // Windows charset as the caller gave it
    std::string differences;                // /Differences array text, or empty
    // The resource alias the font's dictionary was written under. The current font is named
    // by it, so content always names a resource that exists, whatever letter case or charset
    // a later selection used.
    std::string alias;
};

// An index in the font list that names no font.
inline constexpr std::int32_t kNoFont = -1;

struct FontState {
    // Registered fonts in the order of registration, the newest last.
    std::vector<FontRecord> list;

    // The current font.
    std::string font_family;        // family argument of the last SetFont, as given
    std::int32_t font_encoding = 0; // charset argument of the last SetFont
    float font_size = 0.0F;         // points

    // What Abort keeps of the current font (a new document selects its font with SetFont
    // before it writes text).
    struct Kept {
        std::int32_t font_style = 0;    // 1 bold, 2 italic; 4, 8, 16 are line decorations
        std::string font_resource_name; // resource alias of the current font (without the prefix)
        std::int32_t current_font = kNoFont; // index in list, kNoFont before any SetFont
    };
    Kept kept;
};

// What Abort does to the font state: everything but kept goes.
void ResetFontState(FontState& fonts);

// The record at an index of the list, or null when the index names no font.
const FontRecord* FontAt(const FontState& fonts, std::int32_t index);

// The current font's record, or null when there is none. current_font survives Abort while the
// list does not, so an index may point past the registered fonts.
const FontRecord* CurrentFontRecord(const FontState& fonts);

} // namespace pagora::detail
