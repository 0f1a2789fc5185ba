#include "pdf/fonts/font_names.h"

#include <array>
#include <utility>

namespace pagora::detail {

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string CanonicalFamily(std::string_view family) {
    std::string name;
    for (const char c : family) {
        if (c != ' ') name += c;
    }
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kFamilies = {{
        {"TIMES", "TimesNewRoman"},
        {"TIMESNEWROMAN", "TimesNewRoman"},
        {"COURIER", "CourierNew"},
        {"COURIERNEW", "CourierNew"},
        {"HELVETICA", "Arial"},
        {"ARIAL", "Arial"},
        {"SYMBOL", "Symbol"},
        {"ZAPFDINGBATS", "ZapfDingbats"},
    }};
    const std::string upper = UpperCase(name);
    for (const auto& [spelling, canonical] : kFamilies) {
        if (upper == spelling) return std::string(canonical);
    }
    return name;
}

std::string FontAlias(const std::string& family, std::int32_t style, std::int32_t charset) {
    if (family != "Arial" && family != "TimesNewRoman" && family != "CourierNew") return family;
    std::string suffix;
    if ((style & 1) != 0) suffix += "Bold";
    if ((style & 2) != 0) suffix += "Italic";
    std::string alias = family;
    if (!suffix.empty()) alias += "," + suffix;
    if (charset != 0) alias += "-" + std::to_string(charset);
    return alias;
}

} // namespace pagora::detail
