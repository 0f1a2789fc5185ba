// Rich text and tables in whole documents, read back and rendered by independent tools.
#include "tests/pdf/content/content_fixture.h"
#include "tests/pdf/content/rendering.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

using content_test::Collapsed;
using content_test::ErrorsOf;
using content_test::Picture;
using content_test::ReadPpm;
using pagora::Pagora;

// The text without its tags.
std::string Untagged(std::string text, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        for (const std::string& tag : {"<" + name + ">", "</" + name + ">"}) {
            for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag))
                text.erase(at, tag.size());
        }
    }
    return text;
}

KERBOLT_TEST_LABEL(oracle, "RichDocument.*");
class RichDocument : public ::testing::Test {
protected:
    RichDocument() : pdf(std::make_shared<content_test::FixedHost>()) {}

    // The file is well formed, both renderers draw page `page` without a complaint, and the
    // pictures they made (72 dpi: one pixel a point) are returned, mupdf's first.
    std::vector<Picture> CheckAndRender(int page) {
        int status = -1;
        EXPECT_EQ(ErrorsOf("qpdf --check '" + path + "'", &status), "");
        EXPECT_EQ(status, 0);
        return content_test::RenderWithBoth(path, page, dir);
    }

    testing_support::TempDir dir;
    std::string path = dir.File("rich.pdf");
    Pagora pdf;
};

bool IsWhite(uint32_t pixel) {
    return pixel == 0xFFFFFFu;
}

bool IsDark(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) < 0x80 && ((pixel >> 8) & 0xFF) < 0x80 && (pixel & 0xFF) < 0x80;
}

TEST_F(RichDocument, TextFlowsThroughTwoBoxesOnTwoPages) {
    const std::vector<std::string> names = {"hl", "serif", "mono", "red", "blue", "green"};
    const std::string source =
        "<hl>Zone jaune</hl> : le <serif>déménagement</serif> des <mono>véhicules</mono> "
        "commence à <red>l’aube</red> ; les riverains <blue>concernés</blue> reçoivent une "
        "indemnité <green>forfaitaire</green>.\r\n"
        "<serif>Die Straße wird gesperrt, Grüße aus Zürich</serif> und <mono>Genève</mono>. "
        "<red>Ça coûte</red> <blue>très peu</blue>, <hl>même</hl> en août ; "
        "l’opérateur répond à chaque réclamation dans les quinze jours ouvrés, "
        "<serif><red>naïvement</red> ou non</serif>.\r\n"
        "Dernière ligne : œuvre, élève, île, où, ÿ.";

    pdf.BeginDoc(path);
    pdf.SetTextTag("hl", "", 0, -1, 0, "", "yellow");
    pdf.SetTextTag("serif", "Times", 13, 2);
    pdf.SetTextTag("mono", "Courier", 0, 1);
    pdf.SetTextTag("red", "", 0, -1, 0, "red");
    pdf.SetTextTag("blue", "", 0, 4, 0, "#0000FF");
    pdf.SetTextTag("green", "", 0, -1, 0, "#008000");
    pdf.BeginPage();
    pdf.SetFont("Arial", 12);
    pdf.SetBoxStyle(1.2f, 10, 0, 0, 0, 0);
    // The first box holds about four lines.
    const std::string rest = pdf.DrawTextRich(50, 50, 220, 64, Pagora::FromUtf8(source), 64, 0);
    ASSERT_FALSE(rest.empty());
    ASSERT_EQ(static_cast<unsigned char>(rest[0]), 0xFF);
    const float line_top = 50;
    const float zone = pdf.GetTextWidth("Zone");
    const float blank = pdf.GetTextWidth(" ");
    pdf.EndPage();
    pdf.BeginPage();
    EXPECT_EQ(pdf.DrawTextRich(50, 50, 300, 0, rest, 9, 0), "");
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);

    const auto text = testing_support::RunCommand("pdftotext -enc UTF-8 '" + path + "' -");
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(Collapsed(text.out), Collapsed(Untagged(source, names)));

    // Page 1: the backgrounds of "Zone " and "jaune" meet, the blank between them is yellow.
    // The first line's baseline is 12 below its top (Arial: line height 1221, descent -221).
    const auto pictures = CheckAndRender(1);
    for (const Picture& page : pictures) {
        ASSERT_EQ(page.width, 596);
        const int y = static_cast<int>(line_top + 12 - 14.652f / 2);
        const int between = static_cast<int>(50 + 10 + zone + blank / 2);
        EXPECT_EQ(page.At(between, y), 0xFFFF00u);
        EXPECT_EQ(page.At(between, y + 4), 0xFFFF00u);
        EXPECT_TRUE(IsWhite(page.At(40, y)));
    }
}

