// What the catalog tells of the document: its XMP metadata, the output intent's colour profile
// and the page labels.
#pragma once

#include "pdf/writer/writer_state.h"

#include <string>

namespace pagora::detail {

// The XMP packet of the document's properties (UTF-8), lines separated by CR.
std::string BuildXmpMetadata(const WriterState& s);
// The ICC colour profile that the PDF/A output intent embeds.
std::string BuildOutputIntentProfile();
// The /Nums entries of the page labels, their prefixes as literals of the current object.
std::string PageLabelNumbers(WriterState& s);

} // namespace pagora::detail
