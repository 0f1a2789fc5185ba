// State of the fonts subsystem: registered fonts and the current font.
#pragma once

#include "pdf/fonts/font_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

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

// The newest record, the last of the list, which a family setup fills. Raises the
// subscript-out-of-range error when the list is empty.
FontRecord& NewestFont(FontState& fonts);

// The current font's record, or null when there is none. current_font survives Abort while the
// list does not, so an index may point past the registered fonts.
const FontRecord* CurrentFontRecord(const FontState& fonts);

} // namespace pagora::detail
