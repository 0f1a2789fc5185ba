// Whole documents with drawings, checked with independent readers and renderers.
#include "tests/pdf/content/content_fixture.h"
#include "tests/pdf/content/rendering.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using content_test::ErrorsOf;
using content_test::Picture;
using content_test::ReadPpm;
using pagora::Pagora;
using testing_support::Count;
using testing_support::RunCommand;
using testing_support::TempDir;

class DrawingDocument : public ::testing::Test {
protected:
    DrawingDocument() : pdf(std::make_shared<content_test::FixedHost>()) {}

    std::string Begin(const std::string& name) {
        const std::string path = dir.File(name);
        pdf.BeginDoc(path);
        EXPECT_EQ(pdf.ErrNumber(), 0);
        return path;
    }

    TempDir dir;
    Pagora pdf;
};

KERBOLT_TEST_LABEL(oracle, "DrawingDocument.OneTransparencyStatePerValue");
TEST_F(DrawingDocument, OneTransparencyStatePerValue) {
    const std::string path = Begin("alpha.pdf");
    pdf.BeginPage();
    pdf.SetAlpha(50);
    pdf.DrawRect(10, 10, 50, 50, 5);
    pdf.SetAlpha(50);
    pdf.SetAlphaFill(150);
    pdf.SetBlend(20);
    pdf.EndPage();
    pdf.EndDoc();

    const std::string file = testing_support::ReadFileBytes(path);
    EXPECT_EQ(Count(file, "<</Type /ExtGState /ca 0.5 /CA 0.5 /BM /Normal >>"), 1u);
    EXPECT_EQ(Count(file, "<</Type /ExtGState /ca 1 /BM /Normal >>"), 1u);
    EXPECT_EQ(Count(file, "<</Type /ExtGState /BM /Luminosity >>"), 1u);
    EXPECT_EQ(Count(file, "+GS_50 gs"), 2u);
    EXPECT_EQ(Count(file, "+GSF_100 gs"), 1u);
    EXPECT_EQ(Count(file, "+GSB_15 gs"), 1u);
    EXPECT_EQ(RunCommand("qpdf --check '" + path + "' >/dev/null 2>&1").status, 0);
    EXPECT_NE(RunCommand("pdfinfo '" + path + "'").out.find("PDF version:     1.4"),
              std::string::npos);
    // The states reach the page through its resources under the names the content uses.
    const auto resources = testing_support::InspectPdf(path, "graphic-states");
    EXPECT_EQ(resources.status, 0);
    EXPECT_EQ(Count(resources.out, "+GS"), 3u) << resources.out;
}

TEST_F(DrawingDocument, TransparencyLeavesAPdfaFileAsItIs) {
    std::string files[2];
    for (int with = 0; with < 2; ++with) {
        pdf.Abort();
        pdf.SetPDFa(true);
        const std::string path = Begin(with != 0 ? "with.pdf" : "without.pdf");
        pdf.BeginPage();
        if (with != 0) {
            pdf.SetAlpha(50);
            pdf.SetAlphaFill(20);
            pdf.SetAlphaLine(30);
            pdf.SetBlend(3);
        }
        pdf.DrawCircle(100, 100, 50, 4);
        pdf.EndPage();
        pdf.EndDoc();
        files[with] = testing_support::ReadFileBytes(path);
    }
    EXPECT_FALSE(files[0].empty());
    EXPECT_EQ(files[0], files[1]);
}

