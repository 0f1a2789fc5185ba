// The least the writer needs of the fonts until their subsystem provides it.
#include "pdf/fonts/fonts.h"

namespace pagora::detail {

void ResetFontState(FontState& fonts) {
    fonts = FontState{};
}

} // namespace pagora::detail
