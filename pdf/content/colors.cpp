// Colour strings, the named colours and the colour operators.
#include "pdf/content/content.h"

#include "pdf/content/number_parsing.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace pagora {

namespace detail {

namespace {

using NamedColor = std::pair<std::string_view, std::string_view>;

constexpr std::array<NamedColor, 35> kNamedColors{{
    {"BLACK", "#0 0 0"},
    {"GRAY", "#0.502 0.502 0.502"},
    {"SILVER", "#0.753 0.753 0.753"},
    {"WHITE", "#1 1 1"},
    {"MAROON", "#0.502 0 0"},
    {"RED", "#1 0 0"},
    {"PURPLE", "#0.502 0 0.502"},
    {"FUCHSIA", "#1 0 1"},
    {"MAGENTA", "#1 0 1"},
    {"GREEN", "#0 0.502 0"},
    {"LIME", "#0 1 0"},
    {"OLIVE", "#0.502 0.502 0"},
    {"YELLOW", "#1 1 0"},
    {"NAVY", "#0 0 0.502"},
    {"BLUE", "#0 0 1"},
    {"TEAL", "#0 0.502 0.502"},
    {"AQUA", "#0 1 1"},
    {"CYAN", "#0 1 1"},
    {"AZURE", "#0.941 1 1"},
    {"GOLD", "#1 0.843 0"},
    {"LIGHTBLUE", "#0.678 0.847 0.902"},
    {"LIGHTCYAN", "#0.878 1 1"},
    {"LIGHTGREEN", "#0.565 0.933 0.565"},
    {"LIGHTPINK", "#1 0.714 0.757"},
    {"LIGHTYELLOW", "#1 1 0.878"},
    {"TOMATO", "#1 0.388 0.278"},
    {"VIOLET", "#0.933 0.51 0.933"},
    {"PINK", "#1 0.753 0.796"},
    {"IVORY", "#1 1 0.941"},
    {"DARKGRAY", "#0.663 0.663 0.663"},
    {"DARKCYAN", "#0 0.545 0.545"},
    {"DARKBLUE", "#0 0 0.545"},
    {"BROWN", "#0.647 0.165 0.165"},
    {"BEIGE", "#0.961 0.961 0.863"},
    {"ORANGE", "#1 0.498 0"},
}};

// A value divided by a scale, as a colour-string component.
std::string Component(const Pagora::Members& m, double value, double scale) {
    return FormatReal(m.writer, static_cast<float>(value / scale));
}

// "@" followed by ";"-separated percentages (CMYK) or bytes (RGB).
std::string ParseComponents(const Pagora::Members& m, std::string_view text) {
    std::string body(text.substr(1));
    for (char& c : body)
        if (c == ',') c = '.';
    const std::vector<std::string> parts = SplitText(body, ";");
    if (parts.size() != 3 && parts.size() != 4) return {};
    const bool cmyk = parts.size() == 4;
    if (cmyk && m.writer.pdfa_mode) {
        // An archived document's colours are judged against its RGB output profile, which has
        // no place for device CMYK: the colour is given in RGB as a screen shows the CMYK one.
        const double black = 100.0 - ReadNumber(parts[3]);
        std::string rgb = "#";
        for (size_t i = 0; i < 3; ++i) {
            const double value = std::clamp((100.0 - ReadNumber(parts[i])) * black, 0.0, 1e4);
            rgb += (i > 0 ? " " : "") + Component(m, value, 1e4);
        }
        return rgb;
    }
    std::string result = cmyk ? "@" : "#";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += ' ';
        result += Component(m, ReadNumber(parts[i]), cmyk ? 100.0 : 255.0);
    }
    return result;
}

// A colour given as one number: red in the low byte, then green, then blue.
std::string ComponentsOfNumber(double value, std::string_view operation) {
    const double rounded = std::nearbyint(value); // halves to the even whole number
    if (!(rounded >= std::numeric_limits<int32_t>::min() &&
          rounded <= std::numeric_limits<int32_t>::max()))
        RaiseError(6, operation);
    int32_t n = static_cast<int32_t>(rounded);
    if (n == -1) n = 0;
    return "@" + std::to_string(n & 255) + ";" + std::to_string((n / 256) & 255) + ";" +
           std::to_string((n / 65536) & 255);
}

bool IsPlainColor(const std::string& color) {
    return !color.empty() && (color[0] == '#' || color[0] == '@' || color[0] == '%');
}

} // namespace

