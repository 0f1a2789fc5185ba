// Standard fonts in a written document: the dictionaries byte for byte, one object per font,
// and text in each charset read back by independent tools.
#include "pdf/fonts/charset_differences.h"
#include "pdf/fonts/font_registry.h"
#include "pdf/fonts/fonts.h"
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"
#include "tests/pdf/fonts/font_file_readers.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/greymap.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using writer_test::WriterTest;

class FontDocument : public WriterTest {
protected:
    // Shows text in the current font at a line of the page, upright in the flipped page space.
    void ShowText(const std::string& bytes, int line) {
        auto& s = Writer();
        const std::string& alias = pagora::detail::StateOf(pdf_).fonts.kept.font_resource_name;
        pagora::detail::WriteContent(s, "BT");
        pagora::detail::WriteContent(s, pagora::detail::FormatName(s.resource_prefix + alias) +
                                            " 8 Tf");
        pagora::detail::WriteContent(s, "1 0 0 -1 20 " + std::to_string(40 + 20 * line) + " Tm");
        pagora::detail::WriteContent(s, "(" + pagora::detail::EscapeString(bytes) + ") Tj");
        pagora::detail::WriteContent(s, "ET");
    }

    std::size_t Count(const std::string& text) const {
        return testing_support::Count(Bytes(), text);
    }
};

KERBOLT_TEST_LABEL(oracle, "FontDocument.DictionariesAreWrittenOnceAtRegistration");
TEST_F(FontDocument, DictionariesAreWrittenOnceAtRegistration) {
    pdf_.BeginDoc(Path());
    pdf_.SetFont("Arial", 10, 0, 0);
    pdf_.SetFont("arial", 12, 0, 204);
    pdf_.SetFont("Symbol", 12, 3, 0);
    pdf_.SetFont("Helvetica", 9, 4, 0); // the first font again
    EXPECT_EQ(pagora::detail::StateOf(pdf_).fonts.kept.current_font, 0);
    EXPECT_EQ(Writer().font_resources,
              "/AABC12+Arial 4 0 R /AABC12+Arial-204 5 0 R /AABC12+Symbol 6 0 R ");
    pdf_.BeginPage();
    ShowText("Text", 0);
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);

    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("\n4 0 obj\n"
                         "<< /Type /Font /Subtype /Type1 /Name /AABC12+Arial /BaseFont /Arial "
                         "/FirstChar 32 /LastChar 255\n"
                         "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding  >>\n"
                         "/Widths [278 278 355 556 556 889 667 191 "),
              std::string::npos);
    EXPECT_NE(
        bytes.find("\n5 0 obj\n"
                   "<< /Type /Font /Subtype /Type1 /Name /AABC12+Arial-204 /BaseFont /Arial "
                   "/FirstChar 32 /LastChar 255\n"
                   "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences " +
                   std::string(pagora::detail::GetCharsetDifferences(204)) +
                   " >>\n"
                   "/Widths [277 277 354 556 556 889 666 190 "),
        std::string::npos);
    EXPECT_NE(bytes.find("\n6 0 obj\n"
                         "<< /Type /Font /Subtype /Type1 /Name /AABC12+Symbol /BaseFont /Symbol "
                         "/FirstChar 32 /LastChar 255\n"
                         " >>\n"
                         "endobj\n"),
              std::string::npos);
    // Each widths array closes its font's dictionary.
    EXPECT_EQ(Count("\r]\n >>\nendobj\n"), 2U);
    EXPECT_EQ(Count("/Type /Font "), 3U);
    ExpectValidPdf();
}

KERBOLT_TEST_LABEL(oracle, "FontDocument.FontAliasesFromCallersAreValidNames");
TEST_F(FontDocument, FontAliasesFromCallersAreValidNames) {
    pdf_.BeginDoc(Path());
    pdf_.SetFont("My(Font)/2", 10);
    pdf_.BeginPage();
    ShowText("Name", 0);
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    EXPECT_NE(Bytes().find("/Name /AABC12+My#28Font#29#2F2 /BaseFont /Arial "), std::string::npos);
    ExpectValidPdf();
    EXPECT_EQ(Run("pdftotext %f - 2>&1").out, "Name\n\n\f");
}

