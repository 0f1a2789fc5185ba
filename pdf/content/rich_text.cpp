// Rich text: named text styles and tagged text laid out in a box.
#include "pdf/content/rich_text_layout.h"

#include "pdf/content/content.h"
#include "pdf/content/text.h"
#include "pdf/fonts/font_state.h"
#include "pdf/writer/writer.h"

#include <cmath>
#include <string>

namespace pagora {

namespace {

// Fonts of the rich text: levels select their font through SetFont and are measured in the
// document's current text state.
class DocumentRichFonts : public detail::RichTextFonts {
public:
    explicit DocumentRichFonts(Pagora& pdf, Pagora::Members& m) : pdf_(pdf), m_(m) {}

    std::int32_t Select(const detail::TextTagRecord& level) override {
        pdf_.SetFont(level.font_family, level.font_size, level.font_style, level.encoding);
        return m_.fonts.kept.current_font;
    }

    detail::RichFont Font(std::int32_t index, float size) override {
        const detail::FontRecord* found = detail::FontAt(m_.fonts, index);
        if (found == nullptr) detail::RaiseError(detail::kErrSubscript, "DrawTextRich");
        const detail::FontRecord& record = *found;
        detail::RichFont font;
        font.measure = detail::MeasureInFont(m_, &record);
        font.measure.size = size;
        font.line_height = record.line_height;
        font.descent = record.descent;
        return font;
    }

private:
    Pagora& pdf_;
    Pagora::Members& m_;
};

bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// Level 0 is the call's own style. Untagged text gets a background only once the caller has
// chosen a fill colour: the page's starting black would bury every untagged word.
detail::TextTagRecord CallLevel(const Pagora::Members& m) {
    const detail::ContentState& c = m.content;
    detail::TextTagRecord level0;
    level0.font_family = m.fonts.font_family;
    level0.font_style = m.fonts.kept.font_style;
    level0.encoding = m.fonts.font_encoding;
    level0.font_size = m.fonts.font_size;
    level0.font_index = m.fonts.kept.current_font;
    if (!c.no_text_color) level0.font_color = c.text_color;
    if (!c.no_fill && c.fill_color_chosen) level0.back_color = c.fill_color;
    return level0;
}

// The call's font and the colours the fragments change, which the call gives back.
class CallStyle {
public:
    CallStyle(Pagora& pdf, Pagora::Members& m, detail::TextTagRecord level0)
        : pdf_(pdf), m_(m), level0_(std::move(level0)), fill_color_(m.content.fill_color),
          fill_pattern_color_(m.content.kept.fill_pattern_color), no_fill_(m.content.no_fill),
          text_color_(m.content.text_color), text_pattern_color_(m.content.kept.text_pattern_color),
          no_text_color_(m.content.no_text_color) {}

    const detail::TextTagRecord& Level0() const { return level0_; }
    const std::string& TextPatternColor() const { return text_pattern_color_; }

    void SelectFont() const {
        pdf_.SetFont(level0_.font_family, level0_.font_size, level0_.font_style, level0_.encoding);
    }

