// The fonts subsystem's procedures that other subsystems call.
#pragma once

#include "pdf/writer/members.h"

namespace pagora::detail {

// Gives the font members their values after Abort (the current-font members are kept).
void ResetFontState(FontState& fonts);

} // namespace pagora::detail
