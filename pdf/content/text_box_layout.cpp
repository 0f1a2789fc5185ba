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
// last paragraph stays empty when it is, and so does the first unless the box reads on from a
// paragraph that an earlier box began with).
class Paragraphs {
public:
    Paragraphs(std::string_view text, std::size_t from, bool blank_first)
        : text_(text), from_(from), blank_first_(blank_first) {}
    bool Next(std::string_view& paragraph) {
        if (done_) return false;
        start_ = from_;
        const std::size_t at = text_.find('\r', from_);
        if (at == std::string_view::npos) {
            paragraph = text_.substr(from_);
            done_ = true;
        } else {
            paragraph = text_.substr(from_, at - from_);
            if (paragraph.empty() && blank_first_) paragraph = kBlank;
            from_ = at + 1;
            if (from_ < text_.size() && text_[from_] == '\n') ++from_;
        }
        blank_first_ = true;
        return true;
    }
    bool Done() const { return done_; }
    // The text after the last paragraph given: one paragraph at least (maybe empty) unless done.
    std::string_view Later() const { return done_ ? std::string_view() : text_.substr(from_); }
    // Where the last paragraph given begins, and where the next one would.
    std::size_t Start() const { return start_; }
    std::size_t NextStart() const { return done_ ? text_.size() : from_; }
    // Whether the last paragraph given is an empty one read as a blank: not in the text.
    bool ReadAsBlank(std::string_view paragraph) const { return paragraph.data() == kBlank.data(); }

private:
    static constexpr std::string_view kBlank = " ";
    std::string_view text_;
    std::size_t from_ = 0;
    std::size_t start_ = 0;
    bool blank_first_ = false;
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

// The words of a paragraph, split at every blank, each with where it begins in the text. With
// `collapse` the paragraph is read as if each run of blanks were one: the empty words between
// blanks of a run are left out, and the first and last (a blank at either end) kept.
struct Words {
    std::vector<std::string> text;
    std::vector<std::size_t> start;
};

Words Split(std::string_view paragraph, std::size_t paragraph_start, bool collapse) {
    Words words;
    const auto add = [&](std::size_t from, std::size_t to, bool last) {
        if (collapse && from == to && from > 0 && !last) return;
        words.text.emplace_back(paragraph.substr(from, to - from));
        words.start.push_back(paragraph_start + from);
    };
    std::size_t start = 0;
    for (std::size_t at; (at = paragraph.find(' ', start)) != std::string_view::npos;
         start = at + 1) {
        add(start, at, false);
    }
    add(start, paragraph.size(), true);
    return words;
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

// Whether a box that reads the text from `from` on begins inside a paragraph: at the
// continuation marker of a handed-back rest, or after the blank where an earlier box broke.
bool ContinuesAParagraph(std::string_view text, std::size_t from) {
    if (from == 0) return !text.empty() && text.front() == kContinuationMarker;
    const char before = text[from - 1];
    return before != '\r' && !(before == '\n' && from >= 2 && text[from - 2] == '\r');
}

} // namespace

TextBoxLayout LayoutTextBox(std::string_view text, const TextBoxArea& area, const TextWidth& width,
                            std::size_t from, RestForm form) {
    if (from > text.size()) RaiseError(kErrInvalidCall, "DrawTextBox");
    const bool continued = ContinuesAParagraph(text, from);
    // Justified text has its runs of blanks read as one, paragraph by paragraph as the box reads
    // them and in the copy of the rest.
    const bool collapse = (area.align & kAlignJustify) != 0;
    Paragraphs paragraphs(text, from == 0 && continued ? 1 : from, from > 0 && !continued);

    const float limit = area.inner_width;
    const float space = width(" ");
    const bool one_line = (area.align & (kAlignShrink | kAlignFit)) != 0;
    const bool cut = (area.align & kAlignCut) != 0;

    TextBoxLayout layout;
    layout.rest_from = text.size();
    for (std::string_view paragraph; paragraphs.Next(paragraph);) {
        Words words = Split(paragraph, paragraphs.Start(), collapse);
        for (std::string& word : words.text)
            CutToWidth(word, limit, width);
        const std::size_t count = words.text.size();

        std::size_t next = 0;
        bool first_line = true;
        while (next < count) {
            std::string line = words.text[next];
            float used = (first_line ? area.indent : 0.0f) + width(words.text[next]);
            ++next;
            long gaps = 0;
            while (next < count) {
                const float word_width = width(words.text[next]);
                if (static_cast<float>(gaps + 1) * space + used + word_width <= limit || one_line) {
                    line += ' ';
                    line += words.text[next];
                    used += word_width;
                    ++gaps;
                    ++next;
                } else if (cut) {
                    line += ' ';
                    line += words.text[next];
                    line += kCutMarker;
                    CutToWidth(line, limit, width);
                    next = count;
                } else {
                    break;
                }
            }
            TextBoxLine stored;
            stored.text = std::move(line);
            stored.first = first_line && !(continued && layout.lines.empty());
            stored.last = next >= count;
            layout.lines.push_back(std::move(stored));
            first_line = false;

            const float available = area.inner_height * area.scale_factor;
            const float needed = static_cast<float>(layout.lines.size() + 1) * area.line_height;
            if (!cut && available < needed) {
                // A break inside an empty paragraph read as a blank (a box narrower than a
                // blank) goes on after it: the blank is not in the text to go on from.
                const bool inside = next < count && !paragraphs.ReadAsBlank(paragraph);
                layout.rest_from = inside ? words.start[next] : paragraphs.NextStart();
                if (form == RestForm::kText) {
                    std::string& rest = layout.remainder;
                    if (next < count) {
                        rest += kContinuationMarker;
                        rest += Join(words.text, next);
                    }
                    AppendLaterParagraphs(rest, paragraphs, collapse);
                }
                return layout;
            }
        }
    }
    return layout;
}

} // namespace pagora::detail
