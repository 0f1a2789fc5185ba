#include "pdf/content/content.h"

#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using content_test::Lines;

class Paths : public content_test::PageContent {
protected:
    // Expects error `number` and no content.
    template <typename Call> void ExpectRefused(int number, Call call) {
        try {
            call();
            ADD_FAILURE() << "no error raised";
        } catch (const pagora::PdfError& e) {
            EXPECT_EQ(e.Number(), number);
        }
        EXPECT_EQ(Written(), Lines{});
    }
    void ExpectPosition(float x, float y) {
        EXPECT_FLOAT_EQ(pdf.GetX(), x);
        EXPECT_FLOAT_EQ(pdf.GetY(), y);
    }
    void ExpectBox(float x1, float y1, float x2, float y2) {
        const auto& c = Inner().content;
        EXPECT_FLOAT_EQ(c.kept.last_box_x1, x1);
        EXPECT_FLOAT_EQ(c.kept.last_box_y1, y1);
        EXPECT_FLOAT_EQ(c.kept.last_box_x2, x2);
        EXPECT_FLOAT_EQ(c.kept.last_box_y2, y2);
    }
};

TEST(PaintOperator, OneLinePerOptionWord) {
    const struct {
        int options;
        const char* line;
    } cases[] = {{0, "S"},
                 {1, ""},
                 {2, "h S"},
                 {3, "h"},
                 {4, "B*"},
                 {5, "f*"},
                 {6, "b*"},
                 {7, "f*"},
                 {128, "W S"},
                 {129, "W "},
                 {130, "W h S"},
                 {131, "W h"},
                 {132, "W B*"},
                 {133, "W f*"},
                 {134, "W b*"},
                 {135, "W f*"},
                 {8 + 16 + 32 + 64 + 256, "S"}};
    for (const auto& c : cases)
        EXPECT_EQ(pagora::detail::PaintOperator(c.options), c.line) << c.options;
}

TEST_F(Paths, LinesAndCurvesContinueOnePath) {
    pdf.MoveTo(10, 20);
    ExpectPosition(10, 20);
    pdf.DrawLineTo(30, 40, 1);
    pdf.DrawCurve(1, 1, 2, 3, 4, 5, 6, 1);
    ExpectPosition(5, 6);
    pdf.DrawCurve(2, 7, 8, 9, 10, 0, 0, 1);
    ExpectPosition(9, 10);
    pdf.DrawCurve(3, 11, 12, 13, 14);
    ExpectPosition(13, 14);
    pdf.DrawCurve(4, 99, 99, 99, 99, 99, 99, 2);
    ExpectPosition(13, 14);
    EXPECT_EQ(Written(), (Lines{"10 20 m", "30 40 l", "", "1 2 3 4 5 6 c", "", "7 8 9 10 v", "",
                                "11 12 13 14 y", "S", "h S"}));
}

// A segment after a painted shape, or first on the page, has no current point to start from:
// it starts at the current position instead of making the content unreadable.
TEST_F(Paths, SegmentWithoutAnOpenPathStartsAtThePosition) {
    pdf.DrawCurve(2, 1, 2, 3, 4);
    EXPECT_EQ(Written(), (Lines{"0 0 m", "1 2 3 4 v", "S"}));
    pdf.DrawLine(10, 20, 30, 40);
    pdf.DrawLineTo(50, 60, 1); // continues from the line's end, and stays open
    pdf.DrawCurve(1, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(Written(),
              (Lines{"10 20 m 30 40 l", "S", "30 40 m", "50 60 l", "", "1 2 3 4 5 6 c", "S"}));
    pdf.DrawCircle(50, 50, 10, 1 + 2); // closed but not painted: the path goes on from it
    pdf.DrawLineTo(70, 70);
    EXPECT_EQ(Written().at(6), "70 70 l");
    pdf.DrawRect(0, 0, 10, 10, 4, 4); // a partial frame strokes its sides itself
    pdf.DrawLineTo(5, 5);
    const Lines lines = Written();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"0 0 m", "5 5 l", "S"}));
}

TEST_F(Paths, LineRecordsItsBoxInPageSpace) {
    pdf.SetScale(2); // millimetres
    Inner().writer.page_height = 800;
    pdf.DrawLine(10, 20, 30, 5, 129);
    EXPECT_EQ(Written(), (Lines{"28.346 56.693 m 85.039 14.173 l", "W "}));
    ExpectPosition(30, 5);
    const float mm = 72 / 25.4f;
    ExpectBox(10 * mm, 800 - 20 * mm, 30 * mm, 800 - 5 * mm);
}

TEST_F(Paths, EllipseIsFourQuarterCurves) {
    pdf.DrawEllipse(100, 100, 50, 25);
    EXPECT_EQ(Written(),
              (Lines{"150 100 m", "150 86.193 127.614 75 100 75 c", "72.386 75 50 86.193 50 100 c",
                     "50 113.807 72.386 125 100 125 c", "127.614 125 150 113.807 150 100 c", "S"}));
    ExpectPosition(100, 100);
    ExpectBox(50, 842 - 75, 150, 842 - 125);
    pdf.DrawCircle(0, 0, 10, 6);
    const Lines circle = Written();
    ASSERT_EQ(circle.size(), 6u);
    EXPECT_EQ(circle[0], "10 0 m");
    EXPECT_EQ(circle[1], "10 -5.523 5.523 -10 0 -10 c");
    EXPECT_EQ(circle[5], "b*");
}

