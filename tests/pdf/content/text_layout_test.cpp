#include "pdf/content/text_box_layout.h"
#include "pdf/content/text_measure.h"

#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace pagora::detail;

// Every character 500/1000 of the size wide, the blank 250.
std::array<std::int16_t, 256> FakeWidths() {
    std::array<std::int16_t, 256> widths{};
    widths.fill(500);
    widths[' '] = 250;
    return widths;
}

const std::array<std::int16_t, 256> kWidths = FakeWidths();

TextMeasure Measure(float size = 10) {
    TextMeasure measure;
    measure.widths = kWidths.data();
    measure.size = size;
    return measure;
}

TEST(MeasureText, CountsWidthsSpacingScalingAndUnits) {
    struct Case {
        const char* text;
        float char_spacing, word_spacing, scaling, scale_factor;
        float expected;
    } cases[] = {
        {"", 0, 0, 100, 1, 0},         {"abc", 0, 0, 100, 1, 15},
        {"abc", 1, 0, 100, 1, 18},     // one point per character
        {"a b", 0, 2, 100, 1, 14.5f},  // word spacing once per blank
        {"a  b", 0.5f, 1, 100, 1, 19}, // 5+2.5+2.5+5, two blanks, four characters
        {"abcd", 0, 0, 50, 1, 10},     // horizontal scaling
        {"abcd", 0, 0, 100, 2, 10},    // user units of two points
    };
    for (const Case& c : cases) {
        TextMeasure measure = Measure();
        measure.char_spacing = c.char_spacing;
        measure.word_spacing = c.word_spacing;
        measure.horizontal_scaling = c.scaling;
        measure.scale_factor = c.scale_factor;
        EXPECT_FLOAT_EQ(measure.Width(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(TextMeasure{}.Width("abc"), 0); // no font
}

TEST(PlanTextLine, AlignsOnTheExactHorizontalValue) {
    struct Case {
        std::int32_t align;
        float width;
        float expected_offset;
    } cases[] = {
        {0, 0, 0},    {1, 0, 0},       {3, 0, 0}, // 3 is not right alignment
        {2, 0, -15},  {4, 0, -7.5f},              // width 0: ends at x, centred on x
        {2, 100, 85}, {4, 100, 42.5f}, {2 + 128, 100, 0}, {2 + 8, 100, 85},
    };
    for (const auto& c : cases) {
        const TextLinePlan plan = PlanTextLine("abc", c.width, 0, c.align, Measure());
        EXPECT_FLOAT_EQ(plan.offset, c.expected_offset) << c.align;
        EXPECT_FLOAT_EQ(plan.drawn_width, 15);
        EXPECT_EQ(plan.adjust, LineAdjust::kNone);
    }
    // The indentation shifts the text and counts in the aligned width.
    const TextLinePlan indented = PlanTextLine("abc", 100, 10, kAlignRight, Measure());
    EXPECT_FLOAT_EQ(indented.offset, 85); // still ends at 100
    EXPECT_FLOAT_EQ(indented.box_width, 25);
}

TEST(PlanTextLine, JustifiesWithCollapsedBlanksAndOneWordSpacing) {
    const TextLinePlan plan = PlanTextLine("ab  cd e ", 50, 0, kAlignJustify, Measure());
    EXPECT_EQ(plan.text, "ab cd e");
    // Letters 25, two blanks of 2.5: 20 units spread over two gaps.
    EXPECT_EQ(plan.adjust, LineAdjust::kWordSpacing);
    EXPECT_FLOAT_EQ(plan.adjust_value, 10);
    EXPECT_FLOAT_EQ(plan.drawn_width, 50);
    EXPECT_FLOAT_EQ(plan.offset, 0);

    const TextLinePlan single = PlanTextLine("word", 50, 0, kAlignJustify, Measure());
    EXPECT_EQ(single.adjust, LineAdjust::kNone);
    EXPECT_FLOAT_EQ(single.drawn_width, 20);
}

TEST(PlanTextLine, ShrinksOrFitsMeasuredAtFullScale) {
    TextMeasure half = Measure();
    half.horizontal_scaling = 50; // ignored while shrinking or fitting
    const TextLinePlan narrow = PlanTextLine("abcd", 30, 0, kAlignShrink, half);
    EXPECT_EQ(narrow.adjust, LineAdjust::kNone);
    EXPECT_FLOAT_EQ(narrow.drawn_width, 20);

    const TextLinePlan shrunk = PlanTextLine("abcd", 10, 0, kAlignShrink, half);
    EXPECT_EQ(shrunk.adjust, LineAdjust::kShrink);
    EXPECT_FLOAT_EQ(shrunk.adjust_value, 50);

    const TextLinePlan stretched = PlanTextLine("abcd", 30, 0, kAlignFit, half);
    EXPECT_EQ(stretched.adjust, LineAdjust::kFit);
    EXPECT_FLOAT_EQ(stretched.adjust_value, 150);
    EXPECT_FLOAT_EQ(stretched.drawn_width, 20); // decorations follow the measured text

    EXPECT_EQ(PlanTextLine("", 30, 0, kAlignFit, half).adjust, LineAdjust::kNone);
    EXPECT_EQ(PlanTextLine("abcd", 10, 0, kAlignFit, half).adjust, LineAdjust::kShrink);
}

// Text boxes with one unit per character (blank and cut marker included).
float OnePerCharacter(std::string_view text) {
    return static_cast<float>(text.size());
}

TextBoxArea Area(float width, float lines, std::int32_t align = 9) {
    TextBoxArea area;
    area.inner_width = width;
    area.line_height = 1;
    area.inner_height = lines; // room for this many lines of height 1
    area.align = align;
    return area;
}

std::vector<std::string> Texts(const TextBoxLayout& layout) {
    std::vector<std::string> texts;
    for (const auto& line : layout.lines)
        texts.push_back(line.text);
    return texts;
}

using Lines = std::vector<std::string>;

TEST(LayoutTextBox, WrapsWordsAndReturnsNothingWhenAllFits) {
    const TextBoxLayout layout = LayoutTextBox("aa bb cc dddd e", Area(5, 10), OnePerCharacter);
    EXPECT_EQ(Texts(layout), (Lines{"aa bb", "cc", "dddd", "e"}));
    EXPECT_EQ(layout.remainder, "");
    EXPECT_TRUE(layout.lines[0].first);
    EXPECT_FALSE(layout.lines[1].first);
    EXPECT_TRUE(layout.lines[3].last);
    EXPECT_FALSE(layout.lines[2].last);
}

TEST(LayoutTextBox, HandsBackTheRestAndContinuesItWithoutIndentation) {
    const std::string text = "aa bb cc dd\r\nee ff\r\ngg";
    TextBoxArea area = Area(5, 2);
    area.indent = 1;
    const TextBoxLayout first = LayoutTextBox(text, area, OnePerCharacter);
    // "aa bb" does not fit after the indentation; one line leaves room for no second one.
    EXPECT_EQ(Texts(first), (Lines{"aa", "bb cc"}));
    EXPECT_EQ(first.remainder, "\x01"
                               "dd\r\nee ff\r\ngg");

    const TextBoxLayout second = LayoutTextBox(first.remainder, area, OnePerCharacter);
    EXPECT_EQ(Texts(second), (Lines{"dd", "ee"}));
    EXPECT_EQ(second.remainder, "\x01"
                                "ff\r\ngg");
    EXPECT_FALSE(second.lines[0].first); // continued: drawn without indentation
    EXPECT_TRUE(second.lines[0].last);
    EXPECT_TRUE(second.lines[1].first);

    // A break at the end of a paragraph hands back whole paragraphs, without the marker.
    const TextBoxLayout whole = LayoutTextBox("aa\r\nbb\r\ncc", Area(5, 1), OnePerCharacter);
    EXPECT_EQ(whole.remainder, "bb\r\ncc");
}

// The paragraphs after the box come back as they were prepared, joined by CR LF: an empty
// paragraph between two CRs keeps its blank, a trailing CR its empty paragraph.
TEST(LayoutTextBox, HandsBackLaterParagraphsAsPrepared) {
    const struct {
        const char* text;
        const char* rest;
    } cases[] = {
        {"aa\r\nbb\r\r\ncc\r\n", "bb\r\n \r\ncc\r\n"},
        {"aa bb cc\rdd\r", "\x01"
                           "cc\r\ndd\r\n"},
        {"aa\r\r\r", " \r\n \r\n"},
        {"aa\rbb", "bb"},
        {"aa\r", ""},
        {"\r\raa\r\r", " \r\naa\r\n \r\n"},
        {"aa\r\n\nbb\r\n", "\nbb\r\n"},
        {"aa bbb\r\n\r\ncc", "\x01"
                             "bbb\r\n \r\ncc"},
    };
    for (const auto& c : cases) {
        const TextBoxLayout layout = LayoutTextBox(c.text, Area(5, 1), OnePerCharacter);
        EXPECT_EQ(layout.remainder, c.rest) << c.text;
    }
}

// The paragraphs of a whole text prepared as the rule states it, one step over the whole text
// after another: the continuation marker dropped, with `collapse` pairs of blanks made one until
// none is left, every CR LF made a CR, and CR CR made CR, blank, CR until none is left.
Lines PreparedParagraphs(std::string text, bool collapse) {
    if (!text.empty() && text.front() == '\x01') text.erase(0, 1);
    const auto replace = [&text](const std::string& from, const std::string& to, bool again) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos;)
            at = text.replace(at, from.size(), to).empty() || again ? 0 : at + to.size();
    };
    if (collapse) replace("  ", " ", true);
    replace("\r\n", "\r", false);
    replace("\r\r", "\r \r", true);
    Lines paragraphs;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find('\r', start)) != std::string::npos; start = at + 1)
        paragraphs.push_back(text.substr(start, at - start));
    paragraphs.push_back(text.substr(start));
    return paragraphs;
}

