#include "pdf/content/rich_text_layout.h"

#include "pdf/writer/writer.h"

#include <algorithm>
#include <utility>

namespace pagora::detail {

namespace {

constexpr std::int32_t kKeepStyle = -1;

// The tag a marker names by its number from 1. A number that names no tag in force (0, or one
// past the tags, as any text may carry) leaves the style around it as it is.
const TextTagRecord& MarkedTag(const RichTextState& tags, unsigned char number) {
    static const TextTagRecord kNoTag;
    return number >= 1 && number <= tags.text_tags.size() ? tags.text_tags[number - 1u] : kNoTag;
}

bool IsBlankLine(const RichLineRecord& line) {
    return line.fragments.empty() && line.height == 0 && line.descent == 0;
}

// The scan of one prepared text: the pending word is kept as a stretch of the text with the sum
// of its widths, so reading a character costs the same however long the word has grown.
class RichScan {
public:
    RichScan(std::string_view text, const RichTextState& tags, const RichTextArea& area,
             RichTextFonts& fonts)
        : text_(text), tags_(tags), area_(area), fonts_(fonts) {}

    RichTextLayout Run(bool continued, const TextTagRecord& level0) {
        layout_.markers.push_back(RichMarkerNode{});
        levels_.push_back(level0);
        measure_ = fonts_.Font(level0.font_index, level0.font_size).measure;
        RichLineRecord& first = layout_.lines.emplace_back();
        first.width = continued ? 0 : area_.indent;
        first.starts_paragraph = !continued;

        const std::size_t n = text_.size();
        // A continued text begins with the neutral entry of the open markers it was cut with:
        // it stands for the style of the call, never for tag 255.
        bool neutral_pending = continued;
        for (std::size_t p = 0; p < n; ++p) {
            const char c = text_[p];
            if (c == kRichOpenMarker) {
                if (p + 1 >= n) RaiseError(kErrInvalidCall, "DrawTextRich");
                StorePending(false, false);
                ++p;
                if (neutral_pending && p == 1) {
                    neutral_pending = false;
                } else {
                    Open(static_cast<unsigned char>(text_[p]));
                }
            } else if (c == kRichCloseMarker) {
                if (levels_.size() < 2) RaiseError(kErrInvalidCall, "DrawTextRich");
                // The blank after a closing tag belongs to the closed style.
                const bool blank = p + 2 < n && text_[p + 2] == ' ';
                StorePending(blank, true);
                ++p;
                Close();
            } else if (c == ' ' || c == '\r') {
                if (word_length_ > 0) StorePending(c == ' ', false);
                if (c == '\r') {
                    RichLineRecord& line = layout_.lines.back();
                    line.ends_paragraph = true;
                    line.open_markers = node_;
                    line.remainder = p;
                    layout_.text_height += line.height - line.descent;
                    NewLine(area_.indent, true);
                    if (layout_.text_height > area_.stop_height) return Stopped(p);
                    continue; // no wrap test after a paragraph break
                }
            } else {
                if (word_length_ == 0) word_start_ = p;
                ++word_length_;
                word_sum_ += measure_.CodeWidth(c);
                word_width_ = measure_.WidthOfSums(word_sum_, 0, word_length_);
            }
            if (word_width_ + layout_.lines.back().width > area_.inner_width) {
                Wrap(std::min(p + 1, n));
                if (layout_.text_height > area_.stop_height) return Stopped(p);
            }
        }
        if (word_length_ > 0) StorePending(false, false);
        RichLineRecord& last = layout_.lines.back();
        last.ends_paragraph = true;
        last.open_markers = node_;
        last.remainder = n;
        layout_.text_height += last.height - last.descent;
        return std::move(layout_);
    }

private:
    RichTextLayout Stopped(std::size_t at) {
        layout_.stopped = true;
        layout_.stopped_at = at;
        return std::move(layout_);
    }

    void Open(unsigned char number) {
        layout_.markers.push_back(RichMarkerNode{static_cast<char>(number), node_});
        node_ = static_cast<std::int32_t>(layout_.markers.size() - 1);
        TextTagRecord level = DeriveLevel(levels_.back(), MarkedTag(tags_, number));
        level.font_index = fonts_.Select(level);
        measure_ = fonts_.Font(level.font_index, level.font_size).measure;
        levels_.push_back(std::move(level));
    }

    void Close() {
        node_ = layout_.markers[static_cast<std::size_t>(node_)].parent;
        levels_.pop_back();
        const TextTagRecord& level = levels_.back();
        measure_ = fonts_.Font(level.font_index, level.font_size).measure;
    }