TEST_F(RichDocument, UntaggedTextStandsOnThePageUntilAFillIsChosen) {
    const struct {
        const char* fill; // nullptr: never chosen
        uint32_t between; // the pixel between the two words, at mid-height
    } cases[] = {{nullptr, 0xFFFFFFu}, {"yellow", 0xFFFF00u}, {"", 0xFFFFFFu}};
    pdf.BeginDoc(path);
    for (const auto& c : cases) {
        pdf.BeginPage();
        pdf.SetFont("Arial", 20);
        if (c.fill != nullptr) pdf.SetColorFill(c.fill);
        pdf.DrawTextRich(100, 100, 300, 0, "Mot mot");
        pdf.EndPage();
    }
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    // The baseline is 20 below the line's top; the blank after "Mot" at mid-height.
    const int x = static_cast<int>(100 + pdf.GetTextWidth("Mot") + pdf.GetTextWidth(" ") / 2);
    for (int page = 1; page <= 3; ++page) {
        for (const Picture& picture : CheckAndRender(page)) {
            ASSERT_EQ(picture.width, 596);
            EXPECT_EQ(picture.At(x, 113), cases[page - 1].between) << page;
            EXPECT_EQ(picture.At(x, 118), cases[page - 1].between) << page;
        }
    }
}

TEST_F(RichDocument, EveryAlignmentHandsOnTheWholeTextInOrder) {
    pdf.SetTextTag("b", "", 0, 1);
    const std::string source =
        "Le <b>premier paragraphe</b> est assez long pour couvrir plusieurs lignes dans une "
        "boîte étroite, et il continue encore un peu.\r\nLe second, plus court, <b>suit</b>.\r\n"
        "Troisième : fin.";
    const std::int32_t aligns[] = {8, 16, 32, 2, 4, 64, 16 | 2, 32 | 4, 16 | 64, 32 | 64};
    pdf.BeginDoc(path);
    pdf.SetFont("Arial", 12);
    for (const std::int32_t align : aligns) {
        // Boxes of two lines each, one box a page, until nothing is left.
        std::string rest = Pagora::FromUtf8(source);
        for (int box = 0; !rest.empty(); ++box) {
            ASSERT_LT(box, 40) << align;
            pdf.BeginPage();
            rest = pdf.DrawTextRich(100, 100, 160, 30, rest, align);
            pdf.EndPage();
        }
        pdf.BeginPage(); // a page between the alignments
        pdf.DrawText(100, 115, "|");
        pdf.EndPage();
    }
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    int status = -1;
    EXPECT_EQ(ErrorsOf("qpdf --check '" + path + "'", &status), "");
    EXPECT_EQ(status, 0);
    const auto text = testing_support::RunCommand("pdftotext -enc UTF-8 '" + path + "' -");
    ASSERT_EQ(text.status, 0);
    std::string expected;
    for (std::size_t i = 0; i < std::size(aligns); ++i)
        expected += Untagged(source, {"b"}) + " | ";
    EXPECT_EQ(Collapsed(text.out), Collapsed(expected));
    // Every line stays inside its box: nothing above its top or below its bottom.
    const auto boxes =
        testing_support::RunCommand("pdftotext -bbox '" + path + "' - | grep '<word'");
    ASSERT_EQ(boxes.status, 0);
    std::size_t at = 0;
    int words = 0;
    while ((at = boxes.out.find("yMin=\"", at)) != std::string::npos) {
        float y_min = 0, x_max = 0, y_max = 0;
        ASSERT_EQ(std::sscanf(boxes.out.c_str() + at, "yMin=\"%f\" xMax=\"%f\" yMax=\"%f\"", &y_min,
                              &x_max, &y_max),
                  3);
        EXPECT_GE(y_min, 99.0f);
        EXPECT_LE(y_max, 131.0f);
        ++words;
        ++at;
    }
    EXPECT_GT(words, 100);
}

