// Family setup of the standard fonts: each fills the newest record of the font list.
#pragma once

#include "pdf/fonts/font_state.h"
#include "pdf/fonts/tables/font_tables.h"

#include <cstdint>
#include <string>

namespace pagora::detail {

// The newest record, the last of the list, which a family setup fills. Raises the
// subscript-out-of-range error when the list is empty.
FontRecord& NewestFont(FontState& fonts);

// Starts a standard font's record: not TrueType, the family's base name and vertical metrics.
void SetStandardFace(FontRecord& record, const char* base_name, std::int16_t line_height,
                     std::int32_t descent);

// ",Bold", ",Italic", ",BoldItalic" or nothing, by the style's two low bits.
std::string StyleSuffix(std::int32_t style);

// Appends the style suffix to the record's base name and copies the table of that style.
void LoadStyledWidths(FontRecord& record, const StyledWidths& tables, std::int32_t style);

// Fills the newest record as a family with styles whose widths follow the record's charset:
// base name and style suffix, vertical metrics, widths, and the key from the base name.
void LoadTextFamily(FontState& fonts, const char* base_name, std::int16_t line_height,
                    std::int32_t descent,
                    const std::array<StyledWidths, kCodePageCount>& tables_by_code_page,
                    std::int32_t style);
// Fills the newest record as a family of one face, whatever style and charset were asked for.
void LoadOneFaceFamily(FontState& fonts, const char* base_name, std::int16_t line_height,
                       std::int32_t descent, const WidthTable& widths);

// Sans-serif: base name "Arial" and style, widths by the record's charset.
void LoadArialMetrics(FontState& fonts, std::int32_t style);
// Monospaced: base name "CourierNew" and style, 600 at every code whatever the charset.
void LoadCourierNewMetrics(FontState& fonts, std::int32_t style);
// Symbol: one face, no style and no charset.
void LoadSymbolMetrics(FontState& fonts);

} // namespace pagora::detail