// What a box hands back after the lines drawn so far, from the prepared paragraphs: a line holds
// its blanks plus one words, and a line marked last closes its paragraph.
std::string ExpectedRest(const Lines& paragraphs, const std::vector<TextBoxLine>& drawn) {
    std::size_t paragraph = 0;
    std::size_t words = 0;
    for (const TextBoxLine& line : drawn) {
        words += static_cast<std::size_t>(std::count(line.text.begin(), line.text.end(), ' ')) + 1;
        if (line.last) {
            ++paragraph;
            words = 0;
        }
    }
    std::string rest;
    if (words > 0) {
        const std::string& open = paragraphs[paragraph];
        std::size_t at = 0;
        for (std::size_t i = 0; i < words; ++i)
            at = open.find(' ', at) + 1;
        rest = "\x01" + open.substr(at);
        ++paragraph;
    }
    for (; paragraph < paragraphs.size(); ++paragraph)
        rest += (rest.empty() ? "" : "\r\n") + paragraphs[paragraph];
    return rest;
}

// A text of `length` bytes or more in the form a box hands back, with a tail that is not: a lone
// CR, empty paragraphs and (where justified) runs of blanks to prepare past long runs copied as
// they stand.
std::string LongText(std::size_t length) {
    std::string text;
    for (int word = 1; text.size() < length; ++word) {
        text += std::string(1 + word % 7, static_cast<char>('a' + word % 26));
        text += word % 50 == 0 ? "\r\n" : " ";
    }
    return text + "tail\rend  of\r\n\r\nit  \r\r\n  last\r\n";
}