    // Stores the pending word (with a blank after it when asked) as the next fragment of the
    // current line in the level in force, and empties it. A closing tag stores even an empty
    // word.
    void StorePending(bool blank, bool after_close) {
        if (word_length_ == 0 && !blank && !after_close) return;
        std::string text(text_.substr(word_start_, word_length_));
        RichLineRecord& line = layout_.lines.back();
        float trailing = 0;
        if (blank) {
            text += ' ';
            ++line.blank_count;
            trailing = measure_.Width(" ");
        }
        AddFragment(std::move(text), trailing, blank && after_close);
        word_length_ = 0;
        word_sum_ = 0;
        word_width_ = 0;
    }

    void AddFragment(std::string text, float trailing, bool after_close) {
        const TextTagRecord& level = levels_.back();
        const bool first_line = layout_.lines.size() == 1;
        RichLineRecord& line = layout_.lines.back();
        RichFragmentRecord& fragment = line.fragments.emplace_back();
        fragment.width = measure_.Width(text);
        fragment.text = std::move(text);
        fragment.font_family = level.font_family;
        fragment.font_style = level.font_style;
        fragment.encoding = level.encoding;
        fragment.font_index = level.font_index;
        fragment.font_size = level.font_size;
        fragment.font_color = level.font_color;
        fragment.back_color = level.back_color;
        fragment.trailing_blank = trailing;
        fragment.blank_after_close = after_close;
        line.width += fragment.width;

        // Each line takes the metrics of its tallest fragment.
        const RichFont font = fonts_.Font(level.font_index, level.font_size);
        const float size = level.font_size;
        float h = static_cast<float>(font.line_height) * size / 1000.0f / area_.scale_factor;
        if (!first_line) h *= area_.line_spacing;
        const float d = size * static_cast<float>(font.descent) / 1000.0f / area_.scale_factor;
        if (h + d > line.height) {
            line.descent = d;
            line.height = d + h;
        }
    }

    // Closes the current line before the pending word, which moves to the next line; the rest
    // begins at `next` less the pending word.
    void Wrap(std::size_t next) {
        RichLineRecord& line = layout_.lines.back();
        if (!line.fragments.empty() && line.fragments.back().trailing_blank > 0) {
            RichFragmentRecord& last = line.fragments.back();
            line.width -= last.trailing_blank;
            last.width -= last.trailing_blank;
            last.text.pop_back();
            last.trailing_blank = 0;
            --line.blank_count;
        }
        layout_.text_height += line.height - line.descent;
        line.open_markers = node_;
        line.remainder = next - word_length_;
        NewLine(0, false);
    }

    void NewLine(float width, bool starts_paragraph) {
        std::vector<RichLineRecord>& lines = layout_.lines;
        // Of a run of empty lines (a word wider than the box makes one per character) only the
        // last can matter: empty lines draw nothing and always fit, and the text handed back
        // when the next line does not fit is the last one's rest.
        const std::size_t count = lines.size();
        if (count >= 2 && IsBlankLine(lines[count - 1]) && IsBlankLine(lines[count - 2])) {
            lines[count - 2] = std::move(lines[count - 1]);
            lines.pop_back();
        }
        RichLineRecord& line = lines.emplace_back();
        line.width = width;
        line.starts_paragraph = starts_paragraph;
    }

    std::string_view text_;
    const RichTextState& tags_;
    const RichTextArea& area_;
    RichTextFonts& fonts_;
    RichTextLayout layout_;
    std::vector<TextTagRecord> levels_;
    std::int32_t node_ = 0;
    TextMeasure measure_;
    std::size_t word_start_ = 0;
    std::size_t word_length_ = 0;
    long word_sum_ = 0;
    float word_width_ = 0;
};

} // namespace

std::string PrepareRichText(std::string_view text, const RichTextState& tags, bool& continued) {
    continued = !text.empty() && text.front() == kRichContinuation;
    if (continued) text.remove_prefix(1);
    std::string prepared = ReplaceText(text, "\r\n", "\r");
    if (prepared.find('<') == std::string::npos) return prepared;
    for (std::size_t i = 0; i < tags.text_tags.size(); ++i) {
        const std::string& name = tags.text_tags[i].name;
        const auto number = static_cast<char>(i + 1);
        prepared = ReplaceText(prepared, "<" + name + ">", std::string{kRichOpenMarker, number});
        prepared = ReplaceText(prepared, "</" + name + ">", std::string{kRichCloseMarker, number});
    }
    return prepared;
}

RichTextPreparer::RichTextPreparer(const RichTextState& tags) {
    const std::size_t count = tags.text_tags.size();
    bool in_name[256] = {};
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = tags.text_tags[i].name;
        if (name.empty()) piecewise_ = false;
        for (const char c : name)
            in_name[static_cast<unsigned char>(c)] = true;
        const auto number = static_cast<char>(i + 1);
        patterns_.push_back(Pattern{"<" + name + ">", {kRichOpenMarker, number}});
        patterns_.push_back(Pattern{"</" + name + ">", {kRichCloseMarker, number}});
        longest_ = std::max(longest_, name.size() + 3);
    }
    constexpr std::size_t kLess = '<';
    constexpr std::size_t kGreater = '>';
    for (const std::size_t b : {kLess, kGreater, std::size_t{'\r'}, std::size_t{'\n'}}) {
        if (in_name[b]) piecewise_ = false;
    }
    // The bytes markers are made of: their two kinds and the tag numbers.
    for (std::size_t b = 1; b <= std::max<std::size_t>(count, 2); ++b) {
        if (in_name[b] || b == kLess || b == kGreater) piecewise_ = false;
    }
}

