#include "pdf/fonts/serif/serif_metrics.h"

#include "pdf/fonts/font_names.h"
#include "pdf/fonts/serif/serif_tables.h"
#include "pdf/fonts/standard_metrics.h"

namespace pagora::detail {

void LoadTimesNewRomanMetrics(FontState& fonts, std::int32_t style) {
    FontRecord& record = NewestFont(fonts);
    SetStandardFace(record, "TimesNewRoman", 1107, -216);
    LoadStyledWidths(record, kSerifWidths[CodePageOfCharset(record.Charset)], style);
    record.Key = UpperCase(record.BaseName);
}

void LoadZapfDingbatsMetrics(FontState& fonts) {
    FontRecord& record = NewestFont(fonts);
    SetStandardFace(record, "ZapfDingbats", 1221, -221);
    record.Widths = kDingbatWidths;
    record.Key = "ZAPFDINGBATS";
}

}  // namespace pagora::detail
