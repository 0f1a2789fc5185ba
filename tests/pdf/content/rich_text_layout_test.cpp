// Tagged text broken into lines and fragments, with made-up fonts: regular characters 500/1000
// of the size wide and the blank 250, bold ones 600 and 300.
#include "pdf/content/rich_text_layout.h"

#include "pdf/writer/Pagora.h"
#include "pdf/writer/writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace pagora::detail;

std::array<std::int16_t, 256> Widths(std::int16_t letter, std::int16_t blank) {
    std::array<std::int16_t, 256> widths{};
    widths.fill(letter);
    widths[' '] = blank;
    return widths;
}

const std::array<std::int16_t, 256> kRegular = Widths(500, 250);
const std::array<std::int16_t, 256> kBold = Widths(600, 300);

// Font 0 is regular, font 1 bold; every selection is kept for the test to look at.
class FakeFonts : public RichTextFonts {
public:
    std::int32_t Select(const TextTagRecord& level) override {
        selected.push_back(level);
        return (level.font_style & 1) != 0 ? 1 : 0;
    }
    RichFont Font(std::int32_t index, float size) override {
        if (index < 0 || index > 1) pagora::detail::RaiseError(9, "DrawTextRich");
        RichFont font;
        font.measure.widths = index == 1 ? kBold.data() : kRegular.data();
        font.measure.size = size;
        font.line_height = 1221;
        font.descent = -221;
        return font;
    }
    std::vector<TextTagRecord> selected;
};

TextTagRecord Tag(const std::string& name, std::int32_t style, const std::string& family = "",
                  float size = 0) {
    TextTagRecord tag;
    tag.name = name;
    tag.font_style = style;
    tag.font_family = family;
    tag.font_size = size;
    return tag;
}

class RichLayout : public ::testing::Test {
protected:
    RichLayout() {
        level0.font_family = "Arial";
        level0.font_index = 0;
        level0.font_size = 10;
        level0.font_color = "#0 0 0";
        level0.back_color = "#1 1 1";
    }

    // Defines tag `number` (from 1), with nameless tags before it where none are defined yet.
    void Define(std::size_t number, const TextTagRecord& tag) {
        if (tags.text_tags.size() < number) tags.text_tags.resize(number);
        tags.text_tags[number - 1] = tag;
    }

    std::string Prepare(const std::string& text, bool* continued = nullptr) {
        bool flag = false;
        std::string prepared = PrepareRichText(text, tags, flag);
        if (continued != nullptr) *continued = flag;
        return prepared;
    }

    RichTextLayout Layout(const std::string& text, float width) {
        bool continued = false;
        prepared = Prepare(text, &continued);
        area.inner_width = width;
        return LayoutRichText(prepared, continued, tags, level0, area, fonts);
    }

    static std::vector<std::string> TextsOf(const RichLineRecord& line) {
        std::vector<std::string> texts;
        for (const auto& fragment : line.fragments)
            texts.push_back(fragment.text);
        return texts;
    }

    RichTextState tags;
    TextTagRecord level0;
    RichTextArea area;
    FakeFonts fonts;
    std::string prepared;
};

using Texts = std::vector<std::string>;

TEST_F(RichLayout, TagsBecomeMarkersByExactName) {
    Define(1, Tag("b", 1));
    Define(2, Tag("B", 2));
    Define(3, Tag("b ", 4));
    struct Case {
        std::string text;
        std::string prepared;
        bool continued;
    } cases[] = {
        {"Hello <b>big</b> world",
         std::string("Hello \x01\x01"
                     "big\x02\x01 world"),
         false},
        {"<B>x</B><b >y</b >", std::string("\x01\x02x\x02\x02\x01\x03y\x02\x03"), false},
        // Names no tag defines, and angle brackets that open nothing, stay as they are.
        {"x < y <i>z</i> </c>", "x < y <i>z</i> </c>", false},
        {"one\r\ntwo\rthree\nfour", "one\rtwo\rthree\nfour", false},
        {"\xFF\x01\xFFrest", "\x01\xFFrest", true},
    };
    for (const Case& c : cases) {
        bool continued = false;
        EXPECT_EQ(Prepare(c.text, &continued), c.prepared) << c.text;
        EXPECT_EQ(continued, c.continued) << c.text;
    }
}