TEST_F(FontDocument, FontBeforeTheDocumentIsOpenIsAnError) {
    EXPECT_THROW(pdf_.SetFont("Arial", 10), pagora::PdfError);
    EXPECT_EQ(pagora::detail::StateOf(pdf_).fonts.kept.current_font, pagora::detail::kNoFont);
    pdf_.BeginDoc(Path());
    pdf_.SetFont("Arial", 10);
    EXPECT_EQ(pagora::detail::StateOf(pdf_).fonts.kept.current_font, 0);
    EXPECT_EQ(Writer().font_resources, "/AABC12+Arial 4 0 R ");
}

TEST_F(FontDocument, SetFontSizeStoresAnyValue) {
    for (const float size : {0.0F, -5.0F, 7.5F}) {
        pdf_.SetFontSize(size);
        EXPECT_EQ(pagora::detail::StateOf(pdf_).fonts.font_size, size);
    }
}

// The TrueType branch, for fonts loaded from files: dictionary, descriptor and embedded program
// as consecutive objects.
KERBOLT_TEST_LABEL(oracle, "FontDocument.TrueTypeFontIsWrittenWithDescriptorAndProgram");
TEST_F(FontDocument, TrueTypeFontIsWrittenWithDescriptorAndProgram) {
    const std::string program =
        testing_support::ReadFileBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_FALSE(program.empty());
    pdf_.BeginDoc(Path());
    auto& fonts = pagora::detail::StateOf(pdf_).fonts;
    pagora::detail::FontRecord& record = pagora::detail::AddFontRecord(fonts);
    record.truetype = true;
    record.base_name = "DejaVuSans";
    record.key = "DEJAVU";
    record.alias = "DejaVu";
    record.widths.fill(600);
    const int object = pagora::detail::WriteFont(
        pagora::detail::StateOf(pdf_), "DejaVu", program, static_cast<int>(program.size()),
        "/Flags 32 /FontBBox [-1021 -463 1793 1232] /MissingWidth 600 /StemV 70 /ItalicAngle 0 "
        "/CapHeight 729 /XHeight 547 /Ascent 928 /Descent -236 /MaxWidth 2000 /AvgWidth 600");
    EXPECT_EQ(object, 4);
    pdf_.SetFont("dejavu", 10, 0, 204); // found in any charset: no second object
    EXPECT_EQ(fonts.kept.current_font, 0);
    pdf_.BeginPage();
    ShowText("Embedded", 0);
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    ExpectValidPdf();

    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("\n4 0 obj\n<< /Type /Font /Subtype /TrueType /Name /AABC12+DejaVu "
                         "/BaseFont /DejaVuSans /FirstChar 32 /LastChar 255\n"
                         "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding  >>\n"
                         "/FontDescriptor 5 0 R\r/Widths [600 "),
              std::string::npos);
    EXPECT_NE(bytes.find("\n5 0 obj\n<< /Type /FontDescriptor /FontName /DejaVuSans /Flags 32 "),
              std::string::npos);
    EXPECT_NE(bytes.find(" /AvgWidth 600 \n/FontFile2 6 0 R >>\nendobj\n6 0 obj\n<<\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("/Length1 " + std::to_string(program.size())), std::string::npos);
    EXPECT_EQ(Run("qpdf --show-object=6 --filtered-stream-data %f").out, program);
    const auto listed = Run("pdffonts %f 2>&1").out;
    EXPECT_NE(listed.find("DejaVuSans"), std::string::npos) << listed;
    EXPECT_NE(listed.find("TrueType"), std::string::npos) << listed;
    EXPECT_NE(listed.find(" yes "), std::string::npos) << listed;
    EXPECT_EQ(Run("pdftotext %f - 2>&1").out, "Embedded\n\n\f");
}

struct Charset {
    int number;
    const char* iconv_name;
};
constexpr Charset kCharsets[] = {{0, "CP1252"},   {161, "CP1253"}, {162, "CP1254"},
                                 {186, "CP1257"}, {204, "CP1251"}, {238, "CP1250"}};

std::string Utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The no-break space and soft hyphen of every code page are read by poppler as a space and a
// hyphen.
char32_t AsPopplerReads(int code, char32_t cp) {
    if (code == 0xA0) return ' ';
    if (code == 0xAD) return '-';
    return cp;
}

KERBOLT_TEST_LABEL(oracle, "FontDocument.TextInEveryCharsetReadsBackAsTheCodePageDecodesIt");
TEST_F(FontDocument, TextInEveryCharsetReadsBackAsTheCodePageDecodesIt) {
    pdf_.BeginDoc(Path());
    std::vector<std::string> expected;
    for (const char* family : {"Arial", "Times"}) {
        for (const Charset& charset : kCharsets) {
            pdf_.BeginPage();
            pdf_.SetFont(family, 8, 0, charset.number);
            std::string text;
            for (int half = 0; half < 2; ++half) {
                // Brackets keep the leading space from being trimmed as layout.
                std::string bytes = "[";
                text += "[";
                for (int code = 160 + 48 * half; code < 208 + 48 * half; ++code) {
                    const auto cp = font_test::IconvCodePoint(charset.iconv_name,
                                                              static_cast<unsigned char>(code));
                    if (!cp) continue; // undefined in this code page
                    bytes += static_cast<char>(code);
                    text += Utf8(AsPopplerReads(code, *cp));
                }
                ShowText(bytes + "]", half);
                text += "]\n";
            }
            expected.push_back(text);
            pdf_.EndPage();
        }
    }
    // Selecting the fonts again writes nothing more.
    for (const char* family : {"Helvetica", "TimesNewRoman"}) {
        for (const Charset& charset : kCharsets)
            pdf_.SetFont(family, 8, 0, charset.number);
    }
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    EXPECT_EQ(Count("/Type /Font "), 12U);
    ExpectValidPdf();

    for (std::size_t page = 1; page <= expected.size(); ++page) {
        const std::string n = std::to_string(page);
        const auto text = Run("pdftotext -enc UTF-8 -f " + n + " -l " + n + " %f - 2>&1");
        EXPECT_EQ(text.out, expected[page - 1] + "\n\f") << "page " << page;
    }

    const auto fonts = Run("pdffonts %f 2>&1");
    ASSERT_EQ(fonts.status, 0) << fonts.out;
    std::size_t arial = 0;
    std::size_t times = 0;
    std::istringstream lines(fonts.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("Arial ", 0) == 0) ++arial;
        if (line.rfind("TimesNewRoman ", 0) == 0) ++times;
        if (line.rfind("Arial ", 0) == 0 || line.rfind("TimesNewRoman ", 0) == 0) {
            EXPECT_NE(line.find(" Type 1 "), std::string::npos) << line;
            EXPECT_NE(line.find(" no "), std::string::npos) << line; // not embedded
        }
    }
    EXPECT_EQ(arial, 6U) << fonts.out;
    EXPECT_EQ(times, 6U) << fonts.out;
}

} // namespace

