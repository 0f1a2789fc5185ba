// Family names, resource aliases and lookup keys of the fonts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// ASCII upper case: keys compare the same whatever the host's locale.
std::string UpperCase(std::string_view text);

// The family name with every blank removed; the known spellings of the five standard families
// (compared in upper case) become "Arial", "TimesNewRoman", "CourierNew", "Symbol" or
// "ZapfDingbats", any other name stays as it is.
std::string CanonicalFamily(std::string_view family);

// The resource alias of a font: the three text families add their style ("Arial,Bold") and a
// charset other than 0 ("Arial,Bold-238"); every other name is its own alias.
std::string FontAlias(const std::string& family, std::int32_t style, std::int32_t charset);

} // namespace pagora::detail
