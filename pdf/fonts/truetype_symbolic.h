// A TrueType font program made symbolic for one code page: a pure rewriter over the file's bytes.
#pragma once

#include "pdf/fonts/tables/font_tables.h"

#include <cstdint>
#include <span>
#include <string>

namespace pagora::detail {

// The font file with its character maps replaced by a single Windows symbol map (platform 3,
// encoding 0, format 4) that takes code 0xF000 + c to the glyph the font's own Unicode map gives
// code_page[c], for every byte code c with a code point. An archived document may name such a
// font without an encoding, so that any charset draws its own glyphs. The other tables are
// copied unchanged, but for a digital signature (which the change would break) and the head
// table's checksum adjustment, which is computed again. Returns an empty string for a file
// without a readable table directory or Unicode character map (format 4 or 12).
std::string SymbolicFontProgram(std::span<const std::uint8_t> file, const CodePageMap& code_page);

} // namespace pagora::detail
