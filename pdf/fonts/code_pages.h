// The single-byte Windows code pages of the six charsets, as Unicode maps.
#pragma once

#include "pdf/fonts/tables/font_tables.h"

#include <array>
#include <string>
#include <string_view>

namespace pagora::detail {

using UnicodeMap = CodePageMap;

// The map of a Windows charset's code page (byte code to Unicode code point, 0 where the code
// page leaves a code undefined). An unknown charset counts as Western.
const UnicodeMap& GetCharsetUnicodeMap(int charset);

// UTF-8 to the code page; a character the code page lacks becomes "?". Malformed UTF-8 sequences
// count as one unknown character each.
std::string EncodeCodePage(std::string_view utf8, int charset);
// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Code page bytes to UTF-8; an undefined code becomes U+FFFD.
std::string DecodeCodePage(std::string_view bytes, int charset);

} // namespace pagora::detail
