#include "pdf/fonts/font_selection.h"
#include "pdf/writer/Pagora.h"
#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace {

using content_test::Lines;

enum Type { kEan13 = 0, kCode39 = 1, kInterleaved = 2, kPostnet = 3, kCode128 = 4, kEan8 = 5 };

// A page in memory with the text font already registered, so that texts need no file. The
// state restore after a text writes these three lines.
class Barcodes : public content_test::PageContent {
protected:
    Barcodes() {
        pagora::detail::SelectFont(Inner().fonts, "CourierNew", 10, 0, 0,
                                   [](const std::string&) {});
        Inner().fonts.font_size = 12;
    }
    std::size_t Depth() { return Inner().content.state_stack.size(); }
    static bool IsText(const std::string& line) { return line == "BT"; }
    // The lines that paint bars.
    static Lines Bars(const Lines& lines) {
        Lines bars;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(bars), [](const auto& line) {
            return line.ends_with(" re f*") || line.ends_with(" l S");
        });
        return bars;
    }
    const Lines kRestore{"0 0 0 RG", "0 0 0 rg", "1 w"};
    // The x, width and y of a bar line "x y w h re f*".
    struct Bar {
        double x, y, w;
    };
    static Bar Parse(const std::string& line) {
        Bar bar{};
        double h = 0;
        std::istringstream(line) >> bar.x >> bar.y >> bar.w >> h;
        return bar;
    }
    // Dark width in modules, and whether any two rectangles of the same top edge touch (which
    // anti-aliased renders show as a seam inside one bar).
    static double DarkModules(const Lines& bars, double module) {
        double total = 0;
        for (const std::string& line : bars)
            total += Parse(line).w;
        return total / module;
    }
    static bool AnyTouch(const Lines& bars) {
        for (const std::string& a : bars)
            for (const std::string& b : bars) {
                const Bar p = Parse(a), q = Parse(b);
                if (p.y == q.y && std::abs(p.x + p.w - q.x) < 1e-3) return true;
            }
        return false;
    }
    static constexpr std::size_t kMissing = ~std::size_t{0};
    static std::size_t Index(const Lines& lines, const std::string& line) {
        const auto at = std::ranges::find(lines, line);
        return at == lines.end() ? kMissing : static_cast<std::size_t>(at - lines.begin());
    }
};

TEST_F(Barcodes, WidthsInPointsWithAndWithoutText) {
    const struct {
        int type;
        const char* code;
        bool check;
        float width;
    } cases[] = {
        {kEan13, "123456789012", false, 105.768f},
        {kEan8, "1234567", false, 79.56f},
        {kCode39, "ABC", false, 72.0f},
        {kCode39, "ABC", true, 84.24f},
        {kCode39, "", false, 13.68f},
        {kInterleaved, "12345", false, 53.28f},
        {kInterleaved, "12345", true, 53.28f},
        {kInterleaved, "", false, 14.4f},
        {kCode128, "1234", false, 54.72f},
        {kPostnet, "12345", false, 129.6f},
        {kPostnet, "12345-6789", false, 201.6f},
        {6, "1", false, 0},
        {-1, "1", false, 0},
    };
    for (const auto& c : cases) {
        for (const bool show : {true, false}) {
            // The end is found by stepping along the elements, in single precision.
            EXPECT_NEAR(pdf.DrawBarCode(c.type, c.code, 10, 20, show, 1, 0, c.check), c.width, 2e-4)
                << c.type << " " << c.code << " " << show;
            EXPECT_EQ(Depth(), 0u);
        }
    }
}

TEST_F(Barcodes, SizesArePhysicalWhateverTheUnitAndTheZoomIsClamped) {
    pdf.DrawBarCode(kEan8, "1234567", 0, 0);
    const Lines in_points = Written();
    pdf.SetScale(2); // millimetres
    EXPECT_FLOAT_EQ(pdf.DrawBarCode(kEan8, "1234567", 0, 0), 79.56f * 25.4f / 72);
    EXPECT_EQ(Written(), in_points);
    pdf.SetScale(0);

    const struct {
        float zoom;
        float drawn;
        const char* font;
    } zooms[] = {{0, 0.8f, "8.064"},    {0.5f, 0.8f, "8.064"}, {0.8f, 0.8f, "8.064"},
                 {1.5f, 1.5f, "15.12"}, {2, 2, "20.16"},       {3, 2, "20.16"}};
    for (const auto& z : zooms) {
        EXPECT_FLOAT_EQ(pdf.DrawBarCode(kEan13, "1", 0, 0, true, z.zoom), 113 * 0.936f * z.drawn)
            << z.zoom;
        EXPECT_LT(Index(Written(), std::string("/PCourierNew ") + z.font + " Tf "), kMissing)
            << z.zoom;
    }
}