TEST_F(Paths, ArcDrawsOnePointPerStep) {
    pdf.DrawArc(100, 100, 10);
    Lines lines = Written();
    ASSERT_EQ(lines.size(), 364u); // centre, first point as m and l, 360 more points, paint
    EXPECT_EQ(lines[0], "100 100 m");
    EXPECT_EQ(lines[1], "110 100 m");
    EXPECT_EQ(lines[2], "110 100 l");
    EXPECT_EQ(lines[92], "100 110 l"); // 90 degrees: clockwise on the page, y downwards
    EXPECT_EQ(lines[362], "110 100 l");
    EXPECT_EQ(lines[363], "S");
    ExpectPosition(100, 100);
    ExpectBox(90, 842 - 90, 110, 842 - 110);

    // Filled: a pie from the centre, back to the centre.
    pdf.DrawArc(0, 0, 10, 0, 90, 0.5f, false, 45, 4);
    EXPECT_EQ(Written(), (Lines{"0 0 m", "10 0 l", "7.071 3.536 l", "0 5 l", "0 0 l", "B*"}));

    // Counting down with a negative step; a step away from the end draws no point.
    pdf.DrawArc(0, 0, 10, 90, 0, 1, false, -90);
    EXPECT_EQ(Written(), (Lines{"0 0 m", "0 10 m", "0 10 l", "10 0 l", "S"}));
    pdf.DrawArc(0, 0, 10, 90, 0);
    EXPECT_EQ(Written(), (Lines{"0 0 m", "S"}));
}

TEST_F(Paths, ArcThatCouldNeverEndIsRefused) {
    ExpectRefused(5, [&] { pdf.DrawArc(0, 0, 10, 0, 360, 1, false, 0); });
    ExpectRefused(5, [&] { pdf.DrawArc(0, 0, 10, 1e8f, 1e8f + 360); });
    ExpectRefused(5, [&] { pdf.DrawArc(0, 0, 10, -1e9f, 0); });
    ExpectRefused(5, [&] { pdf.DrawArc(0, 0, 10, -std::numeric_limits<float>::infinity(), 0); });
    // An end reached only after millions of steps, each repeating a point already drawn.
    ExpectRefused(5, [&] { pdf.DrawArc(0, 0, 10, 0, 16000000.0f); });
    ExpectRefused(5, [&] { pdf.DrawArc(0, 0, 10, 0, -16000000.0f, 1, false, -1); });
    pdf.DrawArc(0, 0, 10, 0, 36000, 1, false, 1); // a hundred turns are still drawn
    EXPECT_EQ(Written().size(), 36004u);
}

TEST_F(Paths, PolygonIsAlwaysClosed) {
    pdf.DrawPolygon(50, 50, 10, 4);
    EXPECT_EQ(Written(), (Lines{"60 50 m", "50 60 l", "40 50 l", "50 40 l", "h S"}));
    ExpectPosition(50, 50);
    pdf.DrawPolygon(50, 50, -10, 4, 4);
    EXPECT_EQ(Written().back(), "b*");
    ExpectBox(40, 842 - 40, 60, 842 - 60);
    pdf.DrawPolygon(50, 50, 10, 4, 5);
    EXPECT_EQ(Written().back(), "f*");
    // Negative sides mirror the polygon left to right.
    pdf.DrawPolygon(50, 50, 10, -4, 1);
    EXPECT_EQ(Written(), (Lines{"40 50 m", "50 40 l", "60 50 l", "50 60 l", "h"}));
    ExpectRefused(11, [&] { pdf.DrawPolygon(50, 50, 10, 0); });
}

TEST_F(Paths, PolylineScalesItsPointsItself) {
    pdf.SetScale(255, 2);
    pdf.DrawPolyline(std::vector<double>{10, 20, 30, 40});
    EXPECT_EQ(Written(), (Lines{"20 40 m", "60 80 l", "", "S"}));
    ExpectPosition(30, 40);
    ExpectBox(20, 842 - 80, 60, 842 - 40);
    pdf.DrawPolyline(std::vector<std::string>{" 10", "20px", "", "4e1", "-5", "abc"}, 2);
    EXPECT_EQ(Written(), (Lines{"20 40 m", "0 80 l", "-10 0 l", "", "h S"}));
    ExpectPosition(10, 20);
    ExpectBox(-10, 842 - 80, 20, 842 - 0);
}

TEST_F(Paths, PolylineWithoutAWholePointIsRefusedUntouched) {
    pdf.DrawLine(1, 2, 3, 4);
    Written();
    ExpectRefused(9, [&] { pdf.DrawPolyline(std::vector<double>{}); });
    ExpectRefused(9, [&] { pdf.DrawPolyline(std::vector<double>{10, 20, 30}); });
    ExpectPosition(3, 4);
    ExpectBox(1, 840, 3, 838);
}

} // namespace
