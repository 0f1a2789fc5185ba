// State of the fonts subsystem: registered fonts and the current font.
#pragma once

namespace pagora::detail {

struct FontState {};

}  // namespace pagora::detail
