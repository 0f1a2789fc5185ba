// The least the writer needs of the page content until its subsystem provides it.
#include "pdf/content/content.h"

#include "pdf/writer/writer.h"

namespace pagora::detail {

void ResetContentState(ContentState& content) {
    content = ContentState{};
}

void PlaceAutoObjects(Pagora::Members& m, bool at_end) {
    (void)m;
    (void)at_end;
}

void StartOverlayColours(Pagora::Members& m) {
    WriteContent(m.writer, "0 0 0 rg");
    WriteContent(m.writer, "0 0 0 RG");
}

} // namespace pagora::detail
