// One document that uses every writing operation of the library together, read back by
// independent tools: the operations must not spoil each other's state or resources.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/content/bmp_builder.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pagora::Pagora;

KERBOLT_TEST_LABEL(oracle, "WholeDocument.*");
class WholeDocument : public writer_test::WriterTest {
protected:
    // The first page: settings, text in every family and charset, text boxes and images.
    void TextPage(const std::string& logo) {
        pdf_.BeginPage();
        pdf_.SetPageTransition(13, 2, 1);
        pdf_.SetLabel(2, "A-", 1);
        pdf_.DrawImage(logo, 10, 10, 40, 0);
        pdf_.DrawImage(logo, 60, 10, 20, 20, 1, "White", true); // the same object again
        pdf_.AddImage("logo-copy.bmp", bmp_test::Bitmap24(4, 2));
        pdf_.DrawImage("LOGO-COPY.BMP", 90, 10, 8, 4);
        pdf_.AddImagePattern("dots", 2, 2, {0x40, 0x80}, {0, 0, 0, 255, 255, 255}, "#FFFFFF");
        pdf_.DrawImage("dots", 110, 10, 10, 10);

        pdf_.SetColorText("DarkBlue");
        pdf_.SetFont("Helvetica", 14, 1 + 4);
        pdf_.DrawText(100, 40, "Heading underlined", 4);
        pdf_.SetColorText("#336699");
        pdf_.SetFont("Times", 11, 2 + 8 + 16);
        pdf_.DrawText(190, 55, "Right aligned", 2);
        pdf_.SetFont("Courier", 10, 3);
        pdf_.SetXY(10, 70);
        pdf_.WriteText("Base");
        pdf_.WriteText("up", 1);
        pdf_.WriteText("down", 2);
        pdf_.WriteTextLn(" end");
        pdf_.SetFont("Symbol", 12);
        pdf_.DrawText(10, 85, "abg");
        pdf_.SetFont("ZapfDingbats", 12);
        pdf_.DrawText(40, 85, "345");
        const int charsets[] = {0, 161, 162, 186, 204, 238};
        // Words without a letter twice in a row: a reader that lacks the widths of a standard
        // font's non-Latin glyphs stacks them, and then drops a repeated one as a fake bold.
        const char* samples[] = {"Grüße",       "Γειά σου", "Türkçe ğış",
                                 "Lietuvių ąč", "Москва",   "Čeština řž"};
        float y = 100;
        for (int i = 0; i < 6; ++i) {
            pdf_.SetFont(i % 2 == 0 ? "Arial" : "Times New Roman", 10, 0, charsets[i]);
            pdf_.DrawText(10, y, Pagora::FromUtf8(samples[i], charsets[i]));
            y += 6;
        }
        pdf_.SetFont("Arial", 9, 0, 0);
        pdf_.SetCharSpacing(0.5f);
        pdf_.SetWordSpacing(1);
        pdf_.SetTextHorizontalScaling(90);
        pdf_.SetTextMode(2);
        pdf_.DrawText(100, 100, "Spaced stroked text");
        pdf_.SetTextMode(0);
        pdf_.SetCharSpacing(0);
        pdf_.SetWordSpacing(0);
        pdf_.SetTextHorizontalScaling(100);
        pdf_.DrawTextCircular(150, 150, 20, "around", 270, 4);

        pdf_.SetBoxStyle(1.2f, 5, 2, 2, 2, 2, 15, 3);
        pdf_.SetColorFill("%10");
        const std::string text = Pagora::FromUtf8(
            "Première ligne d’un paragraphe assez long pour revenir à la ligne.\r\n"
            "Second paragraph that does not fit into the first box at all.");
        const std::string rest = pdf_.DrawTextBox(10, 150, 60, 20, text, 8 + 64, 4);
        EXPECT_FALSE(rest.empty());
        EXPECT_EQ(pdf_.DrawTextBox(80, 150, 60, 0, rest, 16, 0), "");
        pdf_.DrawTextBox(10, 200, 40, 10, "Shrunk into one line", 128 + 32);
        pdf_.DrawTextBox(60, 200, 40, 10, "Cut where it ends", 512);
        pdf_.EndPage();
    }

