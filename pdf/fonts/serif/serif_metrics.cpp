#include "pdf/fonts/serif/serif_metrics.h"

#include "pdf/fonts/serif/serif_tables.h"
#include "pdf/fonts/standard_metrics.h"

namespace pagora::detail {

void LoadTimesNewRomanMetrics(FontRecord& record, std::int32_t style) {
    LoadTextFamily(record, "TimesNewRoman", 1107, -216, kSerifWidths, style);
}

void LoadZapfDingbatsMetrics(FontRecord& record) {
    LoadOneFaceFamily(record, "ZapfDingbats", 1221, -221, kDingbatWidths);
}

} // namespace pagora::detail
