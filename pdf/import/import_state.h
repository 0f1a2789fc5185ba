// State of the import subsystem: source documents opened for page import.
#pragma once

#include "pdf/import/scanner.h"

namespace pagora::detail {

struct ImportState {
    // Only meaningful within one reading operation, which gives it a new source first.
    ScanState Scanner;
};

} // namespace pagora::detail
