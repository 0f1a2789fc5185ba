// A TrueType font's record and descriptor, made from the metrics read from its file.
#pragma once

#include "pdf/fonts/font_state.h"
#include "pdf/fonts/truetype.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// The full name with ",Bold" (weight above 500), ",Italic" (a slanted face) or ",BoldItalic".
std::string TrueTypeBaseName(const TrueTypeMetrics& metrics);

// The descriptor flags: 64 italic, 1 fixed pitch, and 4 symbolic or else 32 (non-symbolic).
std::int32_t TrueTypeFlags(const TrueTypeMetrics& metrics);

// The descriptor entries from /Flags to /AvgWidth, on one line; italic_angle is the angle's
// number text as the document writes numbers.
std::string TrueTypeDescriptor(const TrueTypeMetrics& metrics, std::string_view italic_angle);

// Fills a record's base name, vertical metrics and widths. The line height is a 16-bit value:
// when ascent and descent add up to more, it stays 0 and false is returned.
bool FillTrueTypeRecord(FontRecord& record, const TrueTypeMetrics& metrics);

} // namespace pagora::detail
