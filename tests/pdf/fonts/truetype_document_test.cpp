// TrueType fonts loaded into documents: the record AddFont registers, the objects it writes,
// and text in those fonts read back by independent tools.
#include "pdf/fonts/font_state.h"
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/fonts/truetype_builder.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string kLiberationBoldItalic =
    "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf";

class TrueTypeDocument : public writer_test::WriterTest {
protected:
    const pagora::detail::FontState& Fonts() { return pagora::detail::StateOf(pdf_).fonts; }
    const pagora::detail::FontRecord& Font(int index) {
        return Fonts().list.at(static_cast<std::size_t>(index));
    }

    // Writes one page with a line of text in a font, ends the document and checks the file.
    void FinishWithLine(const std::string& alias, std::string_view text) {
        pdf_.BeginPage();
        pdf_.SetFont(alias, 10);
        pdf_.DrawText(20, 40, text);
        pdf_.EndPage();
        pdf_.EndDoc();
        ExpectValidPdf();
    }

    // The font lines of the written file as pikepdf reads them.
    std::vector<std::string> FontReport() const {
        const auto report = testing_support::InspectPdf(Path(), "fonts");
        EXPECT_EQ(report.status, 0) << report.out;
        return testing_support::Lines(report.out);
    }

    // The widths of codes 32 to 255 that FreeType gives the face in a code page.
    static std::string ReferenceWidths(const std::string& font, const char* code_page) {
        const auto reference = testing_support::RunCommand(
            "/usr/bin/python3 '" + testing_support::SourceDir() +
            "/tests/pdf/fonts/truetype_reference.py' '" + font + "' " + code_page);
        const std::size_t at = reference.out.find("widths ");
        std::istringstream in(reference.out.substr(at + 7));
        std::string joined;
        int width = 0;
        for (int code = 0; in >> width; ++code) {
            if (code < 32) continue;
            joined += (joined.empty() ? "" : ",") + std::to_string(width);
        }
        return joined;
    }
};

KERBOLT_TEST_LABEL(oracle,
                   "TrueTypeDocument.EmbeddedFontCarriesTheFileAndItsWidthsAndGivesTheTextBack");
TEST_F(TrueTypeDocument, EmbeddedFontCarriesTheFileAndItsWidthsAndGivesTheTextBack) {
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.AddFont(kDejaVuSans), "DejaVuSans");
    ASSERT_EQ(Fonts().list.size(), 1U);
    EXPECT_EQ(Fonts().kept.current_font, pagora::detail::kNoFont); // loading selects nothing
    EXPECT_EQ(Font(0).key, "DEJAVUSANS");
    EXPECT_TRUE(Font(0).truetype);
    EXPECT_EQ(Font(0).line_height, 928 + 236);
    EXPECT_EQ(Font(0).descent, -236);
    EXPECT_EQ(Font(0).differences, "");
    EXPECT_EQ(pdf_.AddFont(kDejaVuSans, "Cyr", true, 204), "Cyr");
    EXPECT_EQ(Font(1).charset, 204);
    EXPECT_NE(Font(1).differences, "");

    pdf_.BeginPage();
    pdf_.SetFont("dejavusans", 12);
    EXPECT_EQ(Fonts().kept.current_font, 0);
    pdf_.DrawText(20, 40, pagora::Pagora::FromUtf8("Grüße – 25 €"));
    pdf_.SetFont("Cyr", 12, 0, 204);
    pdf_.DrawText(20, 80, pagora::Pagora::FromUtf8("Съешь же ещё", 204));
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    ExpectValidPdf();

    const std::string program = testing_support::ReadFileBytes(kDejaVuSans);
    EXPECT_EQ(Run("qpdf --show-object=6 --filtered-stream-data %f").out, program);
    const auto lines = FontReport();
    ASSERT_EQ(lines.size(), 2U);
    const std::string length = std::to_string(program.size());
    EXPECT_EQ(lines[0], "/AABC12+DejaVuSans /TrueType /DejaVuSans " +
                            ReferenceWidths(kDejaVuSans, "cp1252") + " 32 0 70 " + length);
    EXPECT_EQ(lines[1], "/AABC12+Cyr /TrueType /DejaVuSans " +
                            ReferenceWidths(kDejaVuSans, "cp1251") + " 32 0 70 " + length);

    const auto listed = Run("pdffonts %f 2>&1").out;
    EXPECT_NE(listed.find("DejaVuSans                           TrueType          WinAnsi     "
                          "     yes"),
              std::string::npos)
        << listed;
    EXPECT_EQ(Run("pdftotext -enc UTF-8 %f - 2>&1").out, "Grüße – 25 €\nСъешь же ещё\n\n\f");
}

