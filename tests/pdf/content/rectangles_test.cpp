#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

namespace {

using content_test::Lines;

struct RectCase {
    const char* name;
    int options;
    int border;
    float ray;
    Lines lines;
};

class Rectangles : public content_test::PageContent,
                   public ::testing::WithParamInterface<RectCase> {};

TEST_P(Rectangles, WriteTheirPaths) {
    const RectCase& c = GetParam();
    pdf.DrawRect(10, 20, 100, 50, c.options, c.border, c.ray);
    EXPECT_EQ(Written(), c.lines);
    EXPECT_FLOAT_EQ(pdf.GetX(), 10);
    EXPECT_FLOAT_EQ(pdf.GetY(), 20);
    const auto& box = Inner().content;
    EXPECT_FLOAT_EQ(box.kept.last_box_x1, 10);
    EXPECT_FLOAT_EQ(box.kept.last_box_y1, 822);
    EXPECT_FLOAT_EQ(box.kept.last_box_x2, 110);
    EXPECT_FLOAT_EQ(box.kept.last_box_y2, 772);
}

const Lines kRoundOutline{"15 20 m",
                          "105 20 l",
                          "107.75 20 110 22.25 110 25 c",
                          "110 65 l",
                          "110 67.75 107.75 70 105 70 c",
                          "15 70 l",
                          "12.25 70 10 67.75 10 65 c",
                          "10 25 l",
                          "10 22.25 12.25 20 15 20 c",
                          ""};

Lines With(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rectangles,
    ::testing::Values(
        RectCase{"Plain", 0, 255, 0, {"10 20 100 50 re", "S"}},
        RectCase{"PlainFilled", 5, 255, 0, {"10 20 100 50 re", "f*"}},
        RectCase{"Rounded", 0, 255, 5, With(kRoundOutline, {"S"})},
        RectCase{"RadiusCutToHalfTheSide",
                 4,
                 16,
                 40,
                 {"35 20 m", "110 20 l", "110 70 l", "10 70 l", "10 45 l",
                  "10 31.25 21.25 20 35 20 c", "", "f*", "10 45 m", "10 31.25 21.25 20 35 20 c S",
                  ""}},
        RectCase{"AllSidesNoCorners",
                 0,
                 15,
                 5,
                 {"10 20 m", "110 20 l", "110 70 l", "10 70 l", "10 20 l", "", "S"}},
        RectCase{"TopAndBottom", 0, 12, 0, {"10 20 m", "110 20 l S", "110 70 m", "10 70 l S", ""}},
        RectCase{"TopAndBottomFilled",
                 4,
                 12,
                 0,
                 {"10 20 m", "110 20 l", "110 70 l", "10 70 l", "10 20 l", "", "f*", "10 20 m",
                  "110 20 l S", "110 70 m", "10 70 l S", ""}},
        // Without fill or clip the outline would only be stroked whole by the first side's S.
        RectCase{"TopAndBottomUnpainted",
                 1,
                 12,
                 0,
                 {"10 20 m", "110 20 l S", "110 70 m", "10 70 l S", ""}},
        RectCase{"TopAndBottomClipped",
                 128,
                 12,
                 0,
                 {"10 20 m", "110 20 l", "110 70 l", "10 70 l", "10 20 l", "", "W n", "10 20 m",
                  "110 20 l S", "110 70 m", "10 70 l S", ""}},
        RectCase{"RoundedRightSide",
                 0,
                 2 + 32 + 64,
                 5,
                 {"105 20 m", "107.75 20 110 22.25 110 25 c S", "110 25 m", "110 65 l S",
                  "110 65 m", "110 67.75 107.75 70 105 70 c S", ""}},
        RectCase{"NoSides", 0, 0, 0, {""}}),
    [](const ::testing::TestParamInfo<RectCase>& info) { return info.param.name; });

} // namespace
