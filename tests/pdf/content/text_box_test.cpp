#include "pdf/fonts/font_selection.h"
#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

using content_test::Lines;

// Arial at 10 points: line height 12.21, descent 2.21, so the first baseline of a box at the
// top lies 10 below its inner top. "ab" is 11.12 wide and a blank 2.78, so a box 30 wide holds
// "ab ab" per line.
class TextBoxes : public content_test::PageContent {
protected:
    TextBoxes() {
        pagora::detail::SelectFont(Inner().fonts, "Arial", 10, 0, 0, [](const std::string&) {});
        Inner().content.fill_color = Inner().content.text_color;
    }
    static std::string Words(int count, const std::string& word = "ab") {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += (i > 0 ? " " : "") + word;
        return text;
    }
    // The "x y" of every text matrix and the drawn texts, in order.
    struct Drawn {
        Lines positions;
        Lines texts;
    };
    Drawn DrawnLines() {
        Drawn drawn;
        for (const std::string& line : Written()) {
            if (line.rfind("1 0 0 -1 ", 0) == 0)
                drawn.positions.push_back(line.substr(9, line.size() - 12));
            if (line.find(") Tj") != std::string::npos) drawn.texts.push_back(line);
        }
        return drawn;
    }
};

TEST_F(TextBoxes, FillsTheBoxAndHandsBackTheRest) {
    const std::string rest = pdf.DrawTextBox(10, 20, 30, 50, Words(10) + "\r\nxy\r\nzz");
    EXPECT_EQ(rest, "\x01" + Words(2) + "\r\nxy\r\nzz");
    const Drawn drawn = DrawnLines();
    EXPECT_EQ(drawn.positions, (Lines{"10 30", "10 42.21", "10 54.42", "10 66.63"}));
    EXPECT_EQ(drawn.texts, Lines(4, "(ab ab) Tj"));
    EXPECT_FLOAT_EQ(pdf.GetY(), 20 + 4 * 12.21f); // below the last line

    // The continuation is not indented; the next paragraph is.
    pdf.SetBoxStyle(1, 5);
    EXPECT_EQ(pdf.DrawTextBox(10, 100, 30, 50, rest), "");
    const Drawn continued = DrawnLines();
    // With the indentation counted, "ab ab" no longer fits on the continued line.
    EXPECT_EQ(continued.positions, (Lines{"10 110", "10 122.21", "15 134.42", "15 146.63"}));

    // A break at the end of a paragraph hands back whole paragraphs.
    EXPECT_EQ(pdf.DrawTextBox(10, 20, 30, 20, "ab\r\nxy\r\nzz"), "xy\r\nzz");
    EXPECT_EQ(pdf.DrawTextBox(10, 20, 30, 100, "ab ab"), "");
}

TEST_F(TextBoxes, HorizontalAlignments) {
    pdf.DrawTextBox(10, 20, 30, 50, "ab", 2 + 8);
    EXPECT_EQ(DrawnLines().positions, (Lines{"28.88 30"}));
    pdf.DrawTextBox(10, 20, 30, 50, "ab", 4);
    EXPECT_EQ(DrawnLines().positions, (Lines{"19.44 30"}));

    // Justified: every line but the paragraph's last fills the width; double blanks collapse.
    pdf.DrawTextBox(10, 20, 30, 50, "ab  ab ab", 64);
    EXPECT_EQ(DrawnLines().texts, (Lines{"4.98 Tw (ab ab) Tj 0 Tw", "(ab) Tj"}));

    pdf.DrawTextBox(10, 20, 30, 50, Words(4), 128);
    const Drawn shrunk = DrawnLines();
    ASSERT_EQ(shrunk.texts.size(), 1u);
    EXPECT_EQ(shrunk.texts[0].substr(shrunk.texts[0].find(" Tz")), " Tz (ab ab ab ab) Tj 100 Tz");

    // Cutting ignores the height: every paragraph gets its line, none is handed back.
    EXPECT_EQ(pdf.DrawTextBox(10, 20, 30, 5, Words(3) + "\rab\rab", 512), "");
    const Drawn cut = DrawnLines();
    EXPECT_EQ(cut.texts, (Lines{"(ab a\x85) Tj", "(ab) Tj", "(ab) Tj"}));
}