KERBOLT_TEST_LABEL(oracle, "TrueTypeDocument.FontWithoutProgramAndTheStyleOfItsFace");
TEST_F(TrueTypeDocument, FontWithoutProgramAndTheStyleOfItsFace) {
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.AddFont(kLiberationBoldItalic, "Display", false), "Display");
    EXPECT_EQ(Font(0).base_name, "LiberationSansBoldItalic,BoldItalic");
    FinishWithLine("Display", "Slanted");
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    EXPECT_EQ(Bytes().find("/FontFile2"), std::string::npos);
    const auto lines = FontReport();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "/AABC12+Display /TrueType /LiberationSansBoldItalic,BoldItalic " +
                            ReferenceWidths(kLiberationBoldItalic, "cp1252") + " 96 -12 120 none");
    EXPECT_NE(Run("pdffonts %f 2>&1").out.find(" no "), std::string::npos);
    EXPECT_EQ(Run("pdftotext %f - 2>&1").out, "Slanted\n\n\f");
}

TEST_F(TrueTypeDocument, WidthsOfTheFontMeasureItsText) {
    pdf_.BeginDoc(Path());
    pdf_.AddFont(kDejaVuMono, "Mono");
    pdf_.SetFont("Mono", 10);
    // Every glyph of this face shares one advance, 1233 units of 2048.
    EXPECT_FLOAT_EQ(pdf_.GetTextWidth("Wide iii"), 8 * 602 * 10 / 1000.0F);
    EXPECT_FLOAT_EQ(pdf_.GetTextHeight(), (928 + 236) * 10 / 1000.0F);
}

KERBOLT_TEST_LABEL(oracle, "TrueTypeDocument.ArchivedDocumentsEmbedEveryFontInItsCharset");
TEST_F(TrueTypeDocument, ArchivedDocumentsEmbedEveryFontInItsCharset) {
    pdf_.SetPDFa(true);
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.AddFont(kDejaVuSans, "Archived", false, 204), "Archived");
    EXPECT_EQ(Font(0).charset, 204);
    FinishWithLine("Archived", pagora::Pagora::FromUtf8("Сохранено", 204));
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("/FontFile2"), std::string::npos);
    // No encoding but the font's own symbol map, and a map back to the characters.
    EXPECT_EQ(bytes.find("/Differences"), std::string::npos);
    EXPECT_NE(bytes.find("/ToUnicode"), std::string::npos);
    EXPECT_EQ(Run("pdftotext %f - 2>&1").out, "Сохранено\n\n\f");
}

KERBOLT_TEST_LABEL(oracle, "TrueTypeDocument.TakenNamesGetTheCharsetAppended");
TEST_F(TrueTypeDocument, TakenNamesGetTheCharsetAppended) {
    pdf_.BeginDoc(Path());
    pdf_.SetFont("Arial", 10);
    EXPECT_EQ(pdf_.AddFont(kDejaVuSans, "Face"), "Face");
    EXPECT_EQ(pdf_.AddFont(kDejaVuMono, "Face"), "Face-0");
    EXPECT_EQ(pdf_.AddFont(kDejaVuMono, "ARIAL", true, 238), "Arial-238");
    EXPECT_EQ(Font(2).key, "FACE-0");
    FinishWithLine("face-0", "Second");
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    EXPECT_EQ(Fonts().kept.current_font, 2);
    EXPECT_EQ(Fonts().kept.font_resource_name, "Face-0");
    EXPECT_EQ(Writer().font_resources,
              "/AABC12+Arial 4 0 R /AABC12+Face 5 0 R /AABC12+Face-0 8 0 R "
              "/AABC12+Arial-238 11 0 R ");
    EXPECT_EQ(Run("pdftotext %f - 2>&1").out, "Second\n\n\f");
}

