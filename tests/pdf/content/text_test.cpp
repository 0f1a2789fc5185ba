#include "pdf/content/text.h"

#include "pdf/fonts/font_selection.h"
#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>

namespace {

using content_test::Lines;

// Arial at 10 points, with the fill colour equal to the text colour unless a test changes it.
// Widths used below: H 722, e 556, l 222, o 556, a 556, b 556, c 500, blank 278 (1/1000 em);
// line height 1221, descent -221.
class TextLines : public content_test::PageContent {
protected:
    TextLines() {
        UseFont(0);
        Inner().content.fill_color = Inner().content.text_color;
    }
    void UseFont(std::int32_t style) {
        pagora::detail::SelectFont(Inner().fonts, "Arial", 10, style, 0, [](const std::string&) {});
    }
    void DrawLine(float width, std::string text, std::int32_t align) {
        pagora::detail::DrawTextLine(Inner(), pagora::detail::CurrentFontRecord(Inner().fonts), 10,
                                     20, width, text, 0, align, false);
    }
    std::string FontLine() { return "/P" + Inner().fonts.kept.font_resource_name + " 10 Tf "; }
};

TEST_F(TextLines, PlainLineAndItsAlignments) {
    pdf.DrawText(10, 20, "Hello");
    EXPECT_EQ(Written(), (Lines{"BT", FontLine(), "1 0 0 -1 10 20 Tm", "(Hello) Tj", "ET"}));
    EXPECT_FLOAT_EQ(Inner().content.current_x, 32.78f);
    EXPECT_FLOAT_EQ(Inner().content.current_y, 20);

    const struct {
        std::int32_t align;
        const char* matrix;
    } cases[] = {{2, "1 0 0 -1 77.22 20 Tm"},
                 {4, "1 0 0 -1 88.61 20 Tm"},
                 {3, "1 0 0 -1 100 20 Tm"},
                 {0, "1 0 0 -1 100 20 Tm"},
                 {6, "1 0 0 -1 100 20 Tm"}};
    for (const auto& c : cases) {
        pdf.DrawText(100, 20, "Hello", c.align);
        EXPECT_EQ(Written().at(2), c.matrix) << c.align;
    }
    // Literal escapes.
    pdf.DrawText(0, 0, "a(b)\\");
    EXPECT_EQ(Written().at(3), "(a\\(b\\)\\\\) Tj");
}

TEST_F(TextLines, JustifiedLineSpreadsItsWordsAndRestoresTheWordSpacing) {
    Inner().content.word_spacing = 1.5f;
    // "a b c": letters 16.12, two blanks of 2.78; 78.32 left for two gaps.
    DrawLine(100, "a  b c ", 64);
    EXPECT_EQ(Written(),
              (Lines{"BT", FontLine(), "1 0 0 -1 10 20 Tm", "39.16 Tw (a b c) Tj 1.5 Tw", "ET"}));
    EXPECT_FLOAT_EQ(Inner().content.current_x, 110);

    DrawLine(100, "abc", 64); // nothing to spread
    EXPECT_EQ(Written().at(3), "(abc) Tj");
}

TEST_F(TextLines, ShrinkAndFitWriteAScalingAndRestoreIt) {
    Inner().content.horizontal_scaling = 80; // measured at 100 percent while fitting
    DrawLine(10, "Hello", 128);
    EXPECT_EQ(Written().at(3), "43.898 Tz (Hello) Tj 80 Tz");
    DrawLine(100, "Hello", 128);
    EXPECT_EQ(Written().at(3), "(Hello) Tj");
    DrawLine(100, "Hello", 256);
    EXPECT_EQ(Written().at(3), "438.982 Tz (Hello) Tj  80 Tz");
    EXPECT_FLOAT_EQ(Inner().content.horizontal_scaling, 80);
    EXPECT_FLOAT_EQ(Inner().content.current_x, 32.78f); // the scaled width does not move on
}

TEST_F(TextLines, TextColourIsSwitchedOnlyWhenItDiffersFromTheFill) {
    pdf.SetColorFill("Red");
    Written();
    pdf.DrawText(10, 20, "ab");
    const Lines lines = Written();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines.front(), "0 0 0 rg");
    EXPECT_EQ(lines[1], "BT");
    EXPECT_EQ(lines.back(), "1 0 0 rg");
    EXPECT_EQ(Inner().content.fill_color, "#1 0 0");

    pdf.SetColorText("Red");
    Written();
    pdf.DrawText(10, 20, "ab");
    EXPECT_EQ(Written().size(), 5u);
}

TEST_F(TextLines, DecorationsAreStrokedInOneSavedState) {
    UseFont(4 + 8 + 16);
    pdf.SetColorLine("Blue");
    Written();
    pdf.DrawText(10, 20, "Hello");
    const Lines lines = Written();
    EXPECT_EQ(Lines(lines.begin() + 5, lines.end()),
              (Lines{"q", "0 0 0 RG", "0.625 w ", "1 0 0 1 10 20 cm", "0 1.25 m 22.78 1.25 l S",
                     "0 -8 m 22.78 -8 l S", "0 -3 m 22.78 -3 l S", "Q"}));
    EXPECT_EQ(Inner().content.line_color, "#0 0 1");
}