TEST_F(RichLayout, LevelsInheritWhatATagLeavesOut) {
    TextTagRecord outer = level0;
    outer.font_style = 1;
    outer.encoding = 238;
    outer.font_size = 12;
    const auto with = [](TextTagRecord tag, const std::string& color, const std::string& back) {
        tag.font_color = color;
        tag.back_color = back;
        return tag;
    };
    struct Case {
        TextTagRecord tag;
        std::string family;
        std::int32_t encoding;
        float size;
        std::int32_t style;
        std::string color, back;
    } cases[] = {
        // Only a colour: family, charset, size, style and background stay.
        {with(Tag("c", -1), "#1 0 0", ""), "Arial", 238, 12, 1, "#1 0 0", "#1 1 1"},
        // Styles add up; 0 keeps the enclosing style as -1 does.
        {Tag("u", 4), "Arial", 238, 12, 5, "#0 0 0", "#1 1 1"},
        {Tag("z", 0), "Arial", 238, 12, 1, "#0 0 0", "#1 1 1"},
        // A family without a charset takes code page 0.
        {Tag("t", -1, "Times", 8), "Times", 0, 8, 1, "#0 0 0", "#1 1 1"},
        {with(Tag("h", -1), "", "#1 1 0"), "Arial", 238, 12, 1, "#0 0 0", "#1 1 0"},
    };
    for (const Case& c : cases) {
        const TextTagRecord level = DeriveLevel(outer, c.tag);
        EXPECT_EQ(level.font_family, c.family) << c.tag.name;
        EXPECT_EQ(level.encoding, c.encoding) << c.tag.name;
        EXPECT_EQ(level.font_size, c.size) << c.tag.name;
        EXPECT_EQ(level.font_style, c.style) << c.tag.name;
        EXPECT_EQ(level.font_color, c.color) << c.tag.name;
        EXPECT_EQ(level.back_color, c.back) << c.tag.name;
    }
}

TEST_F(RichLayout, FragmentsCarryTheirStyleAndBlanks) {
    Define(1, Tag("b", 1));
    const RichTextLayout wide = Layout("Hello <b>big</b> world", 500);
    ASSERT_EQ(wide.lines.size(), 1u);
    const RichLineRecord& line = wide.lines[0];
    EXPECT_EQ(TextsOf(line), (Texts{"Hello ", "big ", "world"}));
    EXPECT_EQ(line.blank_count, 2);
    EXPECT_TRUE(line.ends_paragraph);
    EXPECT_TRUE(line.starts_paragraph);
    // Regular 5 units a letter and 2.5 a blank; bold 6 and 3, its blank included.
    EXPECT_FLOAT_EQ(line.fragments[0].width, 27.5f);
    EXPECT_FLOAT_EQ(line.fragments[1].width, 21);
    EXPECT_FLOAT_EQ(line.fragments[2].width, 25);
    EXPECT_FLOAT_EQ(line.width, 73.5f);
    EXPECT_EQ(line.fragments[1].font_style, 1);
    EXPECT_EQ(line.fragments[1].font_index, 1);
    EXPECT_TRUE(line.fragments[1].blank_after_close);
    EXPECT_FLOAT_EQ(line.fragments[1].trailing_blank, 3);
    EXPECT_FALSE(line.fragments[0].blank_after_close);
    EXPECT_FLOAT_EQ(line.fragments[0].trailing_blank, 2.5f);
    EXPECT_EQ(line.fragments[2].font_style, 0);
    EXPECT_FLOAT_EQ(line.height, 10);
    EXPECT_FLOAT_EQ(line.descent, -2.21f);
    EXPECT_FLOAT_EQ(wide.text_height, 12.21f);
    ASSERT_EQ(fonts.selected.size(), 1u);
    EXPECT_EQ(fonts.selected[0].font_style, 1);

    struct Case {
        std::string text;
        std::vector<Texts> lines;
        std::vector<std::int32_t> blanks;
    } cases[] = {
        // Styles meet without a gap; two blanks count once.
        {"a<b>c</b>d", {{"a", "c", "d"}}, {0}},
        // A closing tag after a blank closes an empty fragment.
        {"a <b>c </b>d", {{"a ", "c ", "", "d"}}, {2}},
        {"a  b", {{"a ", "b"}}, {1}},
        // A line feed alone is part of its word; a text ending with a blank or CR closes its line.
        {"a\nb c ", {{"a\nb ", "c "}}, {2}},
        {"a\r\rb", {{"a"}, {}, {"b"}}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const RichTextLayout layout = Layout(c.text, 500);
        ASSERT_EQ(layout.lines.size(), c.lines.size()) << c.text;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(TextsOf(layout.lines[i]), c.lines[i]) << c.text << " line " << i;
            EXPECT_EQ(layout.lines[i].blank_count, c.blanks[i]) << c.text << " line " << i;
            EXPECT_TRUE(layout.lines[i].ends_paragraph) << c.text << " line " << i;
        }
    }
}

