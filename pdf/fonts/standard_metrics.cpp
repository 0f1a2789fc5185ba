#include "pdf/fonts/standard_metrics.h"

#include "pdf/fonts/font_names.h"
#include "pdf/writer/errors.h"

namespace pagora::detail {

FontRecord& NewestFont(FontState& fonts) {
    if (fonts.list.empty()) RaiseError(kErrSubscript, "SetFont");
    return fonts.list.back();
}

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

void LoadTextFamily(FontState& fonts, const char* base_name, std::int16_t line_height,
                    std::int32_t descent,
                    const std::array<StyledWidths, kCodePageCount>& tables_by_code_page,
                    std::int32_t style) {
    FontRecord& record = NewestFont(fonts);
    SetStandardFace(record, base_name, line_height, descent);
    LoadStyledWidths(record, tables_by_code_page[CodePageOfCharset(record.charset)], style);
    record.key = UpperCase(record.base_name);
}

void LoadOneFaceFamily(FontState& fonts, const char* base_name, std::int16_t line_height,
                       std::int32_t descent, const WidthTable& widths) {
    FontRecord& record = NewestFont(fonts);
    SetStandardFace(record, base_name, line_height, descent);
    record.widths = widths;
    record.key = UpperCase(record.base_name);
}

void LoadArialMetrics(FontState& fonts, std::int32_t style) {
    LoadTextFamily(fonts, "Arial", 1221, -221, kSansWidths, style);
}

void LoadCourierNewMetrics(FontState& fonts, std::int32_t style) {
    FontRecord& record = NewestFont(fonts);
    SetStandardFace(record, "CourierNew", 1133, -300);
    record.widths.fill(600);
    record.base_name += StyleSuffix(style);
    record.key = UpperCase(record.base_name);
}

void LoadSymbolMetrics(FontState& fonts) {
    LoadOneFaceFamily(fonts, "Symbol", 1225, -220, kSymbolWidths);
}

} // namespace pagora::detail