// A second paragraph of one-letter words with a second blank after the blank at `at` (odd): a
// pair of blanks anywhere in a long paragraph is found.
std::string BlankPairAt(std::size_t at) {
    std::string paragraph;
    for (std::size_t i = 0; i < 300; ++i)
        paragraph += i % 2 == 0 ? 'b' : ' ';
    paragraph.insert(at, 1, ' ');
    return "aa bb cc dd ee\r\n" + paragraph;
}

struct Flow {
    std::string text;
    std::vector<float> lines_per_box;
};

// Texts to flow box after box, with the sizes of the boxes.
std::vector<Flow> Flows() {
    const Lines short_texts = {
        "aa bb cc dd\r\nee ff gg\r\n\r\nhh",
        "aa  bb   cc dd  \r  ee\r\r\nff gg hh ii\r",
        "\r\raa bb\r\n\nbb cc\r\r\r",
        "\x01"
        "aa bb cc\r\nd",
        " aa bb cc dd ee ff gg hh ii jj kk\r\n",
    };
    std::vector<Flow> flows;
    for (const std::string& text : short_texts)
        flows.push_back({text, {1, 3, 40}});
    for (const std::size_t at : {1, 31, 33, 127, 129, 289, 299})
        flows.push_back({BlankPairAt(at), {1, 40}});
    // Long enough for a run of more than 64 KiB before the tail.
    flows.push_back({LongText(70000), {300}});
    return flows;
}