TEST_F(RichLayout, WrappedLinesHandBackTheirRestWithTheOpenTags) {
    Define(1, Tag("b", 1));
    Define(2, Tag("i", 2));
    // "Hello big " is 48.5 units; "world" does not fit beside it in 60.
    const RichTextLayout narrow = Layout("Hello <b>big</b> world", 60);
    ASSERT_EQ(narrow.lines.size(), 2u);
    const RichLineRecord& first = narrow.lines[0];
    // The wrapped line loses its last blank.
    EXPECT_EQ(TextsOf(first), (Texts{"Hello ", "big"}));
    EXPECT_EQ(first.blank_count, 1);
    EXPECT_FLOAT_EQ(first.width, 45.5f);
    EXPECT_FALSE(first.ends_paragraph);
    EXPECT_FALSE(narrow.lines[1].starts_paragraph);
    EXPECT_EQ(RichRemainder(narrow, prepared, first), "\xFF\x01\xFFworld");

    struct Case {
        std::string text;
        float width;
        std::string rest; // after the first line
    } cases[] = {
        {"<b>aaa <i>bbb ccc</i></b> d", 28,
         std::string("\xFF\x01\xFF\x01\x01\x01\x02"
                     "bbb ccc\x02\x02\x02\x01 d")},
        // A paragraph break hands back the break itself.
        {"<b>one</b>\r\ntwo", 100, std::string("\xFF\x01\xFF\rtwo")},
        {"<b>one\rtwo</b>", 100, std::string("\xFF\x01\xFF\x01\x01\rtwo\x02\x01")},
    };
    for (const Case& c : cases) {
        const RichTextLayout layout = Layout(c.text, c.width);
        ASSERT_GE(layout.lines.size(), 2u) << c.text;
        EXPECT_EQ(RichRemainder(layout, prepared, layout.lines[0]), c.rest) << c.text;
    }
}

TEST_F(RichLayout, AContinuedTextOpensWithTheCallsStyle) {
    // Slot 255 holds a real tag; the neutral entry must not open it.
    for (std::int32_t i = 1; i <= 255; ++i)
        Define(i, Tag("t" + std::to_string(i), 1));
    area.indent = 20;
    const RichTextLayout layout = Layout("\xFF\x01\xFFworld <t1>x</t1>", 500);
    ASSERT_EQ(layout.lines.size(), 1u);
    const RichLineRecord& line = layout.lines[0];
    EXPECT_FALSE(line.starts_paragraph);
    EXPECT_FLOAT_EQ(line.width, 33.5f); // no indentation: "world " and a bold x
    EXPECT_EQ(line.fragments[0].font_style, 0);
    EXPECT_EQ(line.fragments[1].font_style, 1);
    // Handed back again, the text keeps a single neutral entry.
    const RichTextLayout again = Layout("\xFF\x01\xFF"
                                        "aaaa bbbb cccc",
                                        25);
    ASSERT_GE(again.lines.size(), 2u);
    EXPECT_EQ(RichRemainder(again, prepared, again.lines[0]), "\xFF\x01\xFF"
                                                              "bbbb cccc");
    // A text that is not continued is indented, and a tag 255 in it works.
    const RichTextLayout plain = Layout("<t255>x</t255>", 500);
    EXPECT_FLOAT_EQ(plain.lines[0].width, 26);
    EXPECT_EQ(plain.lines[0].fragments[0].font_style, 1);
}