    // The second page: every shape, colour form, line style, transparency and transformation.
    void DrawingPage() {
        pdf_.SetScale(2);
        pdf_.SetMargins(5, 5, 5, 5);
        pdf_.SetPageView(3);
        pdf_.SetPaperSize(255, 150, 100);
        pdf_.BeginPage();
        pdf_.SetLineWidth(0.5f);
        pdf_.SetLineStyle(0x22, 10);
        pdf_.SetColorLine("Red");
        pdf_.SetColorFill("@0;100;100;0");
        pdf_.DrawRect(5, 5, 30, 20, 4);
        pdf_.SetDash("Dash");
        pdf_.DrawRect(40, 5, 30, 20, 0, 255, 4);
        pdf_.SetDash("3;1;1;1", 1);
        pdf_.DrawRect(75, 5, 30, 20, 0, 4 + 8 + 16 + 64, 5);
        pdf_.SetDash();
        pdf_.SetColorFill("#00FF80");
        pdf_.SetAlpha(60);
        pdf_.SetBlend(1);
        pdf_.DrawEllipse(20, 40, 15, 8, 4);
        pdf_.SetAlphaFill(40);
        pdf_.SetAlphaLine(80);
        pdf_.DrawCircle(50, 40, 8, 4 + 2);
        pdf_.SetBlend(0);
        pdf_.SetAlpha(100);
        pdf_.DrawArc(80, 40, 10, 0, 270, 1, true, 5, 4);
        pdf_.DrawArc(105, 40, 10, -45, 45, 0.5f, false, 3);
        pdf_.DrawPolygon(130, 40, 8, 6, 4);
        pdf_.SetColorLine("@0;128;255");
        pdf_.DrawPolyline(std::vector<double>{5, 60, 20, 70, 35, 60});
        pdf_.DrawPolyline(std::vector<std::string>{"40", "60", "55.5", "70", "70", "60"}, 2);
        pdf_.MoveTo(75, 60);
        pdf_.DrawLineTo(90, 70);
        pdf_.DrawLine(95, 60, 110, 70);
        pdf_.DrawCurve(1, 115, 60, 125, 75, 140, 60);
        pdf_.SetColorLine(std::to_string(0x0000FF));
        pdf_.DrawCurve(2, 120, 80, 140, 90);
        pdf_.DrawCurve(3, 5, 80, 20, 95);
        pdf_.BeginSpace(60, 85, 0.5f, 0.5f, 30);
        pdf_.AxisRotation(15);
        pdf_.AxisScaling(1.2f, 0.8f);
        pdf_.AxisSkewing(10, 0);
        pdf_.AxisTranslation(2, 2);
        pdf_.SetColorFill("Yellow");
        pdf_.SetLineWidth(1);
        pdf_.DrawRect(0, 0, 20, 10, 4 + 128); // clipped from here to the end of the space
        pdf_.SetFont("Arial", 8);
        pdf_.DrawText(1, 6, "In a space");
        pdf_.EndSpace();
        pdf_.SetColorFill(); // filling off
        pdf_.DrawRect(100, 80, 20, 10, 4);
        pdf_.SetColorFill("Black");
        pdf_.EndPage();
        pdf_.SetScale(0);
        pdf_.SetMargins();
        pdf_.SetPageView(0);
    }
};

TEST_F(WholeDocument, EveryOperationTogetherGivesAValidFile) {
    const std::string logo = dir_.File("logo.bmp");
    testing_support::WriteFileBytes(logo, bmp_test::AsText(bmp_test::Bitmap24(30, 15)));
    pdf_.SetDocProperty(Pagora::FromUtf8("Alles & mehr"), "Subject", "Author", "Creator",
                        "Producer", "key words");
    pdf_.SetViewerPreferences(0x4000 | 2 | 0x100);
    pdf_.SetPrecision(4);
    pdf_.SetCompression(0x502, 0x502, 0);
    pdf_.BeginDoc(Path());
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    TextPage(logo);
    DrawingPage();
    pdf_.SetPaperSize(5); // a third page, moved to the front, then swapped back behind the first
    pdf_.BeginPage(1);
    pdf_.DrawText(10, 20, "Third page");
    pdf_.EndPage();
    pdf_.SwapPages(1, 2);
    pdf_.BeginOnPage(1);
    pdf_.SetColorText("Green");
    pdf_.DrawText(10, 280, "Overlay on the first page");
    pdf_.EndOnPage();
    pdf_.EndDoc();
    EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrSource() << ": " << pdf_.ErrDescription();

    ExpectValidPdf();
    const auto info = Run("pdfinfo -f 1 -l 3 %f 2>&1");
    EXPECT_NE(info.out.find("Pages:           3"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Title:           Alles & mehr"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Page    1 size:  596 x 842 pts"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Page    2 size:  421 x 298 pts"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Page    3 rot:   90"), std::string::npos) << info.out;

    // Rendering reports nothing but the notice that colour management is not built in.
    const auto draw = Run("mutool draw -q -r 36 -o /dev/null %f 2>&1 >/dev/null");
    EXPECT_EQ(draw.status, 0);
    std::string errors = draw.out;
    const std::string notice = "warning: ICC support is not available\n";
    for (std::size_t at = errors.find(notice); at != std::string::npos; at = errors.find(notice))
        errors.erase(at, notice.size());
    EXPECT_EQ(errors, "");
    const auto render = Run("pdftoppm -r 36 -png %f /dev/null 2>&1");
    EXPECT_EQ(render.out, "");

    const auto text = Run("pdftotext -enc UTF-8 %f - 2>&1");
    for (const char* expected : {"Heading underlined", "Right aligned", "Grüße", "Москва",
                                 "Čeština řž", "Türkçe ğış", "Première", "first box at all.",
                                 "Overlay on the first page", "Third page", "Lietuvių ąč"}) {
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
    }
    // Each image is one object however often it is placed.
    const auto images = Run("pdfimages -list %f 2>&1");
    EXPECT_NE(images.out.find("   30    15  rgb     3   8  image"), std::string::npos)
        << images.out;
    const auto objects = testing_support::InspectPdf(Path(), "image-count");
    EXPECT_EQ(objects.out, "3\n");
}

} // namespace
