// The font of a saved drawing state, read from and handed back to the font registry.
#include "pdf/content/content.h"

#include "pdf/fonts/font_selection.h"
#include "pdf/fonts/fonts.h"

namespace pagora::detail {

FontSelection CurrentFontSelection(const Pagora::Members& m) {
    const FontState& fonts = m.fonts;
    return {fonts.font_family, fonts.kept.font_style, fonts.font_size, fonts.font_encoding};
}

void ReselectFont(Pagora::Members& m, const FontSelection& font) {
    SelectFont(m.fonts, font.family, font.size, font.style, font.encoding,
               [&m](const std::string& alias) {
                   WriteFont(m, alias, std::string(), 0, std::string_view());
               });
}

} // namespace pagora::detail
