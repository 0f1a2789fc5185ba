// Gradients and tiling patterns, registered as pattern resources that colour names refer to.
#include "pdf/content/content.h"
#include "pdf/writer/writer.h"

#include <string>
#include <string_view>
#include <utility>

namespace pagora {

namespace {

using detail::WriterState;

void AddPatternResource(WriterState& s, const std::string& name, int object_number) {
    s.pattern_resources += detail::FormatName(s.resource_prefix + name) + " " +
                           std::to_string(object_number) + " 0 R \r";
}

// One name is one pattern: a second entry under a name already given (in any letter case, by a
// gradient or a tiling, the one being drawn included) would make the document's pattern
// dictionary hold a key twice, which readers resolve as they please. It is refused.
void RefuseDefinedPattern(const WriterState& s, const std::string& alias,
                          std::string_view operation) {
    const std::string entry = detail::FormatName(s.resource_prefix + alias) + " ";
    const std::string& list = s.pattern_resources;
    bool defined = s.in_tiling && s.tiling_alias == alias;
    for (std::size_t at = list.find(entry); !defined && at != std::string::npos;
         at = list.find(entry, at + 1)) {
        defined = at == 0 || list[at - 1] == '\r';
    }
    if (defined) {
        detail::RaiseError(detail::kErrInvalidCall, operation,
                           "A pattern named " + alias + " is already defined");
    }
}

// The device space shared by both ends of a gradient.
std::string GradientSpace(const std::string& start, const std::string& end) {
    if (start.empty() || end.empty() || start[0] != end[0]) return {};
    switch (start[0]) {
    case '#':
        return "/DeviceRGB";
    case '@':
        return "/DeviceCMYK";
    case '%':
        return "/DeviceGray";
    default:
        return {};
    }
}

} // namespace

void Pagora::AddGradient(const std::string& Alias, std::int32_t Style,
                         const std::string& StartColor, const std::string& EndColor, float XStart,
                         float YStart, float XEnd, float YEnd, float RStart, float REnd,
                         bool ExtendBefore, bool ExtendAfter) try {
    detail::RefuseNulName(Alias, "AddGradient");
    auto& s = m_->writer;
    const std::string alias = detail::TrimmedUpper(Alias);
    RefuseDefinedPattern(s, alias, "AddGradient");
    const std::string start = detail::ParseColor(*m_, StartColor, "AddGradient").color;
    const std::string end = detail::ParseColor(*m_, EndColor, "AddGradient").color;
    // A shading needs one device space for both ends; anything else would be unreadable.
    const std::string space = GradientSpace(start, end);
    if (space.empty()) detail::RaiseError(detail::kErrInvalidCall, "AddGradient");
    if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, "AddGradient");
    if (s.in_object) {
        // A gradient's points are measured from the page's top-left corner. On a page the
        // pattern space is the page's own; in an object it is the space the object is painted
        // in, which the page has already moved to the margins and turned downwards. Taking that
        // back here puts the gradient where the same call puts it on a page.
        const float left = s.margin_left / s.scale_factor;
        const float top = (s.page_height + s.margin_top) / s.scale_factor;
        XStart -= left;
        XEnd -= left;
        YStart = top - YStart;
        YEnd = top - YEnd;
    }
    const auto u = [&](float v) { return detail::FormatUnits(s, v); };
    std::string coords;
    if (Style == 1) {
        coords = "/ShadingType 3 /Coords [" + u(XStart) + " " + u(YStart) + " " + u(RStart) + " " +
                 u(XEnd) + " " + u(YEnd) + " " + u(REnd) + "]";
    } else {
        coords = "/ShadingType 2 /Coords [" + u(XStart) + " " + u(YStart) + " " + u(XEnd) + " " +
                 u(YEnd) + "]";
    }
    const std::string text =
        "<</Type /Pattern /PatternType 2 /Matrix [ 1 0 0 -1 0 " +
        detail::FormatReal(s, s.page_height) + "] /Shading <<\r\n/ColorSpace " + space + "\r" +
        coords + "\r/Extend [" + detail::BoolToText(ExtendBefore) + " " +
        detail::BoolToText(ExtendAfter) +
        "] \r/Function \r<< /FunctionType 3 /Domain [0.000 1.000] /Bounds [] /Encode [0 1 ] "
        "\r/Functions [\r<< /FunctionType 2 /Domain [0.000 1.000] /C0 [" +
        start.substr(1) + "] /C1 [" + end.substr(1) + "] /N 1 >>]\r>>\r>>\r>>";
    const int n = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, text);
    detail::EndIndirectObject(s);
    AddPatternResource(s, alias, n);
} catch (...) {
    detail::RethrowFailure("AddGradient");
}

void Pagora::BeginTiling(const std::string& Alias, float XMin, float YMin, float XMax, float YMax,
                         float XStep, float YStep, std::int32_t Style) try {
    detail::RefuseNulName(Alias, "BeginTiling");
    auto& s = m_->writer;
    if (!s.in_tiling) {
        const auto u = [&](float v) { return detail::FormatUnits(s, v); };
        const std::string alias = detail::TrimmedUpper(Alias);
        RefuseDefinedPattern(s, alias, "BeginTiling");
        s.tiling_alias = alias;
        s.tiling_dictionary = std::string("<< /Type /Pattern /PatternType 1 /PaintType ") +
                              (Style == 0 ? "1" : "2") + "\r/TilingType 1\r/BBox [" + u(XMin) +
                              " " + u(YMin) + " " + u(XMax) + " " + u(YMax) +
                              "]\r/Resources 3 0 R\r/XStep " + u(XStep) + " /YStep " + u(YStep) +
                              "\r/Matrix [1 0 0 1 0 0]";
        s.tiling_content.clear();
        // Flipped within the cell, so that content drawn downwards stands upright in the tile.
        s.tiling_content += "\r1 0 0 -1 0 " + u(YMax - YMin) + " cm";
        s.in_tiling = true;
    }
    // Any style but 0 declares the cell uncoloured, so its content must carry no colour.
    s.tiling_uncoloured = Style != 0;
} catch (...) {
    detail::RethrowFailure("BeginTiling");
}

void Pagora::EndTiling() try {
    auto& s = m_->writer;
    if (!s.in_tiling) return;
    if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, "EndTiling");
    std::string data = std::move(s.tiling_content);
    s.tiling_content.clear();
    s.in_tiling = false;
    s.tiling_uncoloured = false;
    const int n = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, s.tiling_dictionary);
    detail::WriteStream(s, data, 0, "", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);
    AddPatternResource(s, s.tiling_alias, n);
} catch (...) {
    detail::RethrowFailure("EndTiling");
}

} // namespace pagora
