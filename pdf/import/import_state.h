// State of the import subsystem: source documents opened for page import.
#pragma once

#include "pdf/import/source_records.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagora::detail {

struct ImportState {
    // The source documents read so far, one per file name, kept until Abort.
    std::vector<SourceDocRecord> source_docs;
    // The document the reading operations work on; none after a refusal.
    std::optional<std::size_t> current_source_doc;
};

} // namespace pagora::detail