std::string TrimmedUpper(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    std::string result(text.substr(first, last - first + 1));
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::string HexColorToRgb(const Pagora::Members& m, std::string_view hex,
                          std::string_view operation) {
    const std::string_view digits = hex.substr(1, 6);
    if (digits.empty()) RaiseError(13, operation);
    uint32_t n = 0;
    for (const char c : digits) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else {
            RaiseError(13, operation);
        }
        n = n * 16 + digit;
    }
    return Component(m, (n >> 16) & 255, 255.0) + " " + Component(m, (n >> 8) & 255, 255.0) + " " +
           Component(m, n & 255, 255.0);
}

std::string ColorComponentText(const Pagora::Members& m, uint8_t value) {
    return Component(m, value, 255.0);
}

std::string BoolToText(bool value) {
    return value ? "true" : "false";
}

ParsedColor ParseColor(const Pagora::Members& m, std::string_view color,
                       std::string_view operation) {
    std::string text(color);
    if (const std::optional<double> number = ReadWholeNumber(text))
        text = ComponentsOfNumber(*number, operation);
    // The form is told by the first character after any blanks: " #FF0000" taken as a pattern
    // name would come out as a colour string of the "#" form that no reader can parse.
    const size_t first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);
    ParsedColor parsed;
    if (text.empty()) return parsed;
    switch (text[0]) {
    case '#':
        parsed.color = "#" + HexColorToRgb(m, text, operation);
        return parsed;
    case '%':
        parsed.color =
            "%" + Component(m, 100.0 - ReadNumber(std::string_view(text).substr(1)), 100.0);
        return parsed;
    case '@':
        parsed.color = ParseComponents(m, text);
        return parsed;
    default:
        break;
    }
    const std::vector<std::string> parts = SplitText(text, "|");
    const std::string name = TrimmedUpper(parts[0]);
    for (const auto& [known, value] : kNamedColors) {
        if (known == name) {
            parsed.color = std::string(value);
            return parsed;
        }
    }
    // A name that is neither a colour nor a pattern of the document would make every reader
    // complain about a missing resource: it is as invalid as a malformed colour.
    const std::string token = FormatName(m.writer.resource_prefix + name) + " ";
    if (name.empty() || m.writer.pattern_resources.find(token) == std::string::npos)
        RaiseError(13, operation);
    parsed.color = name;
    if (parts.size() > 1) {
        const std::string second = TrimmedUpper(parts[1]);
        if (!second.empty()) {
            std::string pattern_color = ParseColor(m, second, operation).color;
            // A pattern can only be painted in a device colour; another pattern's name there
            // would make the colour operator unreadable.
            if (IsPlainColor(pattern_color)) parsed.pattern_color = std::move(pattern_color);
        }
    }
    return parsed;
}

// The operator line of a colour string: fill operators when `fill`, else stroke operators.
std::string ColorOperator(const Pagora::Members& m, const std::string& color,
                          const std::string& pattern_color, bool fill) {
    const std::string rest = color.substr(1);
    switch (color[0]) {
    case '#':
        return rest + (fill ? " rg" : " RG");
    case '@':
        return rest + (fill ? " k" : " K");
    case '%':
        return rest + (fill ? " g" : " G");
    default:
        break;
    }
    const std::string pattern = FormatName(m.writer.resource_prefix + color);
    if (pattern_color.empty())
        return (fill ? "/Pattern cs " : "/Pattern CS ") + pattern + (fill ? " scn" : " SCN");
    std::string space = "CS-RGB";
    if (pattern_color[0] == '@') space = "CS-CMYK";
    if (pattern_color[0] == '%') space = "CS-GRAY";
    return "/" + space + (fill ? " cs " : " CS ") + pattern_color.substr(1) + " " + pattern +
           (fill ? " scn" : " SCN");
}

