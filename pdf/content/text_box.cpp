// Text boxes: a plain text wrapped into a rectangle, the rest handed back.
#include "pdf/content/text.h"
#include "pdf/content/text_box_layout.h"

#include "pdf/content/content.h"
#include "pdf/fonts/font_state.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <cstddef>
#include <string>

namespace pagora {

namespace {

// Lays out the text from `from` on into the box, draws the frame and the lines and moves the
// position below them; the layout hands back the rest in `form`.
detail::TextBoxLayout DrawBox(Pagora& pdf, float X, float Y, float Width, float Height,
                              std::string_view text, std::size_t from, std::int32_t Align,
                              std::int32_t Options, detail::RestForm form,
                              std::string_view operation) {
    Pagora::Members& m = detail::StateOf(pdf);
    const detail::WriterState& s = m.writer;
    const detail::TextBoxStyle& style = m.content.kept.box_style;
    const float sf = s.scale_factor;

    if (Width == 0) Width = pdf.GetPageWidth(true) - X;
    const detail::BoxInterior box =
        detail::InteriorOf(style, sf, X, Y, Width, Height, pdf.GetPageHeight(true));
    // One record for the whole box: its lines are measured, placed and drawn in the one font.
    const detail::FontRecord* font = detail::CurrentFontRecord(m.fonts);
    const float line_height = detail::TextHeightIn(m, font) * sf * m.content.line_spacing;

    detail::TextBoxLayout layout;
    layout.rest_from = text.size();
    if (from < text.size()) {
        detail::TextBoxArea area;
        area.inner_width = box.width;
        area.inner_height = box.height;
        area.scale_factor = sf;
        area.line_height = line_height;
        area.indent = box.indent;
        area.align = Align;
        // Nothing the widths depend on changes while the box is laid out; without a font every
        // width is 0.
        const detail::TextMeasure measure = detail::MeasureInFont(m, font);
        layout = detail::LayoutTextBox(
            text, area, [&measure](std::string_view part) { return measure.Width(part); }, from,
            form);
        const float n = static_cast<float>(layout.lines.size());

        if (Height == 0) Height = (style.padding_bottom + style.padding_top + line_height * n) / sf;
        float baseline = 0;
        if ((Align & detail::kAlignMiddle) != 0) {
            baseline = (box.y + box.height / 2) * sf + line_height * (2 - n) / 2;
        } else if ((Align & detail::kAlignBottom) != 0) {
            baseline = (box.height + box.y) * sf - (n - 1) * line_height;
        } else {
            baseline = box.y * sf + line_height;
        }
        if (font != nullptr)
            baseline += m.fonts.font_size * static_cast<float>(font->descent) / 1000.0f;

        // The frame goes first so that it lies under the text.
        if (Options != 1)
            pdf.DrawRect(X, Y, Width, Height, Options, style.box_border, style.box_radius);
        for (std::size_t i = 0; i < layout.lines.size(); ++i) {
            detail::TextBoxLine& line = layout.lines[i];
            const bool plain_last = line.last && (Align & detail::kAlignJustify) != 0;
            detail::DrawTextLine(m, font, box.x,
                                 (baseline + static_cast<float>(i) * line_height) / sf, box.width,
                                 line.text, line.first ? box.indent : 0,
                                 plain_last ? detail::kAlignLeft : Align, false, operation);
        }
        detail::SetLastBounds(m, X * sf, s.page_height - Y * sf, (X + Width) * sf,
                              s.page_height - Y * sf - n * line_height);
    } else if (from > text.size()) {
        detail::RaiseError(detail::kErrInvalidCall, operation);
    }
    if (Options != 1) {
        pdf.SetXY(X, Y + Height);
    } else {
        pdf.SetXY(X, Y + static_cast<float>(layout.lines.size()) * line_height / sf);
    }
    return layout;
}

} // namespace

std::string Pagora::DrawTextBox(float X, float Y, float Width, float Height, std::string_view Text,
                                std::int32_t Align, std::int32_t Options) try {
    return DrawBox(*this, X, Y, Width, Height, Text, 0, Align, Options, detail::RestForm::kText,
                   "DrawTextBox")
        .remainder;
} catch (...) {
    detail::RethrowFailure("DrawTextBox");
}

std::size_t Pagora::DrawTextBoxFrom(float X, float Y, float Width, float Height,
                                    std::string_view Text, std::size_t From, std::int32_t Align,
                                    std::int32_t Options) try {
    return DrawBox(*this, X, Y, Width, Height, Text, From, Align, Options,
                   detail::RestForm::kOffset, "DrawTextBoxFrom")
        .rest_from;
} catch (...) {
    detail::RethrowFailure("DrawTextBoxFrom");
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