KERBOLT_TEST_LABEL(oracle, "DrawingDocument.EveryShapeColourAndStyleRenders");
TEST_F(DrawingDocument, EveryShapeColourAndStyleRenders) {
    const std::string path = Begin("shapes.pdf");
    pdf.BeginPage();
    pdf.SetColorFill("#FF0000");
    pdf.DrawRect(10, 20, 100, 50, 5); // solid red, probed below
    pdf.SetColorLine("navy");
    pdf.SetLineWidth(2);
    pdf.SetColorFill("@0;0;100;0");
    pdf.DrawRect(130, 20, 100, 50, 4, 255, 10);
    pdf.SetColorFill("%20");
    pdf.DrawRect(250, 20, 100, 50, 4, 4 + 8 + 32 + 128, 12);
    pdf.DrawRect(370, 20, 100, 50, 0, 4); // top side only: the rest stays unpainted
    pdf.SetColorFill(std::to_string(0x00FF00));
    pdf.DrawEllipse(60, 130, 50, 25, 4);
    pdf.SetColorFill("gold");
    pdf.DrawCircle(180, 130, 25, 6);
    pdf.DrawArc(280, 130, 30, 0, 270, 0.5f, false, 5, 4);
    pdf.DrawArc(380, 130, 30, -45, 225, 1, false, 3);
    pdf.DrawPolygon(60, 230, 30, 5, 4);
    pdf.DrawPolygon(160, 230, 30, -7);
    pdf.DrawPolyline(std::vector<std::string>{"220", "200", "260", "260", "300", "200"}, 2);
    pdf.MoveTo(320, 200);
    pdf.DrawLineTo(360, 220, 1);
    pdf.DrawCurve(1, 380, 180, 400, 280, 440, 220, 1);
    pdf.DrawCurve(2, 460, 180, 480, 240);
    for (int i = 0; i < 6; ++i) {
        static const char* const kDashes[] = {"solid",   "dash",       "dot",
                                              "dashdot", "dashdotdot", "4;2;1;2"};
        // Every other line in a unit of 10 points, where the named dashes are long enough to see.
        const float unit = i % 2 == 0 ? 1.0f : 10.0f;
        pdf.SetScale(255, unit);
        pdf.SetLineStyle(i * 0x10 + i, 4);
        pdf.SetDash(kDashes[i], 1);
        const float y = (300 + 10 * static_cast<float>(i)) / unit;
        pdf.DrawLine(20 / unit, y, 200 / unit, y);
    }
    pdf.SetScale(0);
    pdf.SetDash();
    pdf.SetAlpha(40);
    pdf.SetAlphaFill(60);
    pdf.SetAlphaLine(80);
    for (int mode = 0; mode < 16; ++mode) {
        pdf.SetBlend(mode);
        pdf.SetColorFill(mode % 2 == 0 ? "teal" : "@10;20;30;0");
        pdf.DrawRect(20 + 30 * static_cast<float>(mode), 420, 40, 40, 4);
    }
    pdf.BeginSpace(300, 500, 1, 1, 30);
    pdf.SetColorFill("violet");
    pdf.DrawRect(0, 0, 80, 40, 128 + 4);
    pdf.AxisSkewing(10, 5);
    pdf.AxisScaling(0.5f, 0.5f);
    pdf.AxisTranslation(10, 10);
    pdf.DrawCircle(0, 0, 20, 4);
    pdf.EndSpace();
    // Refused calls leave nothing half-written behind them.
    EXPECT_THROW(pdf.SetColorFill("#XYZ"), pagora::PdfError);
    EXPECT_THROW(pdf.DrawArc(100, 100, 10, 0, 360, 1, false, 0), pagora::PdfError);
    EXPECT_THROW(pdf.DrawPolygon(100, 100, 10, 0), pagora::PdfError);
    EXPECT_THROW(pdf.DrawPolyline(std::vector<double>{1, 2, 3}), pagora::PdfError);
    EXPECT_THROW(pdf.BeginSpace(std::numeric_limits<float>::infinity()), pagora::PdfError);
    pdf.SetColorLine("blue");
    pdf.DrawLine(20, 600, 200, 600);
    pdf.EndPage();
    pdf.EndDoc();

    int status = -1;
    EXPECT_EQ(ErrorsOf("qpdf --check '" + path + "'", &status), "");
    EXPECT_EQ(status, 0);
    const std::string ppm = dir.File("page.ppm");
    EXPECT_EQ(
        ErrorsOf("mutool draw -q -r 72 -c rgb -F pnm -o '" + ppm + "' '" + path + "' 1", &status),
        "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ErrorsOf("pdftoppm -r 36 '" + path + "' '" + dir.File("poppler") + "'", &status), "");
    EXPECT_EQ(status, 0);

    const Picture page = ReadPpm(ppm);
    ASSERT_EQ(page.width, 596);
    EXPECT_EQ(page.At(60, 45), 0xFF0000u);  // inside the red rectangle
    EXPECT_EQ(page.At(5, 45), 0xFFFFFFu);   // left of it
    EXPECT_EQ(page.At(131, 21), 0xFFFFFFu); // outside a rounded corner
    EXPECT_EQ(page.At(180, 45), 0xFFFF00u); // inside the yellow (CMYK) rectangle
    // The top-only rectangle strokes its top side, and not the left side that an unpainted
    // outline would have left for the next stroke.
    EXPECT_NE(page.At(420, 20), 0xFFFFFFu);
    EXPECT_EQ(page.At(370, 45), 0xFFFFFFu);
}

KERBOLT_TEST_LABEL(oracle, "DrawingDocument.EndSpaceSelectsTheSavedFontAgain");
TEST_F(DrawingDocument, EndSpaceSelectsTheSavedFontAgain) {
    const std::string path = Begin("fonts.pdf");
    pdf.BeginPage();
    // A state saved before any font was chosen brings back no font.
    pdf.BeginSpace();
    pdf.EndSpace();
    EXPECT_EQ(pagora::detail::StateOf(pdf).fonts.list.size(), 0U);

    pdf.SetFont("Helvetica", 12, 1);
    pdf.BeginSpace(10, 10);
    pdf.SetFont("Courier", 8, 2, 238);
    pdf.BeginSpace();
    pdf.SetFont("Times", 20);
    pdf.EndSpace();
    const auto& fonts = pagora::detail::StateOf(pdf).fonts;
    EXPECT_EQ(fonts.kept.font_resource_name, "CourierNew,Italic-238");
    EXPECT_FLOAT_EQ(fonts.font_size, 8);
    pdf.EndSpace();
    EXPECT_EQ(fonts.font_family, "Helvetica");
    EXPECT_EQ(fonts.kept.font_resource_name, "Arial,Bold");
    EXPECT_FLOAT_EQ(fonts.font_size, 12);
    EXPECT_EQ(fonts.kept.font_style, 1);
    EXPECT_EQ(fonts.font_encoding, 0);
    EXPECT_EQ(fonts.list.size(), 3U); // selecting a registered font again writes no new one
    pdf.EndPage();
    pdf.EndDoc();
    EXPECT_EQ(RunCommand("qpdf --check '" + path + "' >/dev/null 2>&1").status, 0);
}

KERBOLT_TEST_LABEL(oracle, "DrawingDocument.ReopenedPageStartsInBlack");
TEST_F(DrawingDocument, ReopenedPageStartsInBlack) {
    const std::string path = Begin("overlay.pdf");
    pdf.BeginPage();
    pdf.SetColorFill("red");
    pdf.SetColorLine("");
    pdf.SetColorText("blue");
    pdf.EndPage();
    pdf.BeginOnPage(1);
    EXPECT_EQ(pagora::detail::StateOf(pdf).writer.page_content, "\r0 0 0 rg\r0 0 0 RG");
    const auto& c = pagora::detail::StateOf(pdf).content;
    EXPECT_EQ(c.fill_color, "#0 0 0");
    EXPECT_EQ(c.line_color, "#0 0 0");
    EXPECT_EQ(c.text_color, "#0 0 0");
    EXPECT_FALSE(c.no_stroke);
    pdf.DrawRect(10, 10, 20, 20, 4);
    pdf.EndOnPage();
    pdf.EndDoc();
    EXPECT_EQ(RunCommand("qpdf --check '" + path + "' >/dev/null 2>&1").status, 0);
}

// The fill colour a page really has is the one the caller set, whatever was drawn before: each
// case draws on its own page, then a filled square whose centre both renderers must paint in the
// expected colour; a tall "I" drawn by the case is probed in its stem for the text colour.
KERBOLT_TEST_LABEL(oracle, "DrawingDocument.TheRenderedFillIsTheOneTheCallerSet");
TEST_F(DrawingDocument, TheRenderedFillIsTheOneTheCallerSet) {
    const struct {
        const char* name;
        std::function<void(Pagora&)> draw;
        uint32_t square;
        uint32_t text; // the colour of the "I" at (120, 250), 0xFFFFFFFF when none is drawn
    } cases[] = {
        {"nothing set", [](Pagora&) {}, 0x000000, 0xFFFFFFFF},
        {"framed text boxes twice",
         [](Pagora& p) {
             p.DrawTextBox(10, 10, 200, 60, "first box", 9, 0);
             p.DrawTextBox(100, 120, 200, 200, "I", 9, 0);
         },
         0x000000, 0x000000},
        {"rectangle before and after text",
         [](Pagora& p) {
             p.SetColorFill("red");
             p.DrawRect(10, 10, 20, 20, 5);
             p.SetColorText("blue");
             p.DrawText(100, 300, "I");
         },
         0xFF0000, 0x0000FF},
        {"after EndSpace",
         [](Pagora& p) {
             p.SetColorFill("blue");
             p.BeginSpace(5, 5);
             p.SetColorFill("lime");
             p.DrawRect(10, 10, 20, 20, 5);
             p.EndSpace();
             p.EndSpace(); // unmatched: ends nothing
             p.DrawText(100, 300, "I");
         },
         0x0000FF, 0x000000},
        {"after circular text",
         [](Pagora& p) {
             p.SetColorFill("red");
             p.DrawTextCircular(100, 100, 40, "circle");
         },
         0xFF0000, 0xFFFFFFFF},
        {"second page keeps the colour",
         [](Pagora& p) {
             p.SetColorFill("red");
             p.SetColorText("red");
             p.BeginPage();
             p.DrawText(100, 300, "I");
         },
         0xFF0000, 0xFF0000},
    };
    const std::string path = Begin("fill.pdf");
    std::vector<int> pages;
    for (const auto& c : cases) {
        pdf.BeginPage();
        pdf.SetFont("Helvetica", 144);
        c.draw(pdf);
        pages.push_back(pdf.GetPages());
        pdf.DrawRect(300, 400, 100, 100, 5);
        // Whatever the case left, the next page starts as a new document's would.
        pdf.SetColorFill("black");
        pdf.SetColorText("black");
        pdf.EndPage();
    }
    pdf.EndDoc();
    int status = -1;
    EXPECT_EQ(ErrorsOf("qpdf --check '" + path + "'", &status), "");
    EXPECT_EQ(status, 0);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string page = std::to_string(pages[i]);
        const std::string mutool = dir.File("m" + page + ".ppm");
        EXPECT_EQ(ErrorsOf("mutool draw -q -r 72 -c rgb -F pnm -o '" + mutool + "' '" + path +
                           "' " + page),
                  "");
        const std::string poppler = dir.File("p" + page);
        EXPECT_EQ(ErrorsOf("pdftoppm -r 72 -singlefile -f " + page + " -l " + page + " '" + path +
                           "' '" + poppler + "'"),
                  "");
        for (const std::string& file : {mutool, poppler + ".ppm"}) {
            const Picture picture = ReadPpm(file);
            ASSERT_GT(picture.width, 400) << file;
            EXPECT_EQ(picture.At(350, 450), cases[i].square) << cases[i].name << " " << file;
            if (cases[i].text != 0xFFFFFFFF)
                EXPECT_EQ(picture.At(120, 250), cases[i].text) << cases[i].name << " " << file;
        }
    }
}

} // namespace