std::size_t RichTextPreparer::Cut(std::string_view text, std::size_t length) const {
    if (length >= text.size()) return text.size();
    // No tag that could reach past the cut begins before it: a tag has one '<', its first byte.
    const std::size_t window = length > longest_ ? length - longest_ : 0;
    const std::size_t open = text.substr(window, length - window).find('<');
    if (open != std::string_view::npos) length = window + open;
    if (length > 0 && text[length - 1] == '\r' && text[length] == '\n') ++length;
    return length;
}

void RichTextPreparer::AppendTagAt(std::string& out, std::string_view piece, std::size_t at,
                                   std::size_t& from) const {
    for (const Pattern& pattern : patterns_) {
        if (piece.compare(at, pattern.text.size(), pattern.text) == 0) {
            out.append(pattern.marker, 2);
            from = at + pattern.text.size();
            return;
        }
    }
    out += '<';
}

void RichTextPreparer::Append(std::string& out, std::string_view piece) const {
    const std::size_t n = piece.size();
    std::size_t from = 0;
    // The next CR and the next '<' are each found by a search for one byte, much faster over a
    // long text than a search for either.
    std::size_t next_cr = piece.find('\r');
    std::size_t next_open = piece.find('<');
    while (next_cr != std::string_view::npos || next_open != std::string_view::npos) {
        const std::size_t at = std::min(next_cr, next_open);
        out.append(piece, from, at - from);
        from = at + 1;
        if (piece[at] == '\r') {
            out += '\r';
            if (from < n && piece[from] == '\n') ++from;
        } else {
            AppendTagAt(out, piece, at, from);
        }
        if (next_cr < from) next_cr = piece.find('\r', from);
        if (next_open < from) next_open = piece.find('<', from);
    }
    out.append(piece, from, std::string_view::npos);
}

TextTagRecord DeriveLevel(const TextTagRecord& outer, const TextTagRecord& tag) {
    TextTagRecord level = outer;
    level.name.clear();
    if (!tag.font_family.empty()) {
        level.font_family = tag.font_family;
        level.encoding = tag.encoding;
    }
    if (tag.font_size != 0) level.font_size = tag.font_size;
    // A tag adds style bits and never takes one away.
    if (tag.font_style != kKeepStyle) level.font_style = outer.font_style | tag.font_style;
    if (!tag.font_color.empty()) level.font_color = tag.font_color;
    if (!tag.back_color.empty()) level.back_color = tag.back_color;
    return level;
}

RichTextLayout LayoutRichText(std::string_view prepared, bool continued, const RichTextState& tags,
                              const TextTagRecord& level0, const RichTextArea& area,
                              RichTextFonts& fonts) {
    return RichScan(prepared, tags, area, fonts).Run(continued, level0);
}

std::string RichRemainder(const RichTextLayout& layout, std::string_view prepared,
                          const RichLineRecord& line, std::string_view unprepared,
                          const RichTextPreparer* preparer) {
    std::string open;
    for (std::int32_t node = line.open_markers; node > 0;
         node = layout.markers[static_cast<std::size_t>(node)].parent) {
        open += layout.markers[static_cast<std::size_t>(node)].index;
        open += kRichOpenMarker;
    }
    std::reverse(open.begin(), open.end());
    const std::string_view kept = prepared.substr(std::min(line.remainder, prepared.size()));
    std::string rest;
    // Room for the rest at once: it may be most of a long text.
    rest.reserve(3 + open.size() + kept.size() + unprepared.size());
    rest += {kRichContinuation, kRichOpenMarker, kRichNeutralIndex};
    rest += open;
    rest += kept;
    if (preparer != nullptr) {
        preparer->Append(rest, unprepared);
    } else {
        rest += unprepared;
    }
    return rest;
}

} // namespace pagora::detail
