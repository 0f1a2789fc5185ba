// State of the import subsystem: source documents opened for page import.
#pragma once

#include <cstdint>
#include <string>

namespace pagora::detail {

// The reader's text cursor: the bytes being parsed and the position (from 1) of the next one.
// A position beyond the last byte means the end has been reached.
struct ScanState {
    std::string Source;
    std::int32_t Pos = 1;
};

struct ImportState {
    // Only meaningful within one reading operation, which gives it a new source first.
    ScanState Scanner;
};

} // namespace pagora::detail
