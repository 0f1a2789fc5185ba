// Family setup of the serif and dingbat standard fonts: each fills the newest record of the
// font list.
#pragma once

#include "pdf/fonts/font_state.h"

#include <cstdint>

namespace pagora::detail {

// Serif: base name "TimesNewRoman" and style, widths by the record's charset.
void LoadTimesNewRomanMetrics(FontState& fonts, std::int32_t style);
// Dingbats: one face, no style and no charset.
void LoadZapfDingbatsMetrics(FontState& fonts);

} // namespace pagora::detail
