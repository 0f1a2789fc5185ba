// Current position, last drawn box, the drawing-state stack and coordinate transformations.
#include "pdf/content/content.h"

#include "pdf/writer/writer.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace pagora {

namespace detail {

namespace {

constexpr double kRadiansPerDegree = 0.0174532925199433;

// The rotation matrix line, or nothing when the angle, rounded to whole degrees, is a multiple of
// a full turn.
std::string RotationLine(const Pagora::Members& m, float angle, std::string_view operation) {
    const double whole = std::nearbyint(static_cast<double>(angle));
    if (!(std::fabs(whole) <= std::numeric_limits<int32_t>::max())) RaiseError(6, operation);
    if (static_cast<int32_t>(whole) % 360 == 0) return {};
    const double r = angle * kRadiansPerDegree;
    const float c = static_cast<float>(std::cos(r));
    const float s = static_cast<float>(std::sin(r));
    return FormatReal(m.writer, c) + " " + FormatReal(m.writer, -s) + " " +
           FormatReal(m.writer, s) + " " + FormatReal(m.writer, c) + " 0 0 cm";
}

} // namespace

void SetLastBounds(Pagora::Members& m, float x1, float y1, float x2, float y2) {
    ContentState& c = m.content;
    c.kept.last_box_x1 = x1;
    c.kept.last_box_y1 = y1;
    c.kept.last_box_x2 = x2;
    c.kept.last_box_y2 = y2;
}

void SetPosition(Pagora::Members& m, float x, float y) {
    const float scale = m.writer.scale_factor;
    m.content.current_x = x * scale;
    m.content.current_y = y * scale;
}

bool CompleteBox(double natural_width, double natural_height, double k, float& width,
                 float& height) {
    if (width == 0 && height == 0) {
        width = static_cast<float>(natural_width / k);
        height = static_cast<float>(natural_height / k);
    } else if (width == 0) {
        width = static_cast<float>(height * natural_width / natural_height);
    } else if (height == 0) {
        height = static_cast<float>(width * natural_height / natural_width);
    } else {
        return false;
    }
    return true;
}

void PushGraphicState(Pagora::Members& m) {
    ContentState& c = m.content;
    GraphicStateRecord& saved = AppendRecord(c.state_stack, m.writer.memory_factor);
    saved.scale_factor = m.writer.scale_factor;
    saved.current_x = m.content.current_x;
    saved.current_y = m.content.current_y;
    saved.fill_color = c.fill_color;
    saved.fill_pattern_color = c.kept.fill_pattern_color;
    saved.line_color = c.line_color;
    saved.line_pattern_color = c.kept.line_pattern_color;
    saved.text_color = c.text_color;
    saved.text_pattern_color = c.kept.text_pattern_color;
    saved.no_fill = c.no_fill;
    saved.no_stroke = c.no_stroke;
    saved.no_text_color = c.no_text_color;
    const FontSelection font = CurrentFontSelection(m);
    saved.font_family = font.family;
    saved.font_style = font.style;
    saved.font_size = font.size;
    saved.font_encoding = font.encoding;
    saved.line_width = c.kept.line_width;
}

void PopGraphicState(Pagora::Members& m) {
    ContentState& c = m.content;
    if (c.state_stack.empty()) return;
    const GraphicStateRecord& saved = c.state_stack.back();
    m.content.current_x = saved.current_x;
    m.content.current_y = saved.current_y;
    m.writer.scale_factor = saved.scale_factor;
    c.line_color = saved.line_color;
    c.kept.line_pattern_color = saved.line_pattern_color;
    c.no_stroke = saved.no_stroke;
    WriteColorLine(m, c.line_color, c.kept.line_pattern_color);
    c.fill_color = saved.fill_color;
    c.kept.fill_pattern_color = saved.fill_pattern_color;
    c.no_fill = saved.no_fill;
    WriteColorFill(m, c.fill_color, c.kept.fill_pattern_color);
    c.text_color = saved.text_color;
    c.kept.text_pattern_color = saved.text_pattern_color;
    c.no_text_color = saved.no_text_color;
    ApplyLineWidth(m, saved.line_width / m.writer.scale_factor);
    // A state saved before any font was chosen has no font to select again; selecting an empty
    // family would register a nameless font.
    if (!saved.font_family.empty())
        ReselectFont(m,
                     {saved.font_family, saved.font_style, saved.font_size, saved.font_encoding});
    c.state_stack.pop_back();
}

void StartPageState(Pagora::Members& m) {
    ContentState& c = m.content;
    WriterState& s = m.writer;
    // A "q" of an earlier page is closed by the end of that page's content, never by a "Q" here.
    c.page_serial += 1;
    // The opening state belongs to the page's own stream, even while a reusable object or a
    // tiling cell is being recorded: it is not a drawing, so ContentBuffer does not choose it.
    const auto write = [&](const std::string& line) {
        s.page_content += '\r';
        s.page_content += line;
    };
    if (!c.fill_color.empty() && c.fill_color != "#0 0 0")
        write(ColorOperator(m, c.fill_color, c.kept.fill_pattern_color, true));
    if (!c.line_color.empty() && c.line_color != "#0 0 0")
        write(ColorOperator(m, c.line_color, c.kept.line_pattern_color, false));
    if (c.kept.line_width != 1) write(FormatReal(s, c.kept.line_width) + " w");
}

} // namespace detail

