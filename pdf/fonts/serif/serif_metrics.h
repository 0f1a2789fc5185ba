// Family setup of the serif and dingbat standard fonts: each fills a font record from the metric
// tables.
#pragma once

#include "pdf/fonts/font_record.h"

#include <cstdint>

namespace pagora::detail {

// Serif: base name "TimesNewRoman" and style, widths by the record's charset.
void LoadTimesNewRomanMetrics(FontRecord& record, std::int32_t style);
// Dingbats: one face, no style and no charset.
void LoadZapfDingbatsMetrics(FontRecord& record);

} // namespace pagora::detail
