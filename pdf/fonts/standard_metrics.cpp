#include "pdf/fonts/standard_metrics.h"

#include "pdf/fonts/font_names.h"

namespace pagora::detail {

std::string StyleSuffix(std::int32_t style) {
    switch (style & 3) {
    case 1:
        return ",Bold";
    case 2:
        return ",Italic";
    case 3:
        return ",BoldItalic";
    default:
        return {};
    }
}

void SetStandardFace(FontRecord& record, const char* base_name, std::int16_t line_height,
                     std::int32_t descent) {
    record.truetype = false;
    record.base_name = base_name;
    record.line_height = line_height;
    record.descent = descent;
}

void LoadStyledWidths(FontRecord& record, const StyledWidths& tables, std::int32_t style) {
    record.base_name += StyleSuffix(style);
    record.widths = tables[static_cast<std::size_t>(style & 3)];
}

void LoadTextFamily(FontRecord& record, const char* base_name, std::int16_t line_height,
                    std::int32_t descent,
                    const std::array<StyledWidths, kCodePageCount>& tables_by_code_page,
                    std::int32_t style) {
    SetStandardFace(record, base_name, line_height, descent);
    LoadStyledWidths(record, tables_by_code_page[CodePageOfCharset(record.charset)], style);
    record.key = UpperCase(record.base_name);
}

void LoadOneFaceFamily(FontRecord& record, const char* base_name, std::int16_t line_height,
                       std::int32_t descent, const WidthTable& widths) {
    SetStandardFace(record, base_name, line_height, descent);
    record.widths = widths;
    record.key = UpperCase(record.base_name);
}

void LoadArialMetrics(FontRecord& record, std::int32_t style) {
    LoadTextFamily(record, "Arial", 1221, -221, kSansWidths, style);
}

void LoadCourierNewMetrics(FontRecord& record, std::int32_t style) {
    SetStandardFace(record, "CourierNew", 1133, -300);
    record.widths.fill(600);
    record.base_name += StyleSuffix(style);
    record.key = UpperCase(record.base_name);
}

void LoadSymbolMetrics(FontRecord& record) {
    LoadOneFaceFamily(record, "Symbol", 1225, -220, kSymbolWidths);
}

} // namespace pagora::detail