TEST_F(Barcodes, Ean13TextBeforeTheBarsAndGuardsIntoTheTextGap) {
    EXPECT_FLOAT_EQ(pdf.DrawBarCode(kEan13, "123456789012", 10, 20), 105.768f);
    const Lines lines = Written();
    // Texts: first digit inside the quiet zone, then the halves centred on their bars, at
    // Y + H + 1.6 T = 20 + 64.8 + 7.488.
    Lines texts;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].ends_with(" Tm")) texts.push_back(lines[i] + " " + lines[i + 1]);
    EXPECT_EQ(texts,
              (Lines{"1 0 0 -1 12.808 92.288 Tm (1) Tj", "1 0 0 -1 24.616 92.288 Tm (234567) Tj",
                     "1 0 0 -1 68.608 92.288 Tm (890128) Tj"}));
    const Lines bars = Bars(lines);
    EXPECT_LT(Index(lines, "ET"), Index(lines, bars.front()));
    EXPECT_EQ(Lines(bars.begin(), bars.begin() + 8),
              (Lines{"20.296 20 0.936 69.48 re f*", "22.168 20 0.936 69.48 re f*",
                     "63.352 20 0.936 69.48 re f*", "65.224 20 0.936 69.48 re f*",
                     "106.408 20 0.936 69.48 re f*", "108.28 20 0.936 69.48 re f*",
                     // left digit 2 (set A 0010011) at module 5, its double bar at 8 as one
                     "24.976 20 0.936 64.8 re f*", "27.784 20 1.872 64.8 re f*"}));
    // The data's 39 dark modules (and the 6 guard modules) in rectangles that never touch.
    EXPECT_NEAR(DarkModules(bars, 0.936), 6 + 39, 1e-3);
    EXPECT_FALSE(AnyTouch(bars));
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), kRestore);
    EXPECT_EQ(Depth(), 0u);
}

TEST_F(Barcodes, HeightAndTheTextGap) {
    const struct {
        bool show;
        float height;
        const char* bar;
        const char* guard;
    } cases[] = {
        {true, 5, "0.32", "5"},      // 5 - 4.68
        {true, 4, "0.936", "5.616"}, // below zero: one module
        {false, 0, "64.8", "64.8"},  // no text gap: guards as long as the bars
        {false, 30, "30", "30"},
    };
    for (const auto& c : cases) {
        pdf.DrawBarCode(kEan13, "5901234123457", 0, 0, c.show, 1, c.height);
        const Lines lines = Written();
        EXPECT_EQ(std::ranges::count_if(lines, IsText), c.show ? 3 : 0);
        const Lines bars = Bars(lines);
        EXPECT_EQ(bars.at(0), std::string("10.296 0 0.936 ") + c.guard + " re f*") << c.height;
        EXPECT_TRUE(bars.at(6).ends_with(std::string(" 0.936 ") + c.bar + " re f*")) << bars.at(6);
    }
}

TEST_F(Barcodes, WithoutTextNothingButTheBarsChanges) {
    Inner().content.current_x = 3;
    const auto fonts = Inner().fonts.list.size();
    pdf.DrawBarCode(kEan8, "1234567", 10, 20, false);
    const Lines bars = Bars(Written());
    EXPECT_NEAR(DarkModules(bars, 0.936), 6 + 26, 1e-3);
    EXPECT_FALSE(AnyTouch(bars));
    EXPECT_EQ(Inner().fonts.font_size, 12);
    EXPECT_EQ(Inner().fonts.list.size(), fonts);
    EXPECT_EQ(Inner().content.current_x, 3);

    // With the text, the font and the position come back by the state restore.
    pdf.DrawBarCode(kEan8, "1234567", 10, 20);
    EXPECT_EQ(Inner().fonts.font_size, 12);
    EXPECT_EQ(Inner().content.current_x, 3);
}

TEST_F(Barcodes, Code39StrokesItsBarsAndGivesTheLineWidthBack) {
    pdf.SetLineWidth(2);
    Written();
    EXPECT_NEAR(pdf.DrawBarCode(kCode39, "A", 0, 0, false), 68 * 0.72f, 1e-4);
    const Lines lines = Written();
    // Start "*" (bWbwBwBwb) after 10 modules: a narrow bar, a wide space, a narrow bar, a
    // narrow space, a wide bar.
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6),
              (Lines{"0.72 w", "7.56 0 m 7.56 14.4 l S", "0.72 w", "10.44 0 m 10.44 14.4 l S",
                     "2.16 w", "12.6 0 m 12.6 14.4 l S"}));
    EXPECT_EQ(lines.back(), "2 w");
    EXPECT_EQ(Inner().content.kept.line_width, 2);
    // A: 5 bars, start and stop: 5 bars each.
    EXPECT_EQ(Bars(lines).size(), 15u);

    pdf.SetLineWidth(1);
    Written();
    EXPECT_FLOAT_EQ(pdf.DrawBarCode(kCode39, "", 0, 0, false), 19 * 0.72f);
    EXPECT_EQ(Written(), (Lines{"1 w"}));
}

