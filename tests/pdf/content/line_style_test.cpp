#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

namespace {

using content_test::Lines;

class LineStyle : public content_test::PageContent {};

TEST_F(LineStyle, WidthIsKeptInPoints) {
    pdf.SetScale(255, 2);
    pdf.SetLineWidth(0.5f);
    EXPECT_FLOAT_EQ(Inner().content.kept.line_width, 1);
    pdf.SetLineWidth(-1);
    EXPECT_FLOAT_EQ(Inner().content.kept.line_width, 1);
    pdf.SetLineWidth(0);
    EXPECT_EQ(Written(), (Lines{"1 w", "0 w"}));
}

TEST_F(LineStyle, CapAndJoinRoundHalvesToEven) {
    const struct {
        int style;
        float miter;
        Lines lines;
    } cases[] = {{0x22, 10, {"1 J", "1 j", "10 M"}},
                 {0, 0, {"0 J", "0 j"}},
                 {0x11, 0.9f, {"0 J", "0 j"}},
                 {0x30 | 3, 1, {"2 J", "2 j", "1 M"}},
                 {0x40 | 4, 2.5f, {"2 J", "2 j", "2.5 M"}},
                 {0x50 | 5, 0, {"2 J", "2 j"}}};
    for (const auto& c : cases) {
        pdf.SetLineStyle(c.style, c.miter);
        EXPECT_EQ(Written(), c.lines) << c.style;
    }
}

TEST_F(LineStyle, DashPatterns) {
    const struct {
        const char* pattern;
        float phase;
        const char* line;
    } cases[] = {{"", 3, "[ ] 0 d"},
                 {" solid ", 5, "[ ] 0 d"},
                 {"dash", 0, "[0.1 ] 0 d"},
                 {"Dot", 1, "[0.05 ] 1 d"},
                 {"DASHDOT", 0, "[0.1 0.05 0.05 0.05 ] 0 d"},
                 {"dashdotdot", 0, "[0.1 0.05 0.05 0.05 0.05 0.05 ] 0 d"},
                 {"3;2", 1, "[ 3 2 ] 1 d"},
                 {"4;x;1.5mm", 0, "[ 4 0 1.5 ] 0 d"},
                 // Lengths that are all zero draw nothing a reader can use: solid instead.
                 {"0;abc", 2, "[ ] 0 d"}};
    for (const auto& c : cases) {
        pdf.SetDash(c.pattern, c.phase);
        EXPECT_EQ(Written(), Lines{c.line}) << c.pattern;
    }
    pdf.SetScale(2); // millimetres: lengths and phase are user units
    pdf.SetDash("3;2", 1);
    pdf.SetDash("dash");
    EXPECT_EQ(Written(), (Lines{"[ 8.504 5.669 ] 2.835 d", "[0.283 ] 0 d"}));
}

} // namespace