namespace {

// The horizontal extent of every text line a tool reports, in the order it reports them:
// pdftotext -bbox gives words (one word per line here), mutool's structured text gives lines.
std::vector<double> LineWidths(const std::string& report, const std::string& tag) {
    std::vector<double> widths;
    for (std::size_t at = report.find("<" + tag + " "); at != std::string::npos;
         at = report.find("<" + tag + " ", at + 1)) {
        const std::string element = report.substr(at, report.find('>', at) - at);
        const auto number = [&element](const std::string& name) {
            const std::size_t key = element.find(name + "=\"");
            return key == std::string::npos ? 0.0
                                            : std::stod(element.substr(key + name.size() + 2));
        };
        if (tag == "word") {
            widths.push_back(number("xMax") - number("xMin"));
        } else {
            std::istringstream box(element.substr(element.find("bbox=\"") + 6));
            double x0 = 0, y0 = 0, x1 = 0;
            box >> x0 >> y0 >> x1;
            widths.push_back(x1 - x0);
        }
    }
    return widths;
}

} // namespace

KERBOLT_TEST_LABEL(oracle, "FontDocument.ViewersAdvanceEveryCharsetByTheMeasuredWidths");
TEST_F(FontDocument, ViewersAdvanceEveryCharsetByTheMeasuredWidths) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    std::vector<double> measured;
    int line = 0;
    for (const char* family : {"Arial", "Times", "Courier"}) {
        for (const Charset& charset : kCharsets) {
            pdf_.SetFont(family, 10, 0, charset.number);
            // One word of the charset's upper half: letters a viewer without the font's widths
            // would pile onto one spot.
            std::string word;
            for (int code = 0xC0; code < 0xE0; ++code) {
                if (font_test::IconvCodePoint(charset.iconv_name, static_cast<unsigned char>(code)))
                    word += static_cast<char>(code);
            }
            pdf_.DrawText(20, 30 + 40.0f * static_cast<float>(line++), word);
            measured.push_back(pdf_.GetTextWidth(word));
        }
    }
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    ExpectValidPdf();

    const auto poppler = Run("pdftotext -bbox %f - 2>&1");
    const auto mupdf = Run("mutool draw -q -F stext -o - %f 2>&1");
    ASSERT_EQ(poppler.status, 0) << poppler.out;
    ASSERT_EQ(mupdf.status, 0) << mupdf.out;
    for (const auto& [tool, widths] : {std::pair{"poppler", LineWidths(poppler.out, "word")},
                                       std::pair{"mupdf", LineWidths(mupdf.out, "line")}}) {
        ASSERT_EQ(widths.size(), measured.size()) << tool;
        for (std::size_t i = 0; i < measured.size(); ++i)
            EXPECT_NEAR(widths[i], measured[i], 0.5) << tool << " line " << i;
    }
}

