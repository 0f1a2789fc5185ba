// The least the writer needs of the page content until its subsystem provides it.
#include "pdf/content/content.h"

#include "pdf/writer/writer.h"

namespace pagora::detail {

void PlaceAutoObjects(Pagora::Members& m, bool at_end) {
    (void)m;
    (void)at_end;
}

} // namespace pagora::detail
