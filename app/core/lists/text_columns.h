// Fixed-width columns of the list lines, counted in characters (not bytes) of UTF-8 text, so that
// "Gérance" takes seven places like any seven-letter word in a monospaced face.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kerbolt::lists {

// The number of characters of a UTF-8 text.
std::size_t CharCount(std::string_view utf8);
// The characters [first, first + count) of a UTF-8 text (fewer at its end).
std::string CharSlice(std::string_view utf8, std::size_t first, std::size_t count);
// The text cut to `width` characters or padded with blanks on the right up to it.
std::string FitColumn(std::string_view utf8, std::size_t width);

} // namespace kerbolt::lists