const std::int32_t kFlowAligns[] = {9, 2, 4, kAlignJustify, kAlignJustify + 16, kAlignShrink};

// A text flowed box after box, for every alignment, hands back what the prepared whole text
// leaves after the lines drawn, and draws every paragraph of it in order.
TEST(LayoutTextBox, AFlowedTextHandsBackThePreparedRestAfterEveryBox) {
    const std::vector<Flow> flows = Flows();
    const auto& aligns = kFlowAligns;
    for (const Flow& flow : flows) {
        for (const std::int32_t align : aligns) {
            const bool collapse = (align & kAlignJustify) != 0;
            const Lines paragraphs = PreparedParagraphs(flow.text, collapse);
            for (const float lines_per_box : flow.lines_per_box) {
                SCOPED_TRACE(flow.text.substr(0, 40) + " align " + std::to_string(align) +
                             " lines " + std::to_string(lines_per_box));
                std::vector<TextBoxLine> drawn;
                std::string rest = flow.text;
                while (!rest.empty()) {
                    TextBoxLayout layout =
                        LayoutTextBox(rest, Area(8, lines_per_box, align), OnePerCharacter);
                    ASSERT_FALSE(layout.lines.empty());
                    drawn.insert(drawn.end(), layout.lines.begin(), layout.lines.end());
                    ASSERT_EQ(layout.remainder, ExpectedRest(paragraphs, drawn));
                    rest = std::move(layout.remainder);
                }
                // The lines of each paragraph, joined at the blanks where they broke.
                Lines joined;
                bool open = false;
                for (const TextBoxLine& line : drawn) {
                    if (open) {
                        joined.back() += ' ' + line.text;
                    } else {
                        joined.push_back(line.text);
                    }
                    open = !line.last;
                }
                // A last empty paragraph that a box would begin is handed back as nothing.
                if (joined.size() + 1 == paragraphs.size()) joined.emplace_back();
                EXPECT_EQ(joined, paragraphs);
            }
        }
    }
}

// The boxes of a flow, each as the lines it draws: the text, then "|first" for a line drawn
// after the indentation and "|last" for one never justified.
using Boxes = std::vector<Lines>;

Lines Described(const std::vector<TextBoxLine>& lines) {
    Lines described;
    for (const TextBoxLine& line : lines)
        described.push_back(line.text + (line.first ? "|first" : "") + (line.last ? "|last" : ""));
    return described;
}

// Flows the text handing each box the rest the last one handed back.
Boxes FlowHandingBackTexts(const std::string& text, const TextBoxArea& area) {
    Boxes boxes;
    for (std::string rest = text; !rest.empty();) {
        TextBoxLayout layout = LayoutTextBox(rest, area, OnePerCharacter);
        boxes.push_back(Described(layout.lines));
        rest = std::move(layout.remainder);
    }
    return boxes;
}

// Flows the text reading on from where the last box broke; every box must read on further.
Boxes FlowReadingOn(const std::string& text, const TextBoxArea& area) {
    Boxes boxes;
    for (std::size_t from = 0; from < text.size();) {
        TextBoxLayout layout = LayoutTextBox(text, area, OnePerCharacter, from, RestForm::kOffset);
        EXPECT_TRUE(layout.remainder.empty());
        if (layout.rest_from <= from) {
            ADD_FAILURE() << "no progress at " << from;
            break;
        }
        boxes.push_back(Described(layout.lines));
        from = layout.rest_from;
    }
    return boxes;
}

