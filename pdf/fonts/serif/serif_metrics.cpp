#include "pdf/fonts/serif/serif_metrics.h"

#include "pdf/fonts/serif/serif_tables.h"
#include "pdf/fonts/standard_metrics.h"

namespace pagora::detail {

void LoadTimesNewRomanMetrics(FontState& fonts, std::int32_t style) {
    LoadTextFamily(fonts, "TimesNewRoman", 1107, -216, kSerifWidths, style);
}

void LoadZapfDingbatsMetrics(FontState& fonts) {
    LoadOneFaceFamily(fonts, "ZapfDingbats", 1221, -221, kDingbatWidths);
}

} // namespace pagora::detail
