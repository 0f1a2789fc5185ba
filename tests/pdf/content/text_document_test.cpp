// A whole page of text and a logo, read back by independent tools.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/content/bmp_builder.h"
#include "tests/pdf/content/rendering.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using content_test::Collapsed;
using pagora::Pagora;

class TextDocument : public writer_test::WriterTest {};

KERBOLT_TEST_LABEL(oracle, "TextDocument.*");
TEST_F(TextDocument, LogoTextLinesAndABoxReadBackInOrder) {
    const std::string logo = dir_.File("logo.bmp");
    testing_support::WriteFileBytes(logo, bmp_test::AsText(bmp_test::Bitmap24(60, 30)));
    const std::string paragraphs[] = {
        "Le soussigné mandate l’opérateur pour réclamer l’indemnité de dérangement due pour "
        "les places de stationnement supprimées pendant les travaux.",
        "Die Entschädigung wird nach der Größe der Fläche berechnet; Grüße aus Zürich.",
        "Ce mandat peut être révoqué à tout moment.",
    };

    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.DrawImage(logo, 20, 20, 60, 30);
    pdf_.SetFont("Arial", 16, 1);
    pdf_.DrawText(100, 40, Pagora::FromUtf8("Mandat d’intervention"));
    pdf_.SetFont("Times", 11, 2);
    pdf_.DrawText(20, 80, Pagora::FromUtf8("Indemnité de dérangement"));
    pdf_.SetFont("Courier", 10, 4);
    pdf_.DrawText(20, 100, "Ref. 2025-001");
    pdf_.SetFont("Arial", 10);
    pdf_.SetBoxStyle(1.2f, 12, 4, 4, 4, 4);
    const std::string rest = pdf_.DrawTextBox(
        20, 120, 300, 0,
        Pagora::FromUtf8(paragraphs[0] + "\r\n" + paragraphs[1] + "\r\n" + paragraphs[2]), 64, 0);
    EXPECT_EQ(rest, "");
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();

    const auto text = Run("pdftotext -enc UTF-8 %f - 2>&1");
    ASSERT_EQ(text.status, 0) << text.out;
    const std::string read = Collapsed(text.out);
    std::size_t at = 0;
    for (const std::string& expected :
         {std::string("Mandat d’intervention"), std::string("Indemnité de dérangement"),
          std::string("Ref. 2025-001"), paragraphs[0], paragraphs[1], paragraphs[2]}) {
        const std::size_t found = read.find(expected, at);
        EXPECT_NE(found, std::string::npos) << expected << "\nin: " << read;
        if (found != std::string::npos) at = found + expected.size();
    }
    const auto images = Run("pdfimages -list %f 2>&1");
    EXPECT_NE(images.out.find("   60    30  rgb     3   8  image"), std::string::npos)
        << images.out;
}

// A family name outside the five is the font's alias: with delimiters in it, the text must still
// name the font its resource entry holds.
TEST_F(TextDocument, FontAliasWithDelimitersIsFoundByItsText) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.SetFont("My (Font)/[1]", 12);
    pdf_.DrawText(20, 40, "Odd alias");
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto draw = Run("mutool draw -q -o /dev/null %f 2>&1 | grep -v 'ICC support'");
    EXPECT_EQ(draw.out, "");
    const auto text = Run("pdftotext %f - 2>&1");
    EXPECT_NE(text.out.find("Odd alias"), std::string::npos) << text.out;
}

} // namespace
