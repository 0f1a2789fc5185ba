// Selection of the current font by family, style and charset.
#pragma once

#include "pdf/fonts/font_state.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pagora::detail {

// Writes the dictionary of the newest font under its resource alias.
using WriteNewFont = std::function<void(const std::string& alias)>;

// Makes the standard font of a family, style and charset current, registering it and writing
// its dictionary through write_font the first time the combination is asked for. A size of 0
// keeps the current size (10 when there is none). When writing fails the error passes on, the
// new record is taken back and the current font does not change.
void SelectFont(FontState& fonts, std::string_view family, float size, std::int32_t style,
                std::int32_t charset, const WriteNewFont& write_font);

} // namespace pagora::detail
