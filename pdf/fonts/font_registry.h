// The font list: lookup and registration of fonts.
#pragma once

#include "pdf/fonts/font_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// Index of the font registered under this key (upper case) for this charset, or kNoFont. A
// TrueType font is found under its key in any charset: its widths do not follow the charset, and
// a second font under the same resource name would leave content naming the wrong one.
std::int32_t FindFont(const FontState& fonts, std::string_view key, std::int32_t charset);

// Adds an empty record at the end of the list and returns it.
FontRecord& AddFontRecord(FontState& fonts);

// The alias under which a new font's dictionary is written: the requested alias, made unique
// among the registered fonts by the charset number. Names outside the text families carry no
// charset, so the same name in a second charset would otherwise give two fonts one name; and a
// font whose key another font has already (in any letter case) could never be selected.
std::string UniqueAlias(const FontState& fonts, std::string alias, std::int32_t charset);

// Registers the standard font of a family (canonical name) for a style and charset: a new
// record with its charset, /Differences text and metrics, keyed by key and named by alias.
// Returns its index. Any family outside the five gets the sans-serif metrics.
std::int32_t RegisterStandardFont(FontState& fonts, const std::string& family, std::int32_t style,
                                  std::int32_t charset, const std::string& key,
                                  const std::string& alias);

} // namespace pagora::detail