// The alias AddFont returns, and the alias as the caller gave it, select the added font: blanks
// are dropped and a standard family's spelling becomes its name, as SetFont treats the family
// it is given, so neither call silently selects a standard font instead.
// The face is an installed font file.
KERBOLT_LINUX_ONLY("TrueTypeDocument.TheAliasSelectsTheAddedFont");
TEST_F(TrueTypeDocument, TheAliasSelectsTheAddedFont) {
    pdf_.BeginDoc(Path());
    const struct {
        const char* given;
        int charset;
        const char* alias;
    } cases[] = {
        {"My Face", 0, "MyFace"},
        {" Greek  Face ", 161, "GreekFace"},
        {"Times", 0, "TimesNewRoman"},
        {"courier new", 204, "CourierNew-204"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        const std::string alias = pdf_.AddFont(kDejaVuSans, c.given, false, c.charset);
        EXPECT_EQ(alias, c.alias);
        const int added = static_cast<int>(Fonts().list.size()) - 1;
        ASSERT_TRUE(Font(added).truetype);
        for (const std::string& name : {std::string(c.given), alias}) {
            pdf_.SetFont(name, 10, 0, c.charset);
            EXPECT_EQ(Fonts().kept.current_font, added) << name;
            EXPECT_EQ(Fonts().list.size(), static_cast<std::size_t>(added) + 1)
                << name; // no standard font came in
        }
    }
    EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
}

TEST_F(TrueTypeDocument, FontWithoutANameIsNamedAfterItsFile) {
    font_test::BuiltFont font;
    font.names.clear();
    font.glyphs = {font_test::BuiltFont::Glyph{1, {0, 0, 500, 700}}};
    const std::string path = dir_.File("House Face.ttf");
    testing_support::WriteFileBytes(path, font.Build());
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.AddFont(path), "HouseFace");
    EXPECT_EQ(Font(0).base_name, "HouseFace");
    EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
}

TEST_F(TrueTypeDocument, MissingFileRegistersNothing) {
    pdf_.BeginDoc(Path());
    const struct {
        std::string path;
        int number;
        std::string description;
    } cases[] = {
        {dir_.File("absent.ttf"), 53, "File not found"},
        {std::string(), 53, "File not found"},
        {dir_.Path().string(), 75, "Path/File access error"}, // a folder is there, no file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(pdf_.AddFont(c.path, "Absent"), "");
        EXPECT_EQ(pdf_.ErrNumber(), c.number);
        EXPECT_EQ(pdf_.ErrSource(), "Pagora.AddFont");
        EXPECT_EQ(pdf_.ErrDescription(), c.description + (c.path.empty() ? "" : " - " + c.path));
    }
    EXPECT_EQ(Fonts().list.size(), 0U);
    EXPECT_EQ(Writer().font_resources, "");
}

KERBOLT_TEST_LABEL(oracle, "TrueTypeDocument.DamagedFilesAreRefusedAndLeaveNothingInTheFile");
TEST_F(TrueTypeDocument, DamagedFilesAreRefusedAndLeaveNothingInTheFile) {
    const std::string font = testing_support::ReadFileBytes(kDejaVuSans);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"cut.ttf", font.substr(0, 2048)},
        {"cut-late.ttf", font.substr(0, font.size() / 2)},
        {"notes.ttf", "not a font at all\n"},
        {"empty.ttf", ""},
    };
    pdf_.BeginDoc(Path());
    const std::int64_t before = Writer().output_position;
    for (const auto& c : cases) {
        const std::string path = dir_.File(c.name);
        testing_support::WriteFileBytes(path, c.bytes);
        EXPECT_EQ(pdf_.AddFont(path, "Cut"), "") << c.name;
        EXPECT_EQ(pdf_.ErrNumber(), 9) << c.name;
        EXPECT_EQ(pdf_.ErrSource(), "Pagora.AddFont");
        EXPECT_NE(pdf_.ErrDescription().find(" - " + path), std::string::npos)
            << pdf_.ErrDescription();
    }
    EXPECT_EQ(Fonts().list.size(), 0U);
    EXPECT_EQ(Writer().font_resources, "");
    EXPECT_EQ(Writer().output_position, before);
    // A later selection of the alias gets a standard font, and the document stays valid.
    FinishWithLine("Cut", "Cut");
    EXPECT_EQ(Bytes().find("/FontFile2"), std::string::npos);
    EXPECT_NE(Bytes().find("/BaseFont /Arial "), std::string::npos);
}

KERBOLT_TEST_LABEL(oracle, "TrueTypeDocument.LoadingBeforeTheDocumentIsOpenKeepsNoRecord");
TEST_F(TrueTypeDocument, LoadingBeforeTheDocumentIsOpenKeepsNoRecord) {
    EXPECT_EQ(pdf_.AddFont(kDejaVuSans, "Early"), "Early");
    EXPECT_EQ(pdf_.ErrNumber(), 52);
    EXPECT_EQ(pdf_.ErrSource(), "Pagora.AddFont");
    EXPECT_EQ(Fonts().list.size(), 0U);
    pdf_.BeginDoc(Path());
    FinishWithLine("Early", "Later"); // a standard font under that name, with its dictionary
    EXPECT_NE(Bytes().find("/Name /AABC12+Early /BaseFont /Arial "), std::string::npos);
}

} // namespace
