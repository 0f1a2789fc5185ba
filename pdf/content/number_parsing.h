// Reading numbers out of caller text by one rule: colour values, dash lengths and point lists
// arrive as text and must be read the same way everywhere.
#pragma once

#include <optional>
#include <string_view>

namespace pagora::detail {

// The number at the start of the text: leading blanks, an optional sign, digits with at most one
// ".", and an optional exponent ("E" or "e", optional sign, digits). Reading stops at the first
// character that does not belong to the number; text without a number reads as 0. A value too
// large for a double raises error 6.
double ReadNumber(std::string_view text);

// The value when the whole text, blanks around it aside, is one such number with at least one
// digit; nothing otherwise.
std::optional<double> ReadWholeNumber(std::string_view text);

} // namespace pagora::detail
