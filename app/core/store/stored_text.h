// What the data file and the settings file can hold: they keep their text in Windows-1252, a
// fixed file format, so a character outside it would come back as "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace kerbolt::store {

// Stands for a byte that starts no well-formed UTF-8 sequence.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The character at `pos` of a UTF-8 text and its length in bytes; kNotUtf8 and a length of 1
// for a byte that starts no well-formed sequence (overlong forms and surrogates included).
std::pair<char32_t, std::size_t> NextUtf8Character(std::string_view utf8, std::size_t pos);

// A character Windows-1252 stores and gives back unchanged.
bool IsWindows1252Character(char32_t c);

// The text is UTF-8 and Windows-1252 holds every character of it.
bool IsWindows1252Text(std::string_view utf8);

// The text without blanks at both ends. Blanks are spaces and tabs, everywhere in the client: the
// settings and data files have always been read so, around every name and value, and what the
// user types, the stored amount and the list columns are trimmed by the same rule, so that a text
// reads the same typed, stored and read back.
std::string TrimBlanks(std::string_view text);

} // namespace kerbolt::store
