// The outline and the named destinations: recording outline items while the document is built,
// writing the tree and the destinations at its end.
#pragma once

#include "pdf/writer/writer_state.h"

#include <string>
#include <string_view>

namespace pagora::detail {

// "@n" for a recorded outline item (n counts from 1), "" when refused. Records the level and the
// view of kinds 0 to 4; the first item, the title's, is recorded by Abort.
std::string AddBookmarkRecord(WriterState& s, std::string_view caption, int level, int kind,
                              float p1 = 0, float p2 = 0, float p3 = 0, float p4 = 0);

// A caller's text as the body of a PDF name: bytes outside "!" to "~", delimiters and "#" as #xx.
std::string PdfNameText(std::string_view text);
// Writes the outline tree and the named destinations (at the end of the document) and keeps
// their object numbers for the catalog; then the catalog's lines that refer to them.
void WriteNavigation(WriterState& s);
void WriteNavigationCatalogLines(WriterState& s);

} // namespace pagora::detail