void Pagora::SetXY(float X, float Y) try { detail::SetPosition(*m_, X, Y); } catch (...) {
    detail::RethrowFailure("SetXY");
}

void Pagora::AxisRotation(float Angle) try {
    const std::string line = detail::RotationLine(*m_, Angle, "AxisRotation");
    if (!line.empty()) detail::WriteContent(m_->writer, line);
} catch (...) {
    detail::RethrowFailure("AxisRotation");
}

void Pagora::AxisScaling(float ScaleX, float ScaleY) try {
    detail::WriteContent(m_->writer, detail::FormatReal(m_->writer, ScaleX) + " 0 0 " +
                                         detail::FormatReal(m_->writer, ScaleY) + " 0 0 cm");
} catch (...) {
    detail::RethrowFailure("AxisScaling");
}

void Pagora::AxisSkewing(float AngleX, float AngleY) try {
    const float tan_x = static_cast<float>(std::tan(AngleX * detail::kRadiansPerDegree));
    const float tan_y = static_cast<float>(std::tan(AngleY * detail::kRadiansPerDegree));
    detail::WriteContent(m_->writer, "1 " + detail::FormatReal(m_->writer, tan_x) + " " +
                                         detail::FormatReal(m_->writer, tan_y) + " 1 0 0 cm");
} catch (...) {
    detail::RethrowFailure("AxisSkewing");
}

void Pagora::AxisTranslation(float TranslateX, float TranslateY) try {
    detail::WriteContent(m_->writer, "1 0 0 1 " + detail::FormatUnits(m_->writer, TranslateX) +
                                         " " + detail::FormatUnits(m_->writer, TranslateY) + " cm");
    detail::SetPosition(*m_, 0, 0);
} catch (...) {
    detail::RethrowFailure("AxisTranslation");
}

void Pagora::BeginSpace(float NewX, float NewY, float ScaleX, float ScaleY, float Angle) try {
    // Every line is formatted before anything changes, so that a value that cannot be written
    // leaves neither a saved state nor an unbalanced "q" behind.
    std::string matrix;
    if (ScaleX != 1 || ScaleY != 1 || NewX != 0 || NewY != 0)
        matrix = detail::FormatReal(m_->writer, ScaleX) + " 0 0 " +
                 detail::FormatReal(m_->writer, ScaleY) + " " +
                 detail::FormatUnits(m_->writer, NewX) + " " +
                 detail::FormatUnits(m_->writer, NewY) + " cm";
    std::string rotation;
    if (Angle != 0) rotation = detail::RotationLine(*m_, Angle, "BeginSpace");
    detail::PushGraphicState(*m_);
    detail::WriteContent(m_->writer, "q");
    m_->content.open_spaces.push_back(m_->content.page_serial);
    if (!matrix.empty()) detail::WriteContent(m_->writer, matrix);
    if (!rotation.empty()) detail::WriteContent(m_->writer, rotation);
    detail::SetPosition(*m_, 0, 0);
} catch (...) {
    detail::RethrowFailure("BeginSpace");
}

void Pagora::EndSpace() try {
    // An unmatched "Q" would close a state the page never saved, and readers then drop what
    // follows; without an open BeginSpace there is nothing to end.
    std::vector<std::uint32_t>& open = m_->content.open_spaces;
    if (open.empty()) return;
    const bool same_page = open.back() == m_->content.page_serial;
    open.pop_back();
    if (same_page) detail::WriteContent(m_->writer, "Q");
    detail::PopGraphicState(*m_);
} catch (...) {
    detail::RethrowFailure("EndSpace");
}

} // namespace pagora
