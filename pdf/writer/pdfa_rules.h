// The rules an archival (PDF/A-1B) document keeps: an element no archival file may hold is
// refused whole, and one that cannot be made to conform takes the document's claim away.
#pragma once

#include "pdf/writer/writer_state.h"

#include <string>
#include <string_view>

namespace pagora::detail {

// Raises error 5 naming PDF/A when the document is archival, before anything is written: the
// element (a script, an embedded file) is refused and the rest of the file stays archival.
void RefuseInPdfa(const WriterState& s, std::string_view operation, std::string_view what);

// In an archival document, records why the file cannot be one (error number, source
// "Pagora." + operation, the reason) and drops its claim: no identification in the metadata
// and no output intent. Nothing happens outside PDF/A mode.
void DropPdfaClaim(WriterState& s, int error, std::string_view operation, std::string_view why);

// The annotation flags an archival document writes for the caller's: printed, and never
// invisible, hidden or kept from view, so that every reader shows and prints the same page.
int PdfaAnnotationFlags(const WriterState& s, int flags);

// A document property as the information dictionary of an archival document holds it: the
// same text its metadata packet holds, so that checkers find the two alike. Text beyond ASCII
// is written in UTF-16 (the single-byte form would be read in another encoding), without the
// control characters the packet leaves out. Other documents keep the text as it is.
std::string PdfaInfoText(const WriterState& s, std::string_view value);

// Content copied from a drawing file with its CMYK colours ("c m y k k", "c m y k K") given in
// RGB as a screen shows them, for an archival document; other documents keep the content as it
// is. An operator whose operands are not four numbers stays unchanged.
std::string PdfaRgbContent(const WriterState& s, std::string content);

} // namespace pagora::detail
