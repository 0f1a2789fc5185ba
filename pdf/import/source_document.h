// Reading one source document into its cache record: header, tail, index, document
// information, page tree and the marks of PDF/A conformance. A pure unit over SourceBytes, so
// that tests and fuzz targets read buffers; GetInfo reads files through it.
#pragma once

#include "pdf/import/source_bytes.h"
#include "pdf/import/source_records.h"
#include "pdf/writer/Pagora.h"

#include <memory>
#include <string>
#include <vector>

namespace pagora::detail {

// The text the host's message seam receives for a section of the index that is not there.
inline constexpr const char* kXrefErrorText = "Parsing XRef error";

// A page tree may not be nested deeper than this.
inline constexpr int kMaxPageTreeDepth = 256;

// What went wrong while reading, in order: each failure ended its step and the next step ran.
struct SourceReadReport {
    std::vector<PdfError> errors;
    // One per section of the index that was not where the file said (each also in errors).
    int bad_sections = 0;
};

// Fills the record from the bytes. Never raises: every failure lands in the report, and the
// record keeps what was read. An encrypted document is marked and read no further.
void ReadSourceDocument(SourceBytes& bytes, SourceDocRecord& doc, SourceReadReport& report);

// Opens the record's file again for a later reading operation. Raises 53 when it is gone and
// 321 when its length or modification time differ from the first reading (the offsets in the
// record would point at other bytes).
std::unique_ptr<FileSourceBytes> ReopenSource(const SourceDocRecord& doc,
                                              std::string_view operation);

} // namespace pagora::detail
