// The page-content subsystem's procedures that other subsystems call.
#pragma once

#include "pdf/writer/members.h"

namespace pagora::detail {

// Gives the page-content members their values after Abort (members marked kept stay).
void ResetContentState(ContentState& content);

// Draws the reusable objects placed automatically on the page being begun (at_end false) or
// ended (at_end true). Called only while reusable objects exist.
void PlaceAutoObjects(Pagora::Members& m, bool at_end);

// An overlay page starts in black: fill and stroke colour operators in its buffer and black
// text colour, as SetColorFill, SetColorLine and SetColorText("Black") leave them.
void StartOverlayColours(Pagora::Members& m);

} // namespace pagora::detail
