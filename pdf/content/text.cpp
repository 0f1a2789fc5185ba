#include "pdf/content/text.h"

#include "pdf/content/content.h"
#include "pdf/fonts/font_state.h"
#include "pdf/writer/writer.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace pagora::detail {

namespace {

constexpr std::int32_t kUnderline = 4;
constexpr std::int32_t kOverline = 8;
constexpr std::int32_t kStrikeOut = 16;

} // namespace

TextMeasure MeasureInFont(const Pagora::Members& m, const FontRecord* font) {
    TextMeasure measure;
    if (font != nullptr) measure.widths = font->widths.data();
    measure.size = m.fonts.font_size;
    measure.char_spacing = m.content.char_spacing;
    measure.word_spacing = m.content.word_spacing;
    measure.horizontal_scaling = m.content.horizontal_scaling;
    measure.scale_factor = m.writer.scale_factor;
    return measure;
}

float TextHeightIn(const Pagora::Members& m, const FontRecord* font) {
    if (font == nullptr) return 0;
    return static_cast<float>(font->line_height) * m.fonts.font_size / 1000.0f /
           m.writer.scale_factor;
}

TextMeasure CurrentTextMeasure(const Pagora::Members& m) {
    return MeasureInFont(m, CurrentFontRecord(m.fonts));
}

float MeasureText(const Pagora::Members& m, std::string_view text, std::int32_t font, float size) {
    const FontRecord* record = FontAt(m.fonts, font);
    if (record == nullptr) return 0;
    TextMeasure measure = MeasureInFont(m, record);
    measure.size = size;
    return measure.Width(text);
}

float CurrentTextHeight(const Pagora::Members& m) {
    return TextHeightIn(m, CurrentFontRecord(m.fonts));
}

void DrawTextLine(Pagora::Members& m, const FontRecord* font, float x, float y, float width,
                  std::string& text, float indent, std::int32_t align, bool new_line,
                  std::string_view operation) {
    if (font == nullptr) RaiseError(kErrSubscript, operation);
    WriterState& s = m.writer;
    ContentState& c = m.content;
    const float sf = s.scale_factor;
    const float size = m.fonts.font_size;

    // The record is fetched once: measuring, the line height and the box all read this one.
    const float text_height = TextHeightIn(m, font);
    TextLinePlan plan = PlanTextLine(std::move(text), width, indent, align, MeasureInFont(m, font));
    text = std::move(plan.text);
    const float start = x + plan.offset;

    const float line_height = text_height * sf * c.line_spacing;
    const float box_bottom =
        s.page_height - y * sf + size * static_cast<float>(font->descent) / 1000.0f;
    SetLastBounds(m, start * sf, box_bottom, start * sf + plan.box_width * sf,
                  box_bottom + text_height * c.line_spacing * sf);

    std::string before;
    std::string after;
    switch (plan.adjust) {
    case LineAdjust::kWordSpacing:
        before = FormatUnits(s, plan.adjust_value) + " Tw ";
        after = " " + FormatReal(s, c.word_spacing) + " Tw";
        break;
    case LineAdjust::kShrink:
    case LineAdjust::kFit:
        before = FormatReal(s, plan.adjust_value) + " Tz ";
        // A stretched line restores the scaling after two blanks, a shrunk one after one.
        after = (plan.adjust == LineAdjust::kFit ? "  " : " ") +
                FormatReal(s, c.horizontal_scaling) + " Tz";
        break;
    case LineAdjust::kNone:
        break;
    }

    // The text is painted with the fill colour; switching it must not change what the caller
    // set for shapes, so the fill state is given back afterwards.
    const bool switch_fill =
        c.fill_color != c.text_color || c.kept.fill_pattern_color != c.kept.text_pattern_color;
    std::string fill_color;
    std::string fill_pattern_color;
    const bool no_fill = c.no_fill;
    if (switch_fill) {
        fill_color = c.fill_color;
        fill_pattern_color = c.kept.fill_pattern_color;
        WriteColorFill(m, c.text_color, c.kept.text_pattern_color);
    }

    const std::string x_text = FormatReal(s, start * sf);
    const std::string y_text = FormatUnits(s, y);
    WriteContent(s, "BT");
    // Each line is built in one buffer, numbers and escapes written straight into it.
    std::string line;
    line.reserve(text.size() + 64);
    // The same name token as the font's resource entry, even for an alias with delimiters.
    line = FormatName(s.resource_prefix + m.fonts.kept.font_resource_name);
    line += ' ';
    AppendReal(line, s, size);
    line += " Tf ";
    WriteContent(s, line);
    line.assign("1 0 0 -1 ");
    line += x_text;
    line += ' ';
    line += y_text;
    line += " Tm";
    WriteContent(s, line);
    line.assign(before);
    line += '(';
    AppendEscaped(line, text);
    line += ") Tj";
    line += after;
    WriteContent(s, line);
    WriteContent(s, "ET");

    const std::int32_t style = m.fonts.kept.font_style;
    if ((style & (kUnderline | kOverline | kStrikeOut)) != 0) {
        WriteContent(s, "q");
        if (c.kept.text_pattern_color != c.kept.line_pattern_color ||
            c.text_color != c.line_color) {
            const std::string line_color = c.line_color;
            const std::string line_pattern_color = c.kept.line_pattern_color;
            const bool no_stroke = c.no_stroke;
            WriteColorLine(m, c.text_color, c.kept.text_pattern_color);
            // The stroke colour comes back with "Q"; so does the state that tracks it.
            c.line_color = line_color;
            c.kept.line_pattern_color = line_pattern_color;
            c.no_stroke = no_stroke;
        }
        WriteContent(s, FormatReal(s, size / 16) + " w ");
        WriteContent(s, "1 0 0 1 " + x_text + " " + y_text + " cm");
        const struct {
            std::int32_t bit;
            float offset;
        } strokes[] = {
            {kUnderline, size / 8}, {kOverline, -0.8f * size}, {kStrikeOut, -0.3f * size}};
        for (const auto& stroke : strokes) {
            if ((style & stroke.bit) == 0) continue;
            const std::string d = FormatReal(s, stroke.offset);
            WriteContent(s, "0 " + d + " m " + FormatUnits(s, plan.drawn_width) + " " + d + " l S");
        }
        WriteContent(s, "Q");
    }
    if (switch_fill) {
        WriteColorFill(m, fill_color, fill_pattern_color);
        c.fill_color = fill_color;
        c.kept.fill_pattern_color = fill_pattern_color;
        c.no_fill = no_fill;
    }

    if (new_line) {
        c.current_x = 0;
        c.current_y = y * sf + line_height;
    } else {
        c.current_x = (x + plan.drawn_width) * sf;
        c.current_y = y * sf;
    }
}

} // namespace pagora::detail

