// Generated metric tables of the serif and dingbat standard fonts (tools/gen-font-tables.py).
#pragma once

#include "pdf/fonts/tables/font_tables.h"

namespace pagora::detail {

extern const std::array<StyledWidths, kCodePageCount> kSerifWidths;
extern const WidthTable kDingbatWidths;

} // namespace pagora::detail