TEST_F(TextLines, WriteTextContinuesOnTheBaselineAndWriteTextLnStartsTheNextLine) {
    pdf.SetXY(10, 50);
    pdf.WriteText("ab");
    EXPECT_EQ(Written().at(2), "1 0 0 -1 10 50 Tm");
    // Raised at 66 percent: 50 + 6.6 * 0.221 - 12.21 / 2.
    pdf.WriteText("cd", 1);
    const Lines raised = Written();
    EXPECT_EQ(raised.at(1), "/P" + Inner().fonts.kept.font_resource_name + " 6.6 Tf ");
    EXPECT_EQ(raised.at(2), "1 0 0 -1 21.12 45.354 Tm");
    EXPECT_FLOAT_EQ(Inner().fonts.font_size, 10);
    EXPECT_FLOAT_EQ(Inner().content.current_y, 50);
    pdf.WriteText("e", 2); // lowered: 50 + 16.6 * 0.221
    EXPECT_EQ(Written().at(2), "1 0 0 -1 28.09 53.669 Tm");
    pdf.WriteText("f", 7); // an unknown style draws at the top
    EXPECT_EQ(Written().at(2), "1 0 0 -1 31.759 0 Tm");

    Inner().content.line_spacing = 2;
    pdf.WriteTextLn("x");
    EXPECT_FLOAT_EQ(Inner().content.current_x, 0);
    EXPECT_FLOAT_EQ(Inner().content.current_y, 50 + 2 * 12.21f);
}

TEST_F(TextLines, TextStateSettersWriteOneLineEach) {
    pdf.SetCharSpacing(1);
    pdf.SetWordSpacing(2.5f);
    pdf.SetTextHorizontalScaling(80);
    pdf.SetTextMode(2);
    EXPECT_EQ(Written(), (Lines{"1 Tc", "2.5 Tw", "80 Tz", "2 Tr"}));
    EXPECT_THROW(pdf.SetTextMode(40000), pagora::PdfError);

    // Character spacing adds a point per character; the scaling shrinks everything.
    pdf.SetCharSpacing(0);
    pdf.SetTextHorizontalScaling(100);
    const float plain = pdf.GetTextWidth("abc");
    pdf.SetCharSpacing(1);
    EXPECT_FLOAT_EQ(pdf.GetTextWidth("abc"), plain + 3);
    EXPECT_FLOAT_EQ(pdf.GetTextWidth(""), 0);
    EXPECT_FLOAT_EQ(pdf.GetTextHeight(), 12.21f);
}

// A value the file cannot take is refused before the state changes, so the next text is still
// written; a render mode outside 0 to 7 would make the content unreadable.
TEST_F(TextLines, RefusedTextStateLeavesTheStateAsItWas) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float plain = pdf.GetTextWidth("a b");
    struct Refusal {
        std::function<void()> call;
        int number;
    };
    const Refusal refusals[] = {
        {[&] { pdf.SetCharSpacing(nan); }, 6},
        {[&] { pdf.SetWordSpacing(nan); }, 6},
        {[&] { pdf.SetTextHorizontalScaling(nan); }, 6},
        {[&] { pdf.SetTextMode(8); }, 5},
        {[&] { pdf.SetTextMode(-1); }, 5},
    };
    for (const Refusal& refusal : refusals) {
        try {
            refusal.call();
            ADD_FAILURE() << "no error raised";
        } catch (const pagora::PdfError& error) {
            EXPECT_EQ(error.Number(), refusal.number);
        }
    }
    EXPECT_TRUE(Written().empty());
    EXPECT_FLOAT_EQ(pdf.GetTextWidth("a b"), plain);
    EXPECT_NO_THROW(pdf.DrawText(10, 20, "a b", 2));
}

TEST_F(TextLines, CircularTextTurnsEachCharacterAndEndsAtTheCentre) {
    pdf.DrawTextCircular(100, 100, 50, "ab");
    const Lines lines = Written();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "BT"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Q"), 2);
    EXPECT_FLOAT_EQ(pdf.GetX(), 100);
    EXPECT_FLOAT_EQ(pdf.GetY(), 100);
    const auto& c = Inner().content;
    EXPECT_FLOAT_EQ(c.kept.last_box_x1, 50);
    EXPECT_FLOAT_EQ(c.kept.last_box_y1, 842 - 50);
    EXPECT_FLOAT_EQ(c.kept.last_box_x2, 150);
    EXPECT_FLOAT_EQ(c.kept.last_box_y2, 842 - 150);
}

TEST(TextWithoutFont, MeasuresNothingAndRefusesToDraw) {
    pagora::Pagora pdf(std::make_shared<content_test::FixedHost>());
    pagora::detail::StateOf(pdf).writer.in_page = true;
    EXPECT_EQ(pdf.GetTextWidth("abc"), 0);
    EXPECT_EQ(pdf.GetTextHeight(), 0);
    try {
        pdf.DrawText(0, 0, "abc");
        FAIL() << "no error raised";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 9);
        EXPECT_EQ(error.Source(), "Pagora.DrawText");
    }
}

} // namespace