// Letters, blanks, CRs and LFs at random, blanks and paragraph ends often in runs.
std::string RandomText(std::uint32_t& state, std::size_t length) {
    static constexpr char kAlphabet[] = "abcdefgh  \r\n";
    std::string text;
    while (text.size() < length) {
        state = state * 1103515245u + 12345u;
        const std::uint32_t pick = state >> 16;
        text += std::string(1 + pick % 3, kAlphabet[(pick / 4) % (sizeof kAlphabet - 1)]);
    }
    return text;
}

// A box that reads on from where the last one broke draws, box for box, what it draws when it is
// handed the rest as a text: the same lines, indented and justified alike. The one difference
// allowed is at the end: the text's last blank can leave a rest of one empty line, which a box
// handed the rest draws and a box reading on does not.
TEST(LayoutTextBox, ReadingOnFromTheBreakDrawsWhatTheHandedBackRestDraws) {
    std::vector<Flow> flows = Flows();
    std::uint32_t state = 12345;
    for (int i = 0; i < 200; ++i)
        flows.push_back({RandomText(state, 5 + static_cast<std::size_t>(i)), {1, 2, 5}});
    for (const Flow& flow : flows) {
        for (const std::int32_t align : kFlowAligns) {
            for (const float lines_per_box : flow.lines_per_box) {
                for (const float width : {2.0f, 8.0f}) {
                    SCOPED_TRACE(flow.text.substr(0, 40) + " align " + std::to_string(align) +
                                 " lines " + std::to_string(lines_per_box) + " width " +
                                 std::to_string(width));
                    const TextBoxArea area = Area(width, lines_per_box, align);
                    Boxes handed = FlowHandingBackTexts(flow.text, area);
                    const Boxes read_on = FlowReadingOn(flow.text, area);
                    if (handed.size() == read_on.size() + 1 && handed.back().size() == 1 &&
                        handed.back()[0] == "|last") {
                        handed.pop_back();
                    }
                    ASSERT_EQ(handed, read_on);
                }
            }
        }
    }
}

// A box narrower than a blank breaks inside an empty paragraph read as a blank; the next box
// reads on after that paragraph, not from it again. Reading from past the end is refused.
TEST(LayoutTextBox, ReadingOnMovesOnAndStopsAtTheTextsEnd) {
    const std::string blanks = "\r\r\r\n\r";
    std::vector<std::size_t> starts;
    for (std::size_t from = 0; from < blanks.size() && starts.size() < 10;) {
        starts.push_back(from);
        from = LayoutTextBox(blanks, Area(0.5f, 1), OnePerCharacter, from, RestForm::kOffset)
                   .rest_from;
    }
    EXPECT_EQ(starts, (std::vector<std::size_t>{0, 1, 2, 4}));
    EXPECT_EQ(LayoutTextBox("aa bb", Area(5, 1), OnePerCharacter, 5, RestForm::kOffset).rest_from,
              5u);
    EXPECT_THROW(LayoutTextBox("aa bb", Area(5, 1), OnePerCharacter, 6, RestForm::kOffset),
                 pagora::PdfError);
}

TEST(LayoutTextBox, CutsWordsWiderThanTheBoxAndLosesTheCutLetters) {
    const TextBoxLayout layout = LayoutTextBox("abcdefghij xy", Area(5, 10), OnePerCharacter);
    EXPECT_EQ(Texts(layout), (Lines{"abcd\x85", "xy"}));
    EXPECT_THROW(LayoutTextBox("abc", Area(0.5f, 10), OnePerCharacter), pagora::PdfError);
}

