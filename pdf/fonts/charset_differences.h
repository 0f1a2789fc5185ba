// The /Differences arrays that give the standard fonts the glyphs of a Windows charset.
#pragma once

#include <string_view>

namespace pagora::detail {

// The /Differences array text, "[" to "]", for the upper half (codes 128-255) of a charset's
// code page; any charset other than 161, 162, 186, 204 and 238 gets the Western text.
std::string_view GetCharsetDifferences(int charset);

} // namespace pagora::detail
