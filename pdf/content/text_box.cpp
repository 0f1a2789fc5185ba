// Text boxes: a plain text wrapped into a rectangle, the rest handed back.
#include "pdf/content/text.h"
#include "pdf/content/text_box_layout.h"

#include "pdf/content/content.h"
#include "pdf/fonts/font_state.h"
#include "pdf/writer/writer.h"

#include <string>

namespace pagora {

std::string Pagora::DrawTextBox(float X, float Y, float Width, float Height, std::string_view Text,
                                std::int32_t Align, std::int32_t Options) try {
    detail::WriterState& s = m_->writer;
    const detail::TextBoxStyle& style = m_->content.kept.box_style;
    const float sf = s.scale_factor;

    if (Width == 0) Width = GetPageWidth(true) - X;
    const detail::BoxInterior box =
        detail::InteriorOf(style, sf, X, Y, Width, Height, GetPageHeight(true));
    const float inner_x = box.x;
    const float inner_width = box.width;
    const float inner_y = box.y;
    const float inner_height = box.height;
    const float indent = box.indent;
    // One record for the whole box: its lines are measured, placed and drawn in the one font.
    const detail::FontRecord* font = detail::CurrentFontRecord(m_->fonts);
    const float line_height = detail::TextHeightIn(*m_, font) * sf * m_->content.line_spacing;

    std::size_t count = 0;
    std::string remainder;
    if (!Text.empty()) {
        detail::TextBoxArea area;
        area.inner_width = inner_width;
        area.inner_height = inner_height;
        area.scale_factor = sf;
        area.line_height = line_height;
        area.indent = indent;
        area.align = Align;
        // Nothing the widths depend on changes while the box is laid out; without a font every
        // width is 0.
        const detail::TextMeasure measure = detail::MeasureInFont(*m_, font);
        detail::TextBoxLayout layout = detail::LayoutTextBox(
            Text, area, [&measure](std::string_view text) { return measure.Width(text); });
        count = layout.lines.size();
        remainder = std::move(layout.remainder);
        const float n = static_cast<float>(count);

        if (Height == 0) Height = (style.padding_bottom + style.padding_top + line_height * n) / sf;
        float baseline = 0;
        if ((Align & detail::kAlignMiddle) != 0) {
            baseline = (inner_y + inner_height / 2) * sf + line_height * (2 - n) / 2;
        } else if ((Align & detail::kAlignBottom) != 0) {
            baseline = (inner_height + inner_y) * sf - (n - 1) * line_height;
        } else {
            baseline = inner_y * sf + line_height;
        }
        if (font != nullptr)
            baseline += m_->fonts.font_size * static_cast<float>(font->descent) / 1000.0f;

        // The frame goes first so that it lies under the text.
        if (Options != 1)
            DrawRect(X, Y, Width, Height, Options, style.box_border, style.box_radius);
        for (std::size_t i = 0; i < count; ++i) {
            detail::TextBoxLine& line = layout.lines[i];
            const bool plain_last = line.last && (Align & detail::kAlignJustify) != 0;
            detail::DrawTextLine(*m_, font, inner_x,
                                 (baseline + static_cast<float>(i) * line_height) / sf, inner_width,
                                 line.text, line.first ? indent : 0,
                                 plain_last ? detail::kAlignLeft : Align, false, "DrawTextBox");
        }
        detail::SetLastBounds(*m_, X * sf, s.page_height - Y * sf, (X + Width) * sf,
                              s.page_height - Y * sf - n * line_height);
    }
    if (Options != 1) {
        SetXY(X, Y + Height);
    } else {
        SetXY(X, Y + static_cast<float>(count) * line_height / sf);
    }
    return remainder;
} catch (...) {
    detail::RethrowFailure("DrawTextBox");
}

void Pagora::SetBoxStyle(float LineSpacing, float Indentation, float PaddingLeft, float PaddingTop,
                         float PaddingRight, float PaddingBottom, std::int32_t BoxBorder,
                         float Ray) try {
    detail::TextBoxStyle& style = m_->content.kept.box_style;
    const float sf = m_->writer.scale_factor;
    if (LineSpacing >= 0) m_->content.line_spacing = LineSpacing;
    style.indentation = Indentation * sf;
    style.padding_left = PaddingLeft * sf;
    style.padding_top = PaddingTop * sf;
    style.padding_right = PaddingRight * sf;
    style.padding_bottom = PaddingBottom * sf;
    style.box_border = BoxBorder;
    style.box_radius = Ray;
} catch (...) {
    detail::RethrowFailure("SetBoxStyle");
}

} // namespace pagora