// A text may carry markers of its own: one that names no tag in force (0, or past the tags
// defined) opens a level in the style around it.
TEST_F(RichLayout, AMarkerNamingNoTagKeepsTheStyleAroundIt) {
    Define(1, Tag("b", 1));
    for (const char number : {'\x00', '\x02', '\xFE'}) {
        const RichTextLayout layout =
            Layout(std::string("<b>a \x01") + number + "b\x02" + number + " c</b> d", 500);
        ASSERT_EQ(layout.lines.size(), 1u);
        const auto& fragments = layout.lines[0].fragments;
        ASSERT_EQ(TextsOf(layout.lines[0]), (Texts{"a ", "b ", "c ", "d"})) << int{number};
        EXPECT_EQ(fragments[1].font_style, 1) << int{number};
        EXPECT_EQ(fragments[3].font_style, 0) << int{number};
    }
}

TEST_F(RichLayout, RefusesClosingWithNothingOpenAndAnUnfinishedMarker) {
    Define(1, Tag("b", 1));
    for (const std::string& text : Texts{"a </b> c", "<b>a</b></b>", "a \x01"}) {
        try {
            Layout(text, 500);
            ADD_FAILURE() << "accepted " << text;
        } catch (const pagora::PdfError& error) {
            EXPECT_EQ(error.Number(), 5) << text;
        }
    }
}

TEST_F(RichLayout, LinesTakeTheTallestFragmentAndTheLineSpacing) {
    Define(1, Tag("big", -1, "", 20));
    Define(2, Tag("mid", -1, "", 18));
    area.line_spacing = 1.5f;
    const RichTextLayout layout = Layout("one two", 20);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_FLOAT_EQ(layout.lines[0].height + -layout.lines[0].descent, 12.21f);
    EXPECT_FLOAT_EQ(layout.lines[1].height - layout.lines[1].descent, 18.315f);
    EXPECT_FLOAT_EQ(layout.lines[1].descent, -2.21f);
    EXPECT_FLOAT_EQ(layout.text_height, 12.21f + 18.315f);

    area.line_spacing = 1;
    const RichTextLayout mixed = Layout("<big>A</big><mid>B</mid>", 500);
    EXPECT_FLOAT_EQ(mixed.lines[0].height, 20);
    EXPECT_FLOAT_EQ(mixed.lines[0].descent, -4.42f);
}

TEST_F(RichLayout, AWordWiderThanTheBoxTakesALineOfItsOwn) {
    // 400 letters of 5 units in a box 20 wide: every further letter wraps again, yet the run of
    // empty lines is kept as one.
    const std::string word(400, 'x');
    const RichTextLayout layout = Layout("ab " + word + " cd", 20);
    ASSERT_EQ(layout.lines.size(), 4u);
    EXPECT_EQ(TextsOf(layout.lines[0]), (Texts{"ab"}));
    EXPECT_TRUE(layout.lines[1].fragments.empty());
    EXPECT_EQ(TextsOf(layout.lines[2]), (Texts{word}));
    EXPECT_EQ(TextsOf(layout.lines[3]), (Texts{"cd"}));
    EXPECT_EQ(RichRemainder(layout, prepared, layout.lines[1]), "\xFF\x01\xFF" + word + " cd");
    EXPECT_FLOAT_EQ(layout.text_height, 3 * 12.21f);
}

