#include "pdf/fonts/truetype_font.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace pagora::detail {

std::string TrueTypeBaseName(const TrueTypeMetrics& metrics) {
    std::string suffix;
    if (metrics.weight > 500) suffix = "Bold";
    if (metrics.italic_angle != 0.0F) suffix += "Italic";
    return suffix.empty() ? metrics.full_name : metrics.full_name + "," + suffix;
}

std::int32_t TrueTypeFlags(const TrueTypeMetrics& metrics) {
    std::int32_t flags = metrics.italic_angle != 0.0F ? 64 : 0;
    if (metrics.fixed_pitch) flags += 1;
    flags += metrics.symbolic ? 4 : 32;
    return flags;
}

std::string TrueTypeDescriptor(const TrueTypeMetrics& metrics, std::string_view italic_angle) {
    const auto n = [](std::int32_t value) { return std::to_string(value); };
    const auto x_height =
        static_cast<std::int32_t>(std::nearbyint(static_cast<double>(metrics.ascent) / 2.0));
    std::string text = "/Flags " + n(TrueTypeFlags(metrics));
    text += " /FontBBox [" + n(metrics.box[0]) + " " + n(metrics.box[1]) + " " + n(metrics.box[2]) +
            " " + n(metrics.box[3]) + "]";
    text += " /MissingWidth " + n(metrics.missing_width);
    text += " /StemV " + n(metrics.weight <= 500 ? 70 : 120);
    text += " /ItalicAngle " + std::string(italic_angle);
    text += " /CapHeight " + n(metrics.ascent);
    text += " /XHeight " + n(x_height);
    text += " /Ascent " + n(metrics.ascent);
    text += " /Descent " + n(metrics.descent);
    text += " /MaxWidth " + n(metrics.max_width);
    text += " /AvgWidth " + n(metrics.avg_width);
    return text;
}

bool FillTrueTypeRecord(FontRecord& record, const TrueTypeMetrics& metrics) {
    record.truetype = true;
    record.base_name = TrueTypeBaseName(metrics);
    record.descent = metrics.descent;
    record.widths = metrics.widths;
    const std::int64_t height =
        std::int64_t{metrics.ascent} + std::llabs(std::int64_t{metrics.descent});
    if (height > std::numeric_limits<std::int16_t>::max()) return false;
    record.line_height = static_cast<std::int16_t>(height);
    return true;
}

} // namespace pagora::detail