TEST_F(RichDocument, ATableWithSpansBordersAndRoundedCorners) {
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.SetFont("Arial", 10);
    pdf.BeginTable(50, 50, 30, std::vector<double>{100, 80, 80, 120});
    // Strokes 2 points wide cover whole pixels on either side of the grid's lines.
    pdf.SetLineWidth(2);
    pdf.SetColorLine("black");
    pdf.SetColorFill("yellow");
    // Row 1: a header across the four columns, filled and stroked, its corners rounded.
    const auto header = pdf.TableCell(1, 1, 1, 4, 4, 255, 8);
    pdf.DrawText(header[0] + 5, header[1] + 20, "Header");
    // Rows 2 and 3: a cell two rows high, a framed cell, one with its bottom side only, and
    // one without its left side and with its right corners rounded.
    pdf.TableCell(2, 1, 2, 1, 0);
    pdf.TableCell(2, 2, 1, 1, 0);
    pdf.TableCell(2, 3, 1, 1, 0, 8);
    pdf.TableCell(2, 4, 1, 1, 0, 2 | 4 | 8 | 32 | 64, 6);
    // Row 3: a cell across three columns, stroked on its left and right sides only.
    pdf.TableCell(3, 2, 1, 3, 0, 1 | 2);
    pdf.EndTable();
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);

    const struct {
        int x, y;
        const char* what;
        int expected; // 0 white, 1 dark, 2 yellow
    } probes[] = {
        {50, 50, "outside the header's rounded corner", 0},
        {300, 65, "inside the header", 2},
        {150, 65, "the header over a column boundary", 2},
        {300, 50, "the header's top side", 1},
        {50, 110, "the tall cell's left side", 1},
        {100, 110, "inside the tall cell, across its rows", 0},
        {270, 110, "the bottom-only cell's bottom", 1},
        {310, 95, "between the cells without sides there", 0},
        {430, 125, "the wide cell's right side", 1},
        {300, 140, "below the wide cell, which has no bottom", 0},
    };
    for (const Picture& page : CheckAndRender(1)) {
        ASSERT_EQ(page.width, 596);
        for (const auto& probe : probes) {
            const uint32_t pixel = page.At(probe.x, probe.y);
            const bool as_expected = probe.expected == 0   ? IsWhite(pixel)
                                     : probe.expected == 1 ? IsDark(pixel)
                                                           : pixel == 0xFFFF00u;
            EXPECT_TRUE(as_expected) << probe.what << ": " << std::hex << pixel;
        }
    }
}

TEST_F(RichDocument, AnUnpaintedCellLeavesNoFrameForTheNextStroke) {
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.SetLineWidth(2);
    pdf.BeginTable(100, 100, 50, std::vector<double>{100});
    pdf.TableCell(1, 1);
    pdf.DrawLine(300, 300, 400, 300);
    pdf.EndTable();
    pdf.EndPage();
    pdf.EndDoc();
    for (const Picture& page : CheckAndRender(1)) {
        ASSERT_EQ(page.width, 596);
        EXPECT_TRUE(IsDark(page.At(350, 300)));
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{
                 {150, 100}, {100, 125}, {200, 125}, {150, 150}, {150, 99}, {99, 125}})
            EXPECT_TRUE(IsWhite(page.At(x, y))) << x << "," << y;
    }
}

} // namespace