    // The content's fill colour is written back only once fragments may have changed it.
    void Restore(bool write_fill) const {
        detail::ContentState& c = m_.content;
        SelectFont();
        c.text_color = text_color_;
        c.kept.text_pattern_color = text_pattern_color_;
        c.no_text_color = no_text_color_;
        if (write_fill)
            detail::WriteColorFill(m_, no_fill_ ? std::string() : fill_color_, fill_pattern_color_);
        c.fill_color = fill_color_;
        c.kept.fill_pattern_color = fill_pattern_color_;
        c.no_fill = no_fill_;
    }

private:
    Pagora& pdf_;
    Pagora::Members& m_;
    detail::TextTagRecord level0_;
    std::string fill_color_;
    std::string fill_pattern_color_;
    bool no_fill_;
    std::string text_color_;
    std::string text_pattern_color_;
    bool no_text_color_;
};

// Tags select their fonts while the text is read and fragments while it is drawn: whatever fails
// on the way (a tag's size the file cannot hold, a refused text), the call's font, size and
// colours are in force again afterwards, never a tag's.
class RestoreOnFailure {
public:
    explicit RestoreOnFailure(const CallStyle& style) : style_(style) {}
    RestoreOnFailure(const RestoreOnFailure&) = delete;
    RestoreOnFailure& operator=(const RestoreOnFailure&) = delete;
    ~RestoreOnFailure() {
        if (!armed_) return;
        try {
            style_.Restore(drawing_);
        } catch (...) {
            // The first failure is the one the caller hears of.
        }
    }
    void Drawing() { drawing_ = true; }
    void Disarm() { armed_ = false; }

private:
    const CallStyle& style_;
    bool drawing_ = false;
    bool armed_ = true;
};

// The text prepared (its tags replaced) and laid out; `unprepared` is the rest of the text past
// what was prepared, when only a part of it was.
struct PreparedLayout {
    bool continued = false;
    std::string prepared;
    std::string_view unprepared;
    detail::RichTextLayout layout;
};

// A box of a given height reads the text only down to its bottom: the text is prepared and laid
// out a piece at a time, each twice the last, until the layout stops inside the piece, so a text
// flowed box after box is not prepared whole again for every box. The rest is prepared in the
// pass that hands it back. A box sized by its text, or a text too short, is prepared whole.
PreparedLayout PrepareAndLayOut(std::string_view text, bool piecewise,
                                const detail::RichTextPreparer& preparer,
                                const detail::RichTextState& tags,
                                const detail::TextTagRecord& level0,
                                const detail::RichTextArea& area, detail::RichTextFonts& fonts) {
    PreparedLayout result;
    if (piecewise) {
        std::string_view rest = text;
        result.continued = rest.front() == detail::kRichContinuation;
        if (result.continued) rest.remove_prefix(1);
        constexpr std::size_t kFirstPiece = 8192;
        for (std::size_t length = kFirstPiece; length < rest.size(); length *= 2) {
            const std::size_t cut = preparer.Cut(rest, length);
            result.prepared.clear();
            preparer.Append(result.prepared, rest.substr(0, cut));
            try {
                result.layout = detail::LayoutRichText(result.prepared, result.continued, tags,
                                                       level0, area, fonts);
            } catch (...) {
                break; // the whole text decides what is wrong with it
            }
            // The layout read no further than two characters past where it stopped.
            if (result.layout.stopped && result.layout.stopped_at + 2 < result.prepared.size()) {
                result.unprepared = rest.substr(cut);
                return result;
            }
        }
    }
    result.prepared = detail::PrepareRichText(text, tags, result.continued);
    result.layout =
        detail::LayoutRichText(result.prepared, result.continued, tags, level0, area, fonts);
    return result;
}

// Where a line starts across the box, by the alignment; justified lines set the gap added after
// each blank, which a line without blanks keeps from the line before.
float LineStart(const detail::RichLineRecord& line, const detail::BoxInterior& box,
                std::int32_t align, float& gap) {
    float free = box.width - line.width;
    float x = box.x;
    if ((align & detail::kAlignRight) != 0) {
        x = box.x + free;
    } else if ((align & detail::kAlignCentre) != 0) {
        x = box.x + free / 2;
    } else if ((align & detail::kAlignJustify) != 0) {
        if (line.ends_paragraph) free = 0;
        if (line.blank_count != 0) gap = free / static_cast<float>(line.blank_count);
    }
    if (line.starts_paragraph) x += box.indent;
    return x;
}

// Draws one fragment at current_x (in points) on the line whose baseline is current_y, its
// background first, and moves current_x past it.
void DrawFragment(Pagora& pdf, Pagora::Members& m, const CallStyle& call,
                  const detail::RichFragmentRecord& fragment, float gap, float current_y,
                  float& current_x) {
    detail::WriterState& s = m.writer;
    detail::ContentState& c = m.content;
    const float sf = s.scale_factor;
    pdf.SetFont(fragment.font_family, fragment.font_size, fragment.font_style, fragment.encoding);
    const detail::FontRecord* font = detail::CurrentFontRecord(m.fonts);
    const float g = fragment.trailing_blank > 0 ? gap : 0;
    const bool background = !fragment.back_color.empty();
    if (background) {
        detail::WriteColorFill(m, fragment.back_color, std::string());
        const float th = detail::TextHeightIn(m, font);
        const float t = fragment.blank_after_close ? fragment.trailing_blank : 0;
        detail::WriteContent(s, detail::FormatReal(s, current_x) + " " +
                                    detail::FormatUnits(s, current_y / sf + th / 4) + " " +
                                    detail::FormatUnits(s, g + fragment.width - t) + " " +
                                    detail::FormatUnits(s, -th) + " re");
        detail::WritePaintOperator(m, detail::kFillPath | detail::kNoStroke);
    }
    c.text_color = fragment.font_color;
    c.kept.text_pattern_color =
        fragment.font_color == call.Level0().font_color ? call.TextPatternColor() : std::string();
    c.no_text_color = fragment.font_color.empty();
    // The text line switches to the text colour only when it differs from the fill colour; after
    // a background the content's fill is the background's, so a text in the fill colour would
    // vanish into it.
    if (background && c.text_color == c.fill_color &&
        c.kept.text_pattern_color == c.kept.fill_pattern_color) {
        detail::WriteColorFill(m, c.text_color, c.kept.text_pattern_color);
    }
    std::string text = fragment.text;
    detail::DrawTextLine(m, font, current_x / sf, current_y / sf, 0, text, 0, detail::kAlignLeft,
                         false, "DrawTextRich");
    current_x = c.current_x + g * sf;
}

} // namespace

void Pagora::SetTextTag(const std::string& TagName, const std::string& FontFamily, float FontSize,
                        std::int32_t FontStyle, std::int32_t Encoding, std::string_view FontColor,
                        std::string_view BackColor) try {
    detail::RichTextState& tags = m_->content.kept.rich_text;
    if (TagName.empty()) {
        tags.text_tags.clear();
        return;
    }
    detail::TextTagRecord* found = nullptr;
    for (detail::TextTagRecord& tag : tags.text_tags) {
        if (tag.name == TagName) {
            found = &tag;
            break;
        }
    }
    if (found == nullptr) {
        if (tags.text_tags.size() >= detail::kMaxTextTags) return;
        found = &detail::AppendRecord(tags.text_tags, m_->writer.memory_factor);
    }
    detail::TextTagRecord& tag = *found;
    tag.name = TagName;
    tag.font_family = FontFamily;
    tag.font_style = FontStyle;
    tag.encoding = Encoding;
    tag.font_size = FontSize;
    tag.font_index = detail::kNoFont;
    // A pattern's own colour is dropped: a tag's colour is one colour string.
    tag.font_color =
        FontColor.empty() ? std::string() : detail::ParseColor(*m_, FontColor, "SetTextTag").color;
    tag.back_color =
        BackColor.empty() ? std::string() : detail::ParseColor(*m_, BackColor, "SetTextTag").color;
} catch (...) {
    detail::RethrowFailure("SetTextTag");
}

std::string Pagora::DrawTextRich(float X, float Y, float Width, float Height, std::string_view Text,
                                 std::int32_t Align, std::int32_t Options) try {
    Members& m = *m_;
    detail::ContentState& c = m.content;
    const detail::TextBoxStyle& style = c.kept.box_style;
    const float sf = m.writer.scale_factor;

    if (Width == 0) Width = GetPageWidth(true) - X;
    const detail::BoxInterior box =
        detail::InteriorOf(style, sf, X, Y, Width, Height, GetPageHeight(true));
    const float y0 = box.y;
    const float h = box.height;

    if (IsBlankText(Text)) return {};
    if (detail::CurrentFontRecord(m.fonts) == nullptr)
        detail::RaiseError(detail::kErrSubscript, "DrawTextRich");

    const CallStyle call(*this, m, CallLevel(m));
    RestoreOnFailure on_failure(call);

    detail::RichTextArea area;
    area.inner_width = box.width;
    area.indent = box.indent;
    area.line_spacing = c.line_spacing;
    area.scale_factor = sf;
    // A box of a given height needs the lines down to the first one that does not fit: once the
    // finished lines are clearly taller than the box, that line is among them, the text is
    // taller than the box (so it is placed from the top, whatever the alignment) and the rest
    // is handed back from the line before it. The margin keeps the rounding of the sums below
    // from deciding. A box sized by its text lays out all of it.
    if (Height != 0) area.stop_height = h + 0.01f * std::abs(h) + 1.0f;
    DocumentRichFonts fonts(*this, m);
    const detail::RichTextPreparer preparer(c.kept.rich_text);
    const PreparedLayout laid =
        PrepareAndLayOut(Text, Height != 0 && preparer.Piecewise(), preparer, c.kept.rich_text,
                         call.Level0(), area, fonts);
    const detail::RichTextLayout& layout = laid.layout;

    // The frame lies under the text.
    if (Height == 0) Height = box.vertical_padding + layout.text_height;
    if (Options != 1) DrawRect(X, Y, Width, Height, Options, style.box_border, style.box_radius);
    call.SelectFont();
    on_failure.Drawing();

    float v = 0;
    if ((Align & detail::kAlignMiddle) != 0) {
        v = (h - layout.text_height) / 2;
    } else if ((Align & detail::kAlignBottom) != 0) {
        v = h - layout.text_height;
    }
    // A text taller than its box fills it from the top, as top alignment does: placed by its
    // middle or bottom it would begin above the box, and the lines the box cannot hold would be
    // lost instead of handed back.
    if (v < 0) v = 0;
    float current_y = (y0 + v) * sf;
    // A line ending exactly on the inner bottom must not be refused for a rounding difference.
    constexpr float kTolerance = 0.001f;
    float gap = 0;
    std::string result;
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const detail::RichLineRecord& line = layout.lines[i];
        current_y += line.height * sf;
        if ((h + line.descent + y0) * sf + kTolerance < current_y) {
            // When not even the first line fits, the whole text goes back rather than being lost.
            result = i == 0 ? std::string(Text)
                            : detail::RichRemainder(layout, laid.prepared, layout.lines[i - 1],
                                                    laid.unprepared, &preparer);
            break;
        }
        float current_x = LineStart(line, box, Align, gap) * sf;
        for (const detail::RichFragmentRecord& fragment : line.fragments) {
            // A fragment of an empty text (a closing tag after a blank) has nothing to show.
            if (!fragment.text.empty())
                DrawFragment(*this, m, call, fragment, gap, current_y, current_x);
        }
        current_y -= line.descent * sf;
    }

    if (Options != 0) {
        SetXY(X, Y + Height);
    } else {
        SetXY(X, current_y / sf);
    }
    on_failure.Disarm();
    call.Restore(true);
    return result;
} catch (...) {
    detail::RethrowFailure("DrawTextRich");
}

} // namespace pagora