// A box of a given height stops the layout once its finished lines are taller than the box:
// those lines are the whole layout's first lines, field for field, so the box draws and hands
// back exactly what it would with every line laid out.
TEST_F(RichLayout, ALayoutStoppedAtAHeightBeginsAsTheWholeLayout) {
    Define(1, Tag("big", -1, "", 20));
    area.line_spacing = 1.25f;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += (i % 7 == 0 ? "<big>word</big>" : "wordy") + std::string(i % 23 == 22 ? "\r" : " ");
    const RichTextLayout whole = Layout(text, 120);
    for (const float stop : {-5.0f, 0.0f, 1.0f, 12.21f, 100.0f, 333.3f, 2000.0f}) {
        SCOPED_TRACE(stop);
        area.stop_height = stop;
        const RichTextLayout part = Layout(text, 120);
        ASSERT_LE(part.lines.size(), whole.lines.size());
        // All but the last line, which the layout had only begun, are finished.
        const std::size_t finished = part.lines.size() - 1;
        float height = 0;
        for (std::size_t i = 0; i < finished; ++i) {
            const RichLineRecord& a = part.lines[i];
            const RichLineRecord& b = whole.lines[i];
            EXPECT_EQ(TextsOf(a), TextsOf(b)) << i;
            EXPECT_EQ(a.width, b.width);
            EXPECT_EQ(a.height, b.height);
            EXPECT_EQ(a.descent, b.descent);
            EXPECT_EQ(a.blank_count, b.blank_count);
            EXPECT_EQ(a.starts_paragraph, b.starts_paragraph);
            EXPECT_EQ(a.ends_paragraph, b.ends_paragraph);
            EXPECT_EQ(RichRemainder(part, prepared, a), RichRemainder(whole, prepared, b));
            height += a.height - a.descent;
        }
        EXPECT_EQ(part.text_height, height);
        EXPECT_GT(part.text_height, stop);
    }
    area.stop_height = 1e9f; // taller than the text: the whole layout
    const RichTextLayout all = Layout(text, 120);
    EXPECT_EQ(all.lines.size(), whole.lines.size());
    EXPECT_EQ(all.text_height, whole.text_height);
}

// Prepared a piece at a time, cut wherever the preparer allows, a text comes out as prepared
// whole; tags whose replacements could make or break another tag leave the text to be prepared
// whole.
TEST_F(RichLayout, APiecePreparedTextIsTheWholePreparedText) {
    Define(1, Tag("b", 1));
    Define(2, Tag("/b", 2)); // reads as the closing tag of b, which is replaced first
    Define(3, Tag("b c", 4));
    const std::string texts[] = {
        "a <b>bb</b> <b c>x</b c>\r\ny\r\r\nz </b >",
        "<<b>>\r\n<</b>\r<b</b>>",
        "\r\n\r\n<b>\r\n</b>\r",
        "<b c\r\n>< b></b>\x01<",
    };
    const RichTextPreparer preparer(tags);
    ASSERT_TRUE(preparer.Piecewise());
    for (const std::string& text : texts) {
        const std::string whole = Prepare(text);
        const std::string_view view = text;
        for (std::size_t length = 0; length <= text.size(); ++length) {
            const std::size_t cut = preparer.Cut(view, length);
            EXPECT_LE(cut, length + 1) << text << " " << length;
            std::string pieces;
            preparer.Append(pieces, view.substr(0, cut));
            preparer.Append(pieces, view.substr(cut));
            EXPECT_EQ(pieces, whole) << text << " " << length;
        }
    }

    const char* const whole_only[] = {"a<", "a>", "a\r", "a\n", "\x01", "\x02", ""};
    for (const char* name : whole_only) {
        RichTextState other;
        other.text_tags.push_back(Tag(name, 1));
        EXPECT_FALSE(RichTextPreparer(other).Piecewise()) << name;
    }
    // Tag 60's marker number is '<'.
    RichTextState many;
    for (char first = 'a'; many.text_tags.size() < 60; ++first) {
        for (char second = 'a'; second <= 'z' && many.text_tags.size() < 60; ++second)
            many.text_tags.push_back(Tag(std::string{first, second}, 1));
        if (many.text_tags.size() == 59) {
            EXPECT_TRUE(RichTextPreparer(many).Piecewise());
        }
    }
    EXPECT_FALSE(RichTextPreparer(many).Piecewise());
}

} // namespace