namespace pagora {

using detail::DrawTextLine;

float Pagora::GetTextWidth(std::string_view Phrase) try {
    return detail::MeasureText(*m_, Phrase, m_->fonts.kept.current_font, m_->fonts.font_size);
} catch (...) {
    detail::RethrowFailure("GetTextWidth");
}

float Pagora::GetTextHeight() try { return detail::CurrentTextHeight(*m_); } catch (...) {
    detail::RethrowFailure("GetTextHeight");
}

void Pagora::DrawText(float X, float Y, std::string_view Text, std::int32_t Align) try {
    std::string text = std::string(Text);
    DrawTextLine(*m_, detail::CurrentFontRecord(m_->fonts), X, Y, 0, text, 0, Align & 7, false,
                 "DrawText");
} catch (...) {
    detail::RethrowFailure("DrawText");
}

void Pagora::WriteText(std::string_view Text, std::int32_t TextStyle, float PercenteSize) try {
    detail::WriterState& s = m_->writer;
    const float sf = s.scale_factor;
    const float old_size = m_->fonts.font_size;
    const float old_y = m_->content.current_y;
    float y = old_y / sf;
    const detail::FontRecord* font = detail::CurrentFontRecord(m_->fonts);
    if (TextStyle != 0) {
        const float descent = font != nullptr ? static_cast<float>(font->descent) : 0.0f;
        const float old_height = detail::TextHeightIn(*m_, font);
        const float new_size = PercenteSize / 100.0f * old_size;
        m_->fonts.font_size = new_size;
        switch (TextStyle) {
        case 1: // raised
            y = (old_y - new_size * descent / 1000.0f) / sf - old_height / 2;
            break;
        case 2: // lowered
            y = (old_y - (old_size + new_size) * descent / 1000.0f) / sf;
            break;
        case 3: // reduced only
            break;
        default:
            y = 0;
        }
    }
    std::string text = std::string(Text);
    try {
        DrawTextLine(*m_, font, m_->content.current_x / sf, y, 0, text, 0, 1, false, "WriteText");
    } catch (...) {
        m_->fonts.font_size = old_size;
        throw;
    }
    m_->content.current_y = old_y;
    m_->fonts.font_size = old_size;
} catch (...) {
    detail::RethrowFailure("WriteText");
}

void Pagora::WriteTextLn(std::string_view Text) try {
    const detail::WriterState& s = m_->writer;
    std::string text = std::string(Text);
    const detail::ContentState& c = m_->content;
    DrawTextLine(*m_, detail::CurrentFontRecord(m_->fonts), c.current_x / s.scale_factor,
                 c.current_y / s.scale_factor, 0, text, 0, 1, true, "WriteTextLn");
} catch (...) {
    detail::RethrowFailure("WriteTextLn");
}

void Pagora::DrawTextCircular(float X, float Y, float Ray, std::string_view Text, float StartAngle,
                              std::int32_t Align) try {
    constexpr double kRadiansPerDegree = 0.0174532925199433;
    const float per_degree = static_cast<float>(Ray * kRadiansPerDegree);
    if (per_degree == 0) detail::RaiseError(detail::kErrDivisionByZero, "DrawTextCircular");
    const float turn = GetTextWidth(Text) / per_degree;
    if ((Align & 7) == 2) {
        StartAngle -= turn;
    } else if ((Align & 7) == 4) {
        StartAngle -= turn / 2;
    }
    for (const char c : Text) {
        std::string character(1, c);
        // Each character is one line, measured and drawn in the one record fetched for it (the
        // state restore after the previous character selects the font again).
        const detail::FontRecord* font = detail::CurrentFontRecord(m_->fonts);
        const float angle =
            (font != nullptr ? detail::MeasureInFont(*m_, font).Width(character) : 0.0f) /
            per_degree;
        const float middle = StartAngle + angle / 2;
        const double radians = middle * kRadiansPerDegree;
        BeginSpace(static_cast<float>(X + Ray * std::cos(radians)),
                   static_cast<float>(Y + Ray * std::sin(radians)), 1, 1, 270 - middle);
        try {
            DrawTextLine(*m_, font, 0, 0, 0, character, 0, detail::kAlignCentre, false,
                         "DrawTextCircular");
        } catch (...) {
            EndSpace();
            throw;
        }
        EndSpace();
        StartAngle += angle;
    }
    const detail::WriterState& s = m_->writer;
    const float sf = s.scale_factor;
    detail::SetLastBounds(*m_, (X - Ray) * sf, s.page_height - (Y - Ray) * sf, (X + Ray) * sf,
                          s.page_height - (Y + Ray) * sf);
    SetXY(X, Y);
} catch (...) {
    detail::RethrowFailure("DrawTextCircular");
}

void Pagora::SetCharSpacing(float w) try {
    const std::string line = detail::FormatReal(m_->writer, w) + " Tc";
    m_->content.char_spacing = w;
    detail::WriteContent(m_->writer, line);
} catch (...) {
    detail::RethrowFailure("SetCharSpacing");
}

void Pagora::SetWordSpacing(float w) try {
    const std::string line = detail::FormatReal(m_->writer, w) + " Tw";
    m_->content.word_spacing = w;
    detail::WriteContent(m_->writer, line);
} catch (...) {
    detail::RethrowFailure("SetWordSpacing");
}

void Pagora::SetTextHorizontalScaling(float Percent) try {
    const std::string line = detail::FormatReal(m_->writer, Percent) + " Tz";
    m_->content.horizontal_scaling = Percent;
    detail::WriteContent(m_->writer, line);
} catch (...) {
    detail::RethrowFailure("SetTextHorizontalScaling");
}

void Pagora::SetTextMode(std::int32_t Mode) try {
    if (Mode < std::numeric_limits<std::int16_t>::min() ||
        Mode > std::numeric_limits<std::int16_t>::max()) {
        detail::RaiseError(detail::kErrOverflow, "SetTextMode");
    }
    // Only modes 0 to 7 exist; any other operand makes the page's content invalid.
    if (Mode < 0 || Mode > 7) detail::RaiseError(detail::kErrInvalidCall, "SetTextMode");
    detail::WriteContent(m_->writer, std::to_string(Mode) + " Tr");
} catch (...) {
    detail::RethrowFailure("SetTextMode");
}

} // namespace pagora