TEST_F(Barcodes, TextsCentredBelowTheSymbols) {
    const struct {
        int type;
        const char* code;
        bool check;
        const char* shown;
        const char* y;
    } cases[] = {
        {kCode39, "abc", true, "(abc) Tj", " 31.888 Tm"}, // 10 + 14.4 + 1.6 x 4.68
        {kInterleaved, "12345", true, "(12345) Tj", " 31.888 Tm"},
        {kCode128, "A(1)", false, "(A\\(1\\)) Tj", " 31.888 Tm"},
        {kPostnet, "12345", false, "(12345) Tj", " 29.08 Tm"}, // 10 + 14.4 + 4.68
    };
    for (const auto& c : cases) {
        const float width = pdf.DrawBarCode(c.type, c.code, 0, 10, true, 1, 0, c.check);
        const Lines lines = Written();
        const auto tm =
            std::ranges::find_if(lines, [](const auto& l) { return l.ends_with(" Tm"); });
        ASSERT_NE(tm, lines.end()) << c.code;
        EXPECT_TRUE(tm->ends_with(c.y)) << *tm;
        EXPECT_EQ(*(tm + 1), c.shown);
        // Centred: the text's left edge is half its width left of the symbol's middle.
        const float left = std::stof(tm->substr(9));
        const float text_width = 0.6f * 10.08f * static_cast<float>(std::string(c.code).size());
        EXPECT_NEAR(left, width / 2 - text_width / 2, 0.002f) << c.code;
        EXPECT_LT(Index(lines, Bars(lines).back()), Index(lines, *tm)) << "text after the bars";
    }
}

TEST_F(Barcodes, PostnetBarsStandOnOneBaseline) {
    pdf.DrawBarCode(kPostnet, "1", 10, 20, false);
    const Lines bars = Bars(Written());
    ASSERT_EQ(bars.size(), 32u);
    // Frame bar, then 1 (00011): half bars 3.6 high from 25.4, full bars 9 high from 20.
    EXPECT_EQ(Lines(bars.begin(), bars.begin() + 6),
              (Lines{"17.2 20 1.44 9 re f*", "20.8 25.4 1.44 3.6 re f*", "24.4 25.4 1.44 3.6 re f*",
                     "28 25.4 1.44 3.6 re f*", "31.6 20 1.44 9 re f*", "35.2 20 1.44 9 re f*"}));
}

TEST_F(Barcodes, RefusedTextsAndUnknownTypesDrawNothing) {
    const struct {
        int type;
        const char* code;
    } cases[] = {{kCode128, "a\tb"},   {kCode128, ""}, {kCode128, "\xc6"}, {kCode128, "\x7f"},
                 {kCode39, "caf\xe9"}, {6, "1"},       {-1, "1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(pdf.DrawBarCode(c.type, c.code, 0, 0, false), 0) << c.code;
        EXPECT_TRUE(Written().empty());
        // With the text asked for, only the state restore is written and no font is chosen.
        EXPECT_EQ(pdf.DrawBarCode(c.type, c.code, 0, 0, true), 0) << c.code;
        EXPECT_EQ(Written(), kRestore);
        EXPECT_EQ(Depth(), 0u);
    }
}

TEST_F(Barcodes, ACounterOverflowDrawsNoBarAndKeepsTheStateStackBalanced) {
    const struct {
        int type;
        std::string code;
    } cases[] = {{kCode39, std::string(32768, 'A')},
                 {kInterleaved, std::string(6552, '1')},
                 {kCode128, std::string(349, '~')}};
    for (const auto& c : cases) {
        for (const bool show : {true, false}) {
            try {
                pdf.DrawBarCode(c.type, c.code, 0, 0, show);
                ADD_FAILURE() << c.type;
            } catch (const pagora::PdfError& error) {
                EXPECT_EQ(error.Number(), 6);
            }
            EXPECT_EQ(Depth(), 0u);
            EXPECT_TRUE(Bars(Written()).empty());
        }
    }
    // A position that cannot be written leaves no half-drawn symbol either.
    EXPECT_THROW(
        pdf.DrawBarCode(kCode128, "1234", std::numeric_limits<float>::infinity(), 0, false),
        pagora::PdfError);
    EXPECT_TRUE(Written().empty());
}

} // namespace
