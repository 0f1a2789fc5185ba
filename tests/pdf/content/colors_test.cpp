#include "pdf/content/content.h"

#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

namespace {

using content_test::Lines;
using pagora::PdfError;

// The patterns the document defines, as their resource entries list them.
constexpr const char* kPatterns = "/PSTRIPES 5 0 R /PDOTS 6 0 R /PMY#20#28PATTERN#29 7 0 R ";

class Colors : public content_test::PageContent {
protected:
    Colors() { Inner().writer.pattern_resources = kPatterns; }
};

struct FillCase {
    const char* argument;
    const char* stored; // FillColor afterwards
    const char* line;   // the one fill line written
};

class FillColors : public content_test::PageContent,
                   public ::testing::WithParamInterface<FillCase> {
protected:
    FillColors() { Inner().writer.pattern_resources = kPatterns; }
};

TEST_P(FillColors, StoreAndWriteTheColourString) {
    const FillCase& c = GetParam();
    pdf.SetColorFill(c.argument);
    EXPECT_EQ(Inner().content.fill_color, c.stored);
    EXPECT_EQ(Written(), Lines{c.line});
    EXPECT_FALSE(Inner().content.no_fill);
}

INSTANTIATE_TEST_SUITE_P(
    EveryForm, FillColors,
    ::testing::Values(
        FillCase{"red", "#1 0 0", "1 0 0 rg"}, FillCase{"#FF0000", "#1 0 0", "1 0 0 rg"},
        FillCase{"@255;0;0", "#1 0 0", "1 0 0 rg"}, FillCase{"255", "#1 0 0", "1 0 0 rg"},
        FillCase{" 16711680 ", "#0 0 1", "0 0 1 rg"}, FillCase{"-1", "#0 0 0", "0 0 0 rg"},
        // a number is rounded to a whole colour value, halves to even
        FillCase{"254.5", "#0.996 0 0", "0.996 0 0 rg"},
        FillCase{"#FF8000", "#1 0.502 0", "1 0.502 0 rg"},
        FillCase{"#ff8000ab", "#1 0.502 0", "1 0.502 0 rg"},
        FillCase{"#F00", "#0 0.059 0", "0 0.059 0 rg"},
        FillCase{"@0;100;100;0", "@0 1 1 0", "0 1 1 0 k"},
        FillCase{"@0,5;0;0;0", "@0.005 0 0 0", "0.005 0 0 0 k"},
        FillCase{"@50;x;;0", "@0.5 0 0 0", "0.5 0 0 0 k"}, FillCase{"%25", "%0.75", "0.75 g"},
        FillCase{"%", "%1", "1 g"},
        FillCase{" lightBlue ", "#0.678 0.847 0.902", "0.678 0.847 0.902 rg"},
        FillCase{"Red|Blue", "#1 0 0", "1 0 0 rg"},
        FillCase{"stripes|red", "STRIPES", "/CS-RGB cs 1 0 0 /PSTRIPES scn"},
        FillCase{"dots | @0;0;0;100", "DOTS", "/CS-CMYK cs 0 0 0 1 /PDOTS scn"},
        FillCase{"dots|%40", "DOTS", "/CS-GRAY cs 0.6 /PDOTS scn"},
        FillCase{"stripes", "STRIPES", "/Pattern cs /PSTRIPES scn"}));

TEST_F(Colors, StrokeColoursUseTheStrokeOperators) {
    pdf.SetColorLine("%25");
    pdf.SetColorLine("@0;100;100;0");
    pdf.SetColorLine("blue");
    pdf.SetColorLine("stripes|red");
    pdf.SetColorLine("stripes");
    EXPECT_EQ(Written(), (Lines{"0.75 G", "0 1 1 0 K", "0 0 1 RG", "/CS-RGB CS 1 0 0 /PSTRIPES SCN",
                                "/Pattern CS /PSTRIPES SCN"}));
    EXPECT_EQ(Inner().content.line_color, "STRIPES");
    EXPECT_EQ(Inner().content.kept.line_pattern_color, "");
}

TEST_F(Colors, PatternColourIsKeptBesideTheName) {
    pdf.SetColorFill("stripes|red");
    EXPECT_EQ(Inner().content.kept.fill_pattern_color, "#1 0 0");
    pdf.SetColorFill("stripes");
    EXPECT_EQ(Inner().content.kept.fill_pattern_color, "");
    // Another pattern cannot paint a pattern: "/CS-RGB cs OTS ..." would be unreadable.
    pdf.SetColorFill("stripes|dots");
    EXPECT_EQ(Inner().content.kept.fill_pattern_color, "");
    EXPECT_EQ(Written().back(), "/Pattern cs /PSTRIPES scn");
    // A name that is not a PDF name character by character is written escaped.
    pdf.SetColorFill("my (pattern)");
    EXPECT_EQ(Written(), Lines{"/Pattern cs /PMY#20#28PATTERN#29 scn"});
}

TEST_F(Colors, EmptyColourSwitchesOffUntilTheNextColour) {
    pdf.SetColorFill("red");
    pdf.SetColorLine("red");
    pdf.SetColorText("red");
    Written();
    pdf.SetColorFill();
    pdf.SetColorLine("");
    pdf.SetColorText();
    EXPECT_EQ(Written(), Lines{});
    EXPECT_TRUE(Inner().content.no_fill);
    EXPECT_TRUE(Inner().content.no_stroke);
    EXPECT_TRUE(Inner().content.no_text_color);
    EXPECT_EQ(Inner().content.fill_color, "#1 0 0");
    EXPECT_EQ(Inner().content.text_color, "#1 0 0");
    pdf.SetColorFill("blue");
    EXPECT_FALSE(Inner().content.no_fill);
    // A malformed "@" form is no error: it switches filling off and is stored empty.
    pdf.SetColorFill("@1;2");
    EXPECT_TRUE(Inner().content.no_fill);
    EXPECT_EQ(Inner().content.fill_color, "");
    EXPECT_EQ(Written(), Lines{"0 0 1 rg"});
}

TEST_F(Colors, TextColourIsStoredButNotWritten) {
    pdf.SetColorText("@0;0;0;100");
    EXPECT_EQ(Inner().content.text_color, "@0 0 0 1");
    EXPECT_FALSE(Inner().content.no_text_color);
    EXPECT_EQ(Written(), Lines{});
}

TEST_F(Colors, BadColourRaisesAndChangesNothing) {
    pdf.SetColorFill("red");
    Written();
    const struct {
        const char* argument;
        int number;
    } cases[] = {{"#GG0000", 13},
                 {"#", 13},
                 {"#12 456", 13},
                 {"1e12", 6},
                 {"-3000000000", 6},
                 {"stripes|#XYZ", 13},
                 // neither a colour (grey is no known spelling) nor a pattern of the document
                 {"Grey", 13},
                 {"hatch|red", 13},
                 {"stripe", 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        for (int target = 0; target < 3; ++target) {
            try {
                if (target == 0) pdf.SetColorFill(c.argument);
                if (target == 1) pdf.SetColorLine(c.argument);
                if (target == 2) pdf.SetColorText(c.argument);
                ADD_FAILURE() << "no error raised";
            } catch (const PdfError& e) {
                EXPECT_EQ(e.Number(), c.number);
                EXPECT_EQ(e.Source().rfind("Pagora.SetColor", 0), 0u) << e.Source();
            }
        }
        EXPECT_EQ(Inner().content.fill_color, "#1 0 0");
        EXPECT_EQ(Inner().content.line_color, "#0 0 0");
        EXPECT_EQ(Inner().content.text_color, "#0 0 0");
        EXPECT_EQ(Written(), Lines{});
    }
}

TEST_F(Colors, UncolouredPatternCellTakesNoColour) {
    Inner().writer.tiling_uncoloured = true;
    pdf.SetColorFill("red");
    pdf.SetColorLine("");
    pdf.SetColorText("");
    pagora::detail::WriteColorFill(Inner(), "#1 0 0", "");
    pagora::detail::WriteColorLine(Inner(), "", "");
    EXPECT_EQ(Written(), Lines{});
    EXPECT_EQ(Inner().content.fill_color, "#0 0 0");
    EXPECT_FALSE(Inner().content.no_stroke);
    EXPECT_FALSE(Inner().content.no_text_color);
}

TEST_F(Colors, ColourHelpersFollowTheDocumentPrecision) {
    EXPECT_EQ(pagora::detail::ColorComponentText(Inner(), 128), "0.502");
    EXPECT_EQ(pagora::detail::HexColorToRgb(Inner(), "#0080FF", "Test"), "0 0.502 1");
    pdf.SetPrecision(1);
    EXPECT_EQ(pagora::detail::ColorComponentText(Inner(), 128), "0.5");
    pdf.SetColorFill("#FF8000");
    EXPECT_EQ(Inner().content.fill_color, "#1 0.5 0");
    EXPECT_EQ(pagora::detail::BoolToText(true), "true");
    EXPECT_EQ(pagora::detail::BoolToText(false), "false");
}

} // namespace