namespace {

void WriteColor(Pagora::Members& m, const std::string& color, const std::string& pattern_color,
                bool fill) {
    if (m.writer.tiling_uncoloured) return;
    ContentState& c = m.content;
    bool& off = fill ? c.no_fill : c.no_stroke;
    if (color.empty()) {
        off = true;
        return;
    }
    WriteContent(m.writer, ColorOperator(m, color, pattern_color, fill));
    off = false;
    if (!IsPlainColor(color) && pattern_color.empty())
        (fill ? c.kept.fill_pattern_color : c.kept.line_pattern_color).clear();
}

} // namespace

void WriteColorFill(Pagora::Members& m, const std::string& color,
                    const std::string& pattern_color) {
    WriteColor(m, color, pattern_color, true);
}

void WriteColorLine(Pagora::Members& m, const std::string& color,
                    const std::string& pattern_color) {
    WriteColor(m, color, pattern_color, false);
}

namespace {

enum class ColorTarget { kFill, kLine, kText };

void SetColor(Pagora::Members& m, ColorTarget target, std::string_view color,
              std::string_view operation) {
    if (m.writer.tiling_uncoloured) return;
    ContentState& c = m.content;
    if (color.empty()) {
        if (target == ColorTarget::kFill) c.no_fill = true;
        if (target == ColorTarget::kLine) c.no_stroke = true;
        if (target == ColorTarget::kText) c.no_text_color = true;
        return;
    }
    ParsedColor parsed = ParseColor(m, color, operation);
    switch (target) {
    case ColorTarget::kFill:
        WriteColorFill(m, parsed.color, parsed.pattern_color);
        c.fill_color = std::move(parsed.color);
        c.kept.fill_pattern_color = std::move(parsed.pattern_color);
        break;
    case ColorTarget::kLine:
        WriteColorLine(m, parsed.color, parsed.pattern_color);
        c.line_color = std::move(parsed.color);
        c.kept.line_pattern_color = std::move(parsed.pattern_color);
        break;
    case ColorTarget::kText:
        c.text_color = std::move(parsed.color);
        c.kept.text_pattern_color = std::move(parsed.pattern_color);
        c.no_text_color = false;
        break;
    }
}

} // namespace

void StartOverlayColours(Pagora::Members& m) {
    m.content.page_serial += 1; // an overlay is a content stream of its own
    SetColor(m, ColorTarget::kFill, "Black", "BeginOnPage");
    SetColor(m, ColorTarget::kLine, "Black", "BeginOnPage");
    SetColor(m, ColorTarget::kText, "Black", "BeginOnPage");
}

} // namespace detail

void Pagora::SetColorFill(std::string_view Color) try {
    detail::SetColor(*m_, detail::ColorTarget::kFill, Color, "SetColorFill");
    m_->content.fill_color_chosen = true;
} catch (...) {
    detail::RethrowFailure("SetColorFill");
}

void Pagora::SetColorLine(std::string_view Color) try {
    detail::SetColor(*m_, detail::ColorTarget::kLine, Color, "SetColorLine");
} catch (...) {
    detail::RethrowFailure("SetColorLine");
}

void Pagora::SetColorText(std::string_view Color) try {
    detail::SetColor(*m_, detail::ColorTarget::kText, Color, "SetColorText");
} catch (...) {
    detail::RethrowFailure("SetColorText");
}

} // namespace pagora
