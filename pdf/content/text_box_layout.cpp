#include "pdf/content/text_box_layout.h"

#include "pdf/content/text_measure.h"
#include "pdf/writer/writer.h"

#include <cstddef>
#include <utility>

namespace pagora::detail {

namespace {

// The paragraphs of a text one at a time, as views of the text itself: split only as far as a
// box reads it, so a text flowed box after box is not prepared whole again for every box. A CR
// LF counts as one CR; an empty paragraph between two CRs keeps its line as a single blank (the
// first and the last paragraph stay empty when they are).
class Paragraphs {
public:
    explicit Paragraphs(std::string_view text) : text_(text) {}
    bool Next(std::string_view& paragraph) {
        if (done_) return false;
        const std::size_t at = text_.find('\r', from_);
        if (at == std::string_view::npos) {
            paragraph = text_.substr(from_);
            done_ = true;
        } else {
            paragraph = text_.substr(from_, at - from_);
            if (paragraph.empty() && from_ > 0) paragraph = " ";
            from_ = at + 1;
            if (from_ < text_.size() && text_[from_] == '\n') ++from_;
        }
        return true;
    }
    bool Done() const { return done_; }
    // The text after the last paragraph given: one paragraph at least (maybe empty) unless done.
    std::string_view Later() const { return done_ ? std::string_view() : text_.substr(from_); }

private:
    std::string_view text_;
    std::size_t from_ = 0;
    bool done_ = false;
};

// Whether two blanks follow each other anywhere in the text. Every justified box reads its whole
// rest through here, so the text is tested a block at a time without a branch per character,
// which the compiler turns into vector instructions; the last block may test pairs again.
bool HasBlankRun(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    constexpr std::size_t kBlock = 32;
    if (n <= kBlock) {
        for (std::size_t i = 0; i + 1 < n; ++i) {
            if (p[i] == ' ' && p[i + 1] == ' ') return true;
        }
        return false;
    }
    // Tests the pairs that begin in the block at i.
    const auto pair_in_block = [p](std::size_t i) {
        unsigned char pairs = 0;
        for (std::size_t j = i; j < i + kBlock; ++j)
            pairs |= static_cast<unsigned char>((p[j] == ' ') & (p[j + 1] == ' '));
        return pairs != 0;
    };
    for (std::size_t i = 0; i + kBlock < n; i += kBlock) {
        if (pair_in_block(i)) return true;
    }
    return pair_in_block(n - 1 - kBlock);
}

// A verbatim run longer than this is copied before the walk reads on, while the text it copies
// is still in the cache.
constexpr std::size_t kCopyRun = std::size_t{1} << 16;

// Appends the paragraphs after the ones a box read as the next box would read them again: joined
// by CR LF, an empty one between two CRs as a blank, with `collapse` every run of blanks as one;
// CR LF goes in front when the rest already holds the end of the last paragraph read. A rest a
// box handed back is in that form already, so a text flowed box after box is copied in long runs
// as it stands, and the rest costs one read and one copy of it.
void AppendLaterParagraphs(std::string& rest, const Paragraphs& paragraphs, bool collapse) {
    if (paragraphs.Done()) return;
    const std::string_view later = paragraphs.Later();
    if (!rest.empty()) rest += "\r\n";
    // Exact for a text in that form; the first paragraph that is not widens it once.
    rest.reserve(rest.size() + later.size());
    bool widened = false;
    std::size_t run = 0; // the start of the text copied as it stands but not yet appended
    for (std::size_t from = 0;;) {
        const std::size_t at = later.find('\r', from);
        const bool last = at == std::string_view::npos;
        const std::size_t end = last ? later.size() : at;
        const std::string_view paragraph = later.substr(from, end - from);
        const std::size_t next =
            last ? end : at + (at + 1 < later.size() && later[at + 1] == '\n' ? 2 : 1);
        const bool as_it_stands = (last || (!paragraph.empty() && next == at + 2)) &&
                                  !(collapse && HasBlankRun(paragraph));
        if (!as_it_stands) {
            if (!widened) {
                // A new buffer: growing the string in place could double it.
                const std::size_t left = later.size() - run;
                std::string wider;
                wider.reserve(rest.size() + left + left / 8 + 16);
                wider += rest;
                rest.swap(wider);
                widened = true;
            }
            rest.append(later.substr(run, from - run));
            if (paragraph.empty()) {
                rest += ' ';
            } else if (collapse) {
                std::string collapsed(paragraph);
                CollapseBlankRuns(collapsed);
                rest += collapsed;
            } else {
                rest.append(paragraph);
            }
            if (!last) rest += "\r\n";
            run = next;
        } else if (next - run >= kCopyRun) {
            rest.append(later.substr(run, next - run));
            run = next;
        }
        if (last) break;
        from = next;
    }
    rest.append(later.substr(run));
}

std::vector<std::string> Split(std::string_view text, char delimiter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(delimiter, start)) != std::string_view::npos;
         start = at + 1) {
        parts.emplace_back(text.substr(start, at - start));
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

// A text too wide is cut to its longest beginning (dropping at least two characters) that fits
// with the cut marker appended. Widths grow with every character, so the beginnings that fit
// are all those up to one length, found by halving: a long word costs a few measurements of
// itself instead of one per dropped pair of characters.
void CutToWidth(std::string& text, float limit, const TextWidth& width) {
    if (width(text) <= limit) return;
    const auto fits = [&](std::size_t length) {
        std::string candidate = text.substr(0, length);
        candidate += kCutMarker;
        return width(candidate) <= limit;
    };
    if (text.size() < 2 || !fits(0)) RaiseError(kErrInvalidCall, "DrawTextBox");
    std::size_t low = 0;                // fits
    std::size_t high = text.size() - 1; // the first length that need not be tried
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    text.resize(low);
    text += kCutMarker;
}

std::string Join(const std::vector<std::string>& words, std::size_t from) {
    std::string joined;
    for (std::size_t i = from; i < words.size(); ++i) {
        if (i > from) joined += ' ';
        joined += words[i];
    }
    return joined;
}

} // namespace

TextBoxLayout LayoutTextBox(std::string_view text, const TextBoxArea& area,
                            const TextWidth& width) {
    const bool continued = !text.empty() && text.front() == kContinuationMarker;
    if (continued) text.remove_prefix(1);
    // Justified text has its runs of blanks collapsed, paragraph by paragraph as the box reads
    // them and in the copy of the rest.
    const bool collapse = (area.align & kAlignJustify) != 0;
    Paragraphs paragraphs(text);
    std::string collapsed;

    const float limit = area.inner_width;
    const float space = width(" ");
    const bool one_line = (area.align & (kAlignShrink | kAlignFit)) != 0;
    const bool cut = (area.align & kAlignCut) != 0;

    TextBoxLayout layout;
    for (std::string_view paragraph; paragraphs.Next(paragraph);) {
        if (collapse) {
            collapsed.assign(paragraph);
            CollapseBlankRuns(collapsed);
            paragraph = collapsed;
        }
        std::vector<std::string> words = Split(paragraph, ' ');
        for (std::string& word : words)
            CutToWidth(word, limit, width);

        std::size_t next = 0;
        bool first_line = true;
        while (next < words.size()) {
            std::string line = words[next];
            float used = (first_line ? area.indent : 0.0f) + width(words[next]);
            ++next;
            long gaps = 0;
            while (next < words.size()) {
                const float word_width = width(words[next]);
                if (static_cast<float>(gaps + 1) * space + used + word_width <= limit || one_line) {
                    line += ' ';
                    line += words[next];
                    used += word_width;
                    ++gaps;
                    ++next;
                } else if (cut) {
                    line += ' ';
                    line += words[next];
                    line += kCutMarker;
                    CutToWidth(line, limit, width);
                    next = words.size();
                } else {
                    break;
                }
            }
            TextBoxLine stored;
            stored.text = std::move(line);
            stored.first = first_line && !(continued && layout.lines.empty());
            stored.last = next >= words.size();
            layout.lines.push_back(std::move(stored));
            first_line = false;

            const float available = area.inner_height * area.scale_factor;
            const float needed = static_cast<float>(layout.lines.size() + 1) * area.line_height;
            if (!cut && available < needed) {
                std::string& rest = layout.remainder;
                if (next < words.size()) {
                    rest += kContinuationMarker;
                    rest += Join(words, next);
                }
                AppendLaterParagraphs(rest, paragraphs, collapse);
                return layout;
            }
        }
    }
    return layout;
}

} // namespace pagora::detail
