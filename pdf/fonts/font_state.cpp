#include "pdf/fonts/font_state.h"

namespace pagora::detail {

void ResetFontState(FontState& fonts) {
    fonts.FontCount = 0;
    fonts.FontFamily.clear();
    fonts.FontEncoding = 0;
    fonts.FontSize = 0.0F;
}

const FontRecord* CurrentFontRecord(const FontState& fonts) {
    if (fonts.kept.CurrentFont < 1 || fonts.kept.CurrentFont > fonts.FontCount) return nullptr;
    const auto index = static_cast<std::size_t>(fonts.kept.CurrentFont);
    return index < fonts.FontList.size() ? &fonts.FontList[index] : nullptr;
}

} // namespace pagora::detail
