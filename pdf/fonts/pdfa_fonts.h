// Fonts in PDF/A documents: every font embedded, in an encoding the archive format allows.
#pragma once

#include "pdf/fonts/truetype.h"
#include "pdf/writer/members.h"

#include <cstdint>
#include <string>

namespace pagora::detail {

// Writes the newest record, a standard font, by embedding the free font its widths were measured
// on (found through the host), so that the text keeps its layout. When no such font can be
// found or read (the symbolic families have none), records the error for SetFont, writes the
// standard dictionary as outside PDF/A and marks the document as no longer PDF/A. Returns the
// dictionary's object number.
int WritePdfaStandardFont(Pagora::Members& m, const std::string& alias);

// Writes the newest record, a TrueType font read from `program`, embedded: a non-symbolic font
// in the Western charset keeps its program and names the WinAnsi encoding; any other charset,
// and a symbolic font, gets its program rewritten with one symbol character map for the
// charset's code page, no encoding, and a ToUnicode map so that its text still reads back.
// Raises error 321 when the program cannot be rewritten, and write errors.
int WritePdfaTrueTypeFont(Pagora::Members& m, const std::string& alias, const std::string& program,
                          const TrueTypeMetrics& metrics, std::int32_t charset);

} // namespace pagora::detail
