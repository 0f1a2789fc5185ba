#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using content_test::Lines;

class GraphicState : public content_test::PageContent {};

TEST_F(GraphicState, RotationSkipsWholeTurnsOfTheRoundedAngle) {
    const struct {
        float angle;
        Lines lines;
    } cases[] = {{0, {}},
                 {360, {}},
                 {-720, {}},
                 {359.6f, {}},
                 {0.4f, {}},
                 {0.5f, {}}, // halves round to the even whole degree
                 {90, {"0 -1 1 0 0 0 cm"}},
                 {30, {"0.866 -0.5 0.5 0.866 0 0 cm"}},
                 {1.5f, {"1 -0.026 0.026 1 0 0 cm"}}};
    for (const auto& c : cases) {
        pdf.AxisRotation(c.angle);
        EXPECT_EQ(Written(), c.lines) << c.angle;
    }
}

TEST_F(GraphicState, ScalingSkewingAndTranslation) {
    pdf.SetScale(2); // millimetres
    pdf.SetXY(5, 5);
    pdf.AxisScaling(1, 1);
    pdf.AxisSkewing(45, 0);
    EXPECT_FLOAT_EQ(pdf.GetX(), 5);
    pdf.AxisTranslation(10, 20);
    EXPECT_EQ(Written(), (Lines{"1 0 0 1 0 0 cm", "1 1 0 1 0 0 cm", "1 0 0 1 28.346 56.693 cm"}));
    EXPECT_FLOAT_EQ(pdf.GetX(), 0);
    EXPECT_FLOAT_EQ(pdf.GetY(), 0);
}

TEST_F(GraphicState, BeginSpaceWritesOneMatrixAndMovesToTheNewOrigin) {
    pdf.SetXY(7, 8);
    pdf.BeginSpace();
    EXPECT_EQ(Written(), Lines{"q"});
    EXPECT_FLOAT_EQ(pdf.GetX(), 0);
    EXPECT_FLOAT_EQ(pdf.GetY(), 0);
    pdf.SetScale(2);
    pdf.BeginSpace(10, 20);
    EXPECT_EQ(Written(), (Lines{"q", "1 0 0 1 28.346 56.693 cm"}));
    pdf.BeginSpace(0, 0, 2, 0.5f, 90);
    EXPECT_EQ(Written(), (Lines{"q", "2 0 0 0.5 0 0 cm", "0 -1 1 0 0 0 cm"}));
    EXPECT_EQ(Inner().content.state_stack.size(), 3u);
}

TEST_F(GraphicState, EndSpaceRestoresAndRewritesTheSavedState) {
    pdf.SetColorLine("blue");
    pdf.SetColorFill("red");
    pdf.SetColorText("green");
    pdf.SetLineWidth(2);
    pdf.SetColorFill(""); // filling off before the space
    pdf.SetXY(30, 40);
    pdf.BeginSpace(5, 5);
    pdf.SetScale(2);
    pdf.SetColorLine("%50");
    pdf.SetColorFill("yellow");
    pdf.SetColorText("");
    pdf.SetLineWidth(3);
    pdf.SetXY(1, 1);
    Written();

    pdf.EndSpace();
    EXPECT_EQ(Written(), (Lines{"Q", "0 0 1 RG", "1 0 0 rg", "2 w"}));
    const auto& c = Inner().content;
    EXPECT_EQ(c.line_color, "#0 0 1");
    EXPECT_EQ(c.fill_color, "#1 0 0");
    EXPECT_FALSE(c.no_fill); // the re-written fill colour switches filling on again
    EXPECT_EQ(c.text_color, "#0 0.502 0");
    EXPECT_FALSE(c.no_text_color);
    EXPECT_FLOAT_EQ(c.kept.line_width, 2);
    EXPECT_FLOAT_EQ(Inner().writer.scale_factor, 1);
    EXPECT_FLOAT_EQ(pdf.GetX(), 30);
    EXPECT_FLOAT_EQ(pdf.GetY(), 40);
    EXPECT_TRUE(c.state_stack.empty());

    // Nothing left to end: no unmatched "Q", which would make readers drop what follows.
    pdf.EndSpace();
    EXPECT_EQ(Written(), Lines{});
}

TEST_F(GraphicState, NestedSpacesRestoreInReverseOrder) {
    for (int i = 1; i <= 11; ++i) {
        pdf.SetXY(static_cast<float>(i), 0);
        pdf.BeginSpace();
        // The saved states grow like every record array: room for 10, then 22.
        EXPECT_EQ(Inner().content.state_stack.size(), static_cast<std::size_t>(i));
        EXPECT_EQ(Inner().content.state_stack.capacity(), i <= 10 ? 10u : 22u);
    }
    for (int i = 11; i >= 1; --i) {
        pdf.EndSpace();
        EXPECT_FLOAT_EQ(pdf.GetX(), static_cast<float>(i));
    }
    EXPECT_TRUE(Inner().content.state_stack.empty());
}

// Abort forgets the saved states: nothing is left to end, and a space begun afterwards
// restores the position it saved, not one saved before the Abort.
TEST_F(GraphicState, AbortForgetsTheSavedStates) {
    pdf.SetXY(5, 5);
    pdf.BeginSpace();
    pdf.BeginSpace();
    pdf.Abort();
    EXPECT_TRUE(Inner().content.state_stack.empty());
    Inner().writer.in_page = true;
    pdf.SetXY(8, 9);
    pdf.EndSpace();
    EXPECT_FLOAT_EQ(pdf.GetX(), 8);
    pdf.BeginSpace();
    pdf.EndSpace();
    EXPECT_FLOAT_EQ(pdf.GetX(), 8);
    EXPECT_FLOAT_EQ(pdf.GetY(), 9);
    EXPECT_TRUE(Inner().content.state_stack.empty());
}

TEST_F(GraphicState, SpaceThatCannotBeWrittenChangesNothing) {
    pdf.SetXY(3, 4);
    for (const float bad :
         {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_THROW(pdf.BeginSpace(bad, 0), pagora::PdfError);
        EXPECT_THROW(pdf.BeginSpace(0, 0, 1, 1, bad), pagora::PdfError);
    }
    EXPECT_EQ(Written(), Lines{});
    EXPECT_TRUE(Inner().content.state_stack.empty());
    EXPECT_FLOAT_EQ(pdf.GetX(), 3);
}

} // namespace
