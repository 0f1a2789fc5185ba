// Text lines and text measurement for the operations that draw text (text boxes, rich text,
// barcode captions).
#pragma once

#include "pdf/content/text_measure.h"
#include "pdf/writer/members.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// A font record (null for none) under the current size, spacing and scaling as a measure; the
// widths are null without a font.
TextMeasure MeasureInFont(const Pagora::Members& m, const FontRecord* font);
// The same for the current font.
TextMeasure CurrentTextMeasure(const Pagora::Members& m);

// The width of a text in user units in a registered font (its index in the font list) at a
// size; 0 for an index that names no font.
float MeasureText(const Pagora::Members& m, std::string_view text, std::int32_t font, float size);

// A font record's line height at the current size in user units; 0 for null.
float TextHeightIn(const Pagora::Members& m, const FontRecord* font);
// The same for the current font.
float CurrentTextHeight(const Pagora::Members& m);

// Writes one line of text with its baseline at y (user units, downwards), aligned in width from
// x after an indentation; records its box and moves the position after it, or to the start of
// the next line with new_line. Justified text is changed in place (blanks collapsed). Raises
// error 9 (naming operation) when no font is set. `font` is the current font's record, which a
// caller that also measures the line fetches once and hands in.
void DrawTextLine(Pagora::Members& m, const FontRecord* font, float x, float y, float width,
                  std::string& text, float indent, std::int32_t align, bool new_line,
                  std::string_view operation = "DrawText");

} // namespace pagora::detail
