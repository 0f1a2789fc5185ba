// State of the import subsystem: source documents opened for page import.
#pragma once

namespace pagora::detail {

struct ImportState {};

}  // namespace pagora::detail
