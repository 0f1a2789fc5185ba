// Family setup of the standard fonts: each fills a font record from the metric tables.
#pragma once

#include "pdf/fonts/font_record.h"
#include "pdf/fonts/tables/font_tables.h"

#include <cstdint>
#include <string>

namespace pagora::detail {

// Starts a standard font's record: not TrueType, the family's base name and vertical metrics.
void SetStandardFace(FontRecord& record, const char* base_name, std::int16_t line_height,
                     std::int32_t descent);

// ",Bold", ",Italic", ",BoldItalic" or nothing, by the style's two low bits.
std::string StyleSuffix(std::int32_t style);

// Appends the style suffix to the record's base name and copies the table of that style.
void LoadStyledWidths(FontRecord& record, const StyledWidths& tables, std::int32_t style);

// Fills the record as a family with styles whose widths follow the record's charset:
// base name and style suffix, vertical metrics, widths, and the key from the base name.
void LoadTextFamily(FontRecord& record, const char* base_name, std::int16_t line_height,
                    std::int32_t descent,
                    const std::array<StyledWidths, kCodePageCount>& tables_by_code_page,
                    std::int32_t style);
// Fills the record as a family of one face, whatever style and charset were asked for.
void LoadOneFaceFamily(FontRecord& record, const char* base_name, std::int16_t line_height,
                       std::int32_t descent, const WidthTable& widths);

// Sans-serif: base name "Arial" and style, widths by the record's charset.
void LoadArialMetrics(FontRecord& record, std::int32_t style);
// Monospaced: base name "CourierNew" and style, 600 at every code whatever the charset.
void LoadCourierNewMetrics(FontRecord& record, std::int32_t style);
// Symbol: one face, no style and no charset.
void LoadSymbolMetrics(FontRecord& record);

} // namespace pagora::detail