TEST_F(TextBoxes, VerticalPlacement) {
    pdf.DrawTextBox(10, 20, 30, 50, Words(4), 16);
    EXPECT_EQ(DrawnLines().positions, (Lines{"10 55.58", "10 67.79"})); // last on the bottom
    pdf.DrawTextBox(10, 20, 30, 50, "ab", 32);
    EXPECT_EQ(DrawnLines().positions, (Lines{"10 48.895"}));

    // Paddings move the inner box; line spacing spreads the lines.
    pdf.SetBoxStyle(2, 0, 2, 3, 4, 5);
    pdf.DrawTextBox(10, 20, 34, 100, Words(4));
    EXPECT_EQ(DrawnLines().positions, (Lines{"12 45.21", "12 69.63"}));
    pdf.SetBoxStyle(-1);
    EXPECT_FLOAT_EQ(Inner().content.line_spacing, 2);
    EXPECT_EQ(Inner().content.kept.box_style.padding_left, 0);
    pdf.SetBoxStyle();
    EXPECT_FLOAT_EQ(Inner().content.line_spacing, 1);
}

// A text flowed box after box reading on from where the last box broke draws, box for box, the
// frames and lines that the boxes handed the rest draw, and leaves the position where they do.
TEST_F(TextBoxes, ReadingOnFromTheBreakDrawsWhatTheHandedBackRestDraws) {
    const std::string text = Words(10) + "\r\n\r\nxy  zz\r\n" + Words(7, "abc") + "\r";
    for (const std::int32_t align : {9, 64 + 8, 4}) {
        SCOPED_TRACE(align);
        std::vector<Lines> handed;
        std::vector<float> handed_y;
        for (std::string rest = text; !rest.empty();) {
            rest = pdf.DrawTextBox(10, 20, 30, 30, rest, align, 0);
            handed.push_back(Written());
            handed_y.push_back(pdf.GetY());
        }
        std::vector<Lines> read_on;
        std::vector<float> read_on_y;
        for (std::size_t from = 0; from < text.size();) {
            const std::size_t next = pdf.DrawTextBoxFrom(10, 20, 30, 30, text, from, align, 0);
            ASSERT_GT(next, from);
            from = next;
            read_on.push_back(Written());
            read_on_y.push_back(pdf.GetY());
        }
        EXPECT_GT(handed.size(), 3u);
        EXPECT_EQ(read_on, handed);
        EXPECT_EQ(read_on_y, handed_y);
    }
    // Nothing left to read draws nothing; reading past the end is refused.
    EXPECT_EQ(pdf.DrawTextBoxFrom(10, 20, 30, 30, "ab", 2), 2u);
    EXPECT_TRUE(Written().empty());
    EXPECT_THROW(pdf.DrawTextBoxFrom(10, 20, 30, 30, "ab", 3), pagora::PdfError);
}

TEST_F(TextBoxes, FrameAndPosition) {
    // Height 0: the frame takes the height of the lines, drawn before them.
    pdf.DrawTextBox(10, 20, 30, 0, Words(4), 9, 0);
    const Lines lines = Written();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "10 20 30 24.42 re");
    EXPECT_FLOAT_EQ(pdf.GetY(), 20 + 24.42f);

    // An empty text draws nothing and only moves the position.
    pdf.DrawTextBox(10, 20, 30, 50, "", 9, 0);
    EXPECT_TRUE(Written().empty());
    EXPECT_FLOAT_EQ(pdf.GetY(), 70);
    pdf.DrawTextBox(10, 20, 30, 50, "");
    EXPECT_TRUE(Written().empty());
    EXPECT_FLOAT_EQ(pdf.GetY(), 20);

    // The last box covers the lines drawn, for links.
    pdf.DrawTextBox(10, 20, 30, 50, Words(4));
    const auto& c = Inner().content;
    EXPECT_FLOAT_EQ(c.kept.last_box_x1, 10);
    EXPECT_FLOAT_EQ(c.kept.last_box_y1, 842 - 20);
    EXPECT_FLOAT_EQ(c.kept.last_box_x2, 40);
    EXPECT_FLOAT_EQ(c.kept.last_box_y2, 842 - 20 - 24.42f);
}

TEST_F(TextBoxes, ANewDocumentResetsTheBorderAndKeepsTheRestOfTheStyle) {
    pdf.SetBoxStyle(1.5f, 5, 1, 2, 3, 4, 3, 2);
    pdf.Abort();
    const auto& style = Inner().content.kept.box_style;
    EXPECT_EQ(style.box_border, 15);
    EXPECT_FLOAT_EQ(style.indentation, 5);
    EXPECT_FLOAT_EQ(style.padding_bottom, 4);
    EXPECT_FLOAT_EQ(style.box_radius, 2);
    EXPECT_FLOAT_EQ(Inner().content.line_spacing, 1);
}

TEST_F(TextBoxes, ABoxNarrowerThanTheCutMarkerIsRefused) {
    EXPECT_THROW(pdf.DrawTextBox(10, 20, 0.5f, 50, "ab"), pagora::PdfError);
}

} // namespace
