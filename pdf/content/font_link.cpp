// The font of a saved drawing state, read from and handed back to the font registry.
#include "pdf/content/content.h"

namespace pagora::detail {

FontSelection CurrentFontSelection(const Pagora::Members& m) {
    (void)m;
    return {};
}

void ReselectFont(Pagora::Members& m, const FontSelection& font) {
    (void)m;
    (void)font;
}

} // namespace pagora::detail
