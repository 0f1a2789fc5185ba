#include "pdf/fonts/font_registry.h"

#include "pdf/fonts/charset_differences.h"
#include "pdf/fonts/font_names.h"
#include "pdf/fonts/serif/serif_metrics.h"
#include "pdf/fonts/standard_metrics.h"

namespace pagora::detail {

std::int32_t FindFont(const FontState& fonts, std::string_view key, std::int32_t charset) {
    std::int32_t truetype_match = kNoFont;
    for (std::size_t i = 0; i < fonts.list.size(); ++i) {
        const FontRecord& record = fonts.list[i];
        if (record.key.size() != key.size() || record.key != key) continue;
        if (record.charset == charset) return static_cast<std::int32_t>(i);
        if (record.truetype && truetype_match == kNoFont)
            truetype_match = static_cast<std::int32_t>(i);
    }
    return truetype_match;
}

FontRecord& AddFontRecord(FontState& fonts) {
    return fonts.list.emplace_back();
}

std::string UniqueAlias(const FontState& fonts, std::string alias, std::int32_t charset) {
    const auto taken = [&fonts](const std::string& name) {
        for (const FontRecord& record : fonts.list) {
            if (record.alias == name || record.key == UpperCase(name)) return true;
        }
        return false;
    };
    while (taken(alias))
        alias += "-" + std::to_string(charset);
    return alias;
}

std::int32_t RegisterStandardFont(FontState& fonts, const std::string& family, std::int32_t style,
                                  std::int32_t charset, const std::string& key,
                                  const std::string& alias) {
    FontRecord& record = AddFontRecord(fonts);
    record.charset = charset;
    const bool symbolic = family == "Symbol" || family == "ZapfDingbats";
    if (!symbolic && charset != 0) record.differences = GetCharsetDifferences(charset);
    if (family == "TimesNewRoman") {
        LoadTimesNewRomanMetrics(record, style);
    } else if (family == "CourierNew") {
        LoadCourierNewMetrics(record, style);
    } else if (family == "Symbol") {
        LoadSymbolMetrics(record);
    } else if (family == "ZapfDingbats") {
        LoadZapfDingbatsMetrics(record);
    } else {
        LoadArialMetrics(record, style);
    }
    record.key = key;
    record.alias = alias;
    return static_cast<std::int32_t>(fonts.list.size()) - 1;
}

} // namespace pagora::detail
