// Placeholder of the document cipher until the security handler provides it: nothing turns
// protection on yet, and a protected document must never be written in the clear.
#include "pdf/writer/writer.h"

namespace pagora::detail {

void EncipherForObject(WriterState& s, int object_number, std::string& bytes) {
    (void)s;
    (void)object_number;
    (void)bytes;
    RaiseError(kErrInvalidCall, "SetProtection", "Protection is not available");
}

} // namespace pagora::detail