// A long word is cut where dropping two characters at a time and re-measuring would cut it,
// with real widths, and a word of a mebibyte takes a few measurements of itself, not one per
// dropped pair.
TEST(LayoutTextBox, ALongWordIsCutWhereStepwiseCuttingWouldCutIt) {
    std::array<std::int16_t, 256> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c)
        widths[c] = static_cast<std::int16_t>(200 + c * 37 % 700);
    TextMeasure measure = Measure(12);
    measure.widths = widths.data();
    measure.char_spacing = 0.5f;
    const auto width = [&measure](std::string_view text) { return measure.Width(text); };
    const auto stepwise = [&](std::string word, float limit) {
        while (measure.Width(word) > limit) {
            word.resize(word.size() - 2);
            word += '\x85';
        }
        return word;
    };
    // Not even the cut marker fits.
    EXPECT_THROW(LayoutTextBox("abcdef", Area(3, 2), width), pagora::PdfError);
    for (const float limit : {4.0f, 20.0f, 57.5f, 100.0f, 333.0f}) {
        for (const std::string word : {std::string("Donaudampfschifffahrtsgesellschaft"),
                                       std::string(300, 'W'), std::string("iiiiiiiiiiWWWWWWWWW")}) {
            SCOPED_TRACE(word + " " + std::to_string(limit));
            EXPECT_EQ(Texts(LayoutTextBox(word, Area(limit, 2), width)),
                      Lines{stepwise(word, limit)});
        }
    }
    const std::string huge(std::size_t{1} << 20, 'm');
    const TextBoxLayout layout = LayoutTextBox(huge, Area(100, 2), width);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].text, stepwise(huge.substr(0, 64), 100));
}

TEST(LayoutTextBox, PreparesParagraphsAndBlanks) {
    // CR LF and lone CR both end paragraphs; an empty paragraph keeps a blank line.
    EXPECT_EQ(Texts(LayoutTextBox("a\r\n\r\nb\rc", Area(9, 9), OnePerCharacter)),
              (Lines{"a", " ", "b", "c"}));
    EXPECT_EQ(Texts(LayoutTextBox("a\r\r\r\nb\r\n\r", Area(9, 9), OnePerCharacter)),
              (Lines{"a", " ", " ", "b", " ", ""}));
    // Justified text has its double blanks collapsed before wrapping; its last lines are marked.
    const TextBoxLayout justified =
        LayoutTextBox("aa  bb   cc\rdd", Area(5, 9, 64 + 8), OnePerCharacter);
    EXPECT_EQ(Texts(justified), (Lines{"aa bb", "cc", "dd"}));
    EXPECT_FALSE(justified.lines[0].last);
    EXPECT_TRUE(justified.lines[1].last);
    EXPECT_TRUE(justified.lines[2].last);
    // Without justification two blanks give an empty word and stay.
    EXPECT_EQ(Texts(LayoutTextBox("aa  bb", Area(9, 9), OnePerCharacter)), (Lines{"aa  bb"}));
}

TEST(LayoutTextBox, OneLineModesAndCutting) {
    EXPECT_EQ(Texts(LayoutTextBox("aa bb cc\rdd", Area(5, 9, kAlignShrink), OnePerCharacter)),
              (Lines{"aa bb cc", "dd"}));
    EXPECT_EQ(Texts(LayoutTextBox("aa bb cc", Area(5, 9, kAlignFit), OnePerCharacter)),
              (Lines{"aa bb cc"}));
    // Cutting drops the rest of each paragraph and ignores the box height: nothing is handed back.
    const TextBoxLayout cut =
        LayoutTextBox("aa bbbb cc\rdd ee\rff\rgg", Area(6, 1, kAlignCut), OnePerCharacter);
    EXPECT_EQ(Texts(cut), (Lines{"aa bb\x85", "dd ee", "ff", "gg"}));
    EXPECT_TRUE(cut.lines[0].last);
    EXPECT_EQ(cut.remainder, "");
}

TEST(LayoutTextBox, ALowBoxStillTakesItsFirstLine) {
    const TextBoxLayout layout = LayoutTextBox("aa bb", Area(2, 0), OnePerCharacter);
    EXPECT_EQ(Texts(layout), (Lines{"aa"}));
    EXPECT_EQ(layout.remainder, "\x01"
                                "bb");
}

} // namespace
