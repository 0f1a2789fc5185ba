#include "pdf/fonts/font_selection.h"

#include "pdf/fonts/font_names.h"
#include "pdf/fonts/font_registry.h"

namespace pagora::detail {

void SelectFont(FontState& fonts, std::string_view family, float size, std::int32_t style,
                std::int32_t charset, const WriteNewFont& write_font) {
    fonts.font_family = std::string(family);
    fonts.kept.font_style = style;
    fonts.font_encoding = charset;
    if (size != 0.0F) fonts.font_size = size;
    if (fonts.font_size == 0.0F) fonts.font_size = 10.0F;

    const std::string name = CanonicalFamily(family);
    const std::string alias = FontAlias(name, style, charset);
    const std::string key = UpperCase(alias);
    std::int32_t index = FindFont(fonts, key, charset);
    if (index == kNoFont) {
        index = RegisterStandardFont(fonts, name, style, charset, key,
                                     UniqueAlias(fonts, alias, charset));
        try {
            write_font(fonts.list.back().alias);
        } catch (...) {
            // A record without its dictionary would be found by the next selection (after
            // BeginDoc, say) and named in content that no font object answers.
            fonts.list.pop_back();
            throw;
        }
    }
    fonts.kept.font_resource_name = fonts.list[static_cast<std::size_t>(index)].alias;
    fonts.kept.current_font = index;
}

} // namespace pagora::detail
