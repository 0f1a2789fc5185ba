#include "pdf/fonts/font_state.h"

#include "pdf/writer/errors.h"

namespace pagora::detail {

void ResetFontState(FontState& fonts) {
    fonts.list.clear();
    fonts.font_family.clear();
    fonts.font_encoding = 0;
    fonts.font_size = 0.0F;
}

FontRecord& NewestFont(FontState& fonts) {
    if (fonts.list.empty()) RaiseError(kErrSubscript, "SetFont");
    return fonts.list.back();
}

const FontRecord* FontAt(const FontState& fonts, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= fonts.list.size()) return nullptr;
    return &fonts.list[static_cast<std::size_t>(index)];
}

const FontRecord* CurrentFontRecord(const FontState& fonts) {
    return FontAt(fonts, fonts.kept.current_font);
}

} // namespace pagora::detail
