// The errors of the reader of source documents: the library's error numbers, PdfError and
// RaiseError, plus the one number only the reader raises. The reader's kernels include this and
// their own headers, nothing of the document state.
#pragma once

#include "pdf/writer/errors.h"

namespace pagora::detail {

// Raised when a declared length or an entry reaches beyond the bytes the file holds.
inline constexpr int kErrInputPastEnd = 62;
inline constexpr const char* kInputPastEndText = "Input past end of file";

} // namespace pagora::detail