// Capital delta, capital omega and small mu of the Greek charset: both readers give the Greek
// letters back (their plain glyph names also stand for the increment, ohm and micro signs), and
// both draw every one of them, in the standard families and in an embedded font.
KERBOLT_TEST_LABEL(oracle, "FontDocument.GreekLettersReadBackAsGreekAndAreDrawn");
TEST_F(FontDocument, GreekLettersReadBackAsGreekAndAreDrawn) {
    pdf_.BeginDoc(Path());
    const std::string embedded =
        pdf_.AddFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "Greek", true, 161);
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    const std::string letters = "\xC4\xD9\xEC";
    const std::string greek = "\xCE\x94\xCE\xA9\xCE\xBC"; // U+0394 U+03A9 U+03BC in UTF-8
    const std::vector<std::string> families = {"Arial", "Times", "Courier", embedded};
    pdf_.BeginPage();
    for (std::size_t row = 0; row < families.size(); ++row) {
        pdf_.SetFont(families[row], 24, 0, 161);
        // One letter at a time, far apart, so that each one's drawing is probed on its own.
        for (std::size_t i = 0; i < letters.size(); ++i) {
            pdf_.DrawText(40 + 80 * static_cast<float>(i), 60 + 60 * static_cast<float>(row),
                          letters.substr(i, 1));
        }
    }
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    ExpectValidPdf();
    EXPECT_NE(Bytes().find("/FontFile2 "), std::string::npos);

    for (const char* extract :
         {"pdftotext -enc UTF-8 -layout %f - 2>&1", "mutool draw -q -F txt -o - %f 2>/dev/null"}) {
        const auto text = Run(extract);
        ASSERT_EQ(text.status, 0) << extract << ": " << text.out;
        std::string found;
        for (const char c : text.out) {
            if (static_cast<unsigned char>(c) >= 0x80) found += c;
        }
        std::string expected;
        for (std::size_t row = 0; row < families.size(); ++row)
            expected += greek;
        EXPECT_EQ(found, expected) << extract << ": " << text.out;
    }

    const std::string base = dir_.File("greek");
    ASSERT_EQ(Run("pdftoppm -r 72 -gray -singlefile %f '" + base + "' 2>&1").status, 0);
    ASSERT_EQ(Run("mutool draw -q -r 72 -c gray -o '" + base + "-mu.pgm' %f 2>&1").status, 0);
    for (const auto& [tool, file] :
         {std::pair{"poppler", base + ".pgm"}, std::pair{"mupdf", base + "-mu.pgm"}}) {
        const std::string image = testing_support::ReadFileBytes(file);
        ASSERT_EQ(image.rfind("P5", 0), 0U) << tool;
        for (std::size_t row = 0; row < families.size(); ++row) {
            for (std::size_t i = 0; i < letters.size(); ++i) {
                const int x = 40 + 80 * static_cast<int>(i);
                const int y = 60 + 60 * static_cast<int>(row);
                // The letter's cell: 24 points above the baseline and a little below it.
                EXPECT_GT(testing_support::DarkPixels(image, x - 2, y - 26, x + 26, y + 8), 20)
                    << tool << " " << families[row] << " letter " << i;
            }
        }
    }
}
