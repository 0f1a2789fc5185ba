// Features that meet in one document, checked as a reader sees the file: gradients in objects and
// on pages, names given twice to patterns and field triggers, an object asked to paint itself,
// transparent pixels of TGA and PNG files, JPEG files with damaged tables, table rows past what a
// document holds, and drawings from real EPS files placed at their natural size.
#include "pdf/writer/members.h"
#include "tests/pdf/content/content_fixture.h"
#include "tests/pdf/content/rendering.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using content_test::Picture;
using content_test::ReadPpm;
using pagora::Pagora;
using pagora::PdfError;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::WriteFileBytes;

int Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const PdfError& error) {
        return error.Number();
    }
    return 0;
}

// Whether two pixels differ by at most `tolerance` in every channel.
bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF);
        const int y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > tolerance) return false;
    }
    return true;
}

KERBOLT_TEST_LABEL(oracle, "CrossFeatureDocument.*");
class CrossFeatureDocument : public ::testing::Test {
protected:
    CrossFeatureDocument() : pdf(std::make_shared<content_test::FixedHost>()) {}

    void Begin() {
        pdf.BeginDoc(path);
        ASSERT_EQ(pdf.ErrNumber(), 0);
        pagora::detail::StateOf(pdf).writer.resource_prefix = "P";
    }

    // qpdf finds neither errors nor warnings.
    void ExpectClean() const {
        const auto check = RunCommand("qpdf --check '" + path + "' 2>&1");
        EXPECT_EQ(check.status, 0) << check.out;
    }

    std::vector<Picture> Render(int page) { return content_test::RenderWithBoth(path, page, dir); }

    testing_support::TempDir dir;
    std::string path = dir.File("mix.pdf");
    Pagora pdf;
};

TEST_F(CrossFeatureDocument, AGradientInAnObjectLandsWhereItDoesOnThePage) {
    Begin();
    pdf.SetMargins(30, 20, 40, 10);
    // Page 1 fills a rectangle with the gradient directly, page 2 paints an object that does
    // the same calls.
    pdf.AddGradient("OnPage", 0, "blue", "white", 0, 100, 0, 300);
    pdf.BeginPage();
    pdf.SetColorFill("onpage");
    pdf.DrawRect(50, 50, 200, 300, 5);
    pdf.EndPage();
    pdf.BeginObject("Box");
    pdf.AddGradient("InObject", 0, "blue", "white", 0, 100, 0, 300);
    pdf.SetColorFill("inobject");
    pdf.DrawRect(50, 50, 200, 300, 5);
    pdf.EndObject();
    pdf.BeginPage();
    pdf.DrawObject("Box");
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    ExpectClean();
    const std::vector<Picture> page = Render(1);
    const std::vector<Picture> object = Render(2);
    for (std::size_t r = 0; r < 2; ++r) {
        ASSERT_EQ(page[r].width, 596);
        ASSERT_EQ(object[r].width, 596);
        // The rectangle spans 80 to 280 across and 90 to 390 down the page; the gradient runs
        // down from 100 to 300, measured from the page's top.
        for (const int y : {95, 120, 160, 200, 240, 280, 320, 380}) {
            for (const int x : {90, 180, 270}) {
                EXPECT_TRUE(Near(page[r].At(x, y), object[r].At(x, y), 3))
                    << "renderer " << r << " at " << x << "," << y << ": " << std::hex
                    << page[r].At(x, y) << " " << object[r].At(x, y);
            }
        }
        EXPECT_LT(page[r].At(180, 110) >> 16, 0x30u) << r; // near the blue end
        EXPECT_GT(page[r].At(180, 290) >> 16, 0xE0u) << r; // near the white end
    }
}

TEST_F(CrossFeatureDocument, PatternNamesAndFieldTriggersAreNeverWrittenTwice) {
    Begin();
    pdf.BeginPage();
    pdf.AddGradient("Sky", 0, "blue", "white", 0, 0, 0, 100);
    const std::int64_t written = pagora::detail::StateOf(pdf).writer.output_position;
    EXPECT_EQ(Raised([&] { pdf.AddGradient("SKY", 1, "red", "white", 0, 0, 0, 100, 0, 50); }), 5);
    EXPECT_EQ(Raised([&] { pdf.BeginTiling("sky", 0, 0, 10, 10, 10, 10); }), 5);
    EXPECT_FALSE(pagora::detail::StateOf(pdf).writer.in_tiling);
    pdf.BeginTiling("Dots", 0, 0, 10, 10, 10, 10);
    // The tiling being drawn has its name already.
    EXPECT_EQ(Raised([&] { pdf.AddGradient("dots", 0, "blue", "white", 0, 0, 0, 100); }), 5);
    EXPECT_EQ(pagora::detail::StateOf(pdf).writer.output_position, written);
    pdf.SetColorFill("red");
    pdf.DrawRect(0, 0, 5, 5, 5);
    pdf.EndTiling();
    EXPECT_EQ(Raised([&] { pdf.BeginTiling("DOTS", 0, 0, 10, 10, 10, 10); }), 5);
    pdf.SetColorFill("dots");
    pdf.DrawRect(0, 0, 100, 100, 5);

    // The later script of one trigger replaces the earlier one.
    pdf.DrawField("Amount", 0, 10, 200, 100, 20, "1");
    pdf.DrawField("Total", 0, 10, 230, 100, 20, "1");
    pdf.OnFieldEvent(6, "Amount", "first();");
    pdf.OnFieldEvent(6, "Amount", "second();");
    pdf.OnFieldEvent(8, "Amount", "calc1();");
    pdf.OnFieldEvent(7, "Amount", "valid();");
    pdf.OnFieldEvent(8, "Amount", "calc2();");
    pdf.OnFieldEvent(0, "Total", "click1();");
    pdf.OnFieldEvent(0, "Total", "click2();");
    pdf.OnFieldEvent(3, "Total", "exit();");
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    ExpectClean();
    const auto scripts = testing_support::InspectPdf(path, "field-scripts");
    ASSERT_EQ(scripts.status, 0) << scripts.out;
    EXPECT_EQ(scripts.out,
              "Amount\n  /C calc2();\n  /K second();\n  /V valid();\nTotal\n  /X exit();\n");
    const std::string bytes = ReadFileBytes(path);
    // Each name once in the page's patterns.
    EXPECT_NE(bytes.find("/Pattern <<\r/PSKY 4 0 R \r/PDOTS 5 0 R \r>>"), std::string::npos);
}

TEST_F(CrossFeatureDocument, AnObjectCannotPaintItself) {
    Begin();
    pdf.BeginPage();
    pdf.BeginObject("Logo");
    pdf.DrawRect(10, 10, 50, 50, 5);
    EXPECT_EQ(Raised([&] { pdf.DrawObject("Logo"); }), 5);
    pdf.EndObject();
    // Another object may paint it, and the page may.
    pdf.BeginObject("Frame");
    pdf.DrawObject("Logo");
    pdf.EndObject();
    pdf.DrawObject("Frame");
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    ExpectClean();
    const auto forms = testing_support::InspectPdf(path, "form-paints");
    ASSERT_EQ(forms.status, 0) << forms.out;
    EXPECT_EQ(forms.out, "/PLogo []\n/PFrame ['/PLogo']\n");
    for (const Picture& picture : Render(1))
        EXPECT_EQ(picture.At(30, 30), 0u); // the logo, painted once through the frame
}

// An 8 by 8 picture in four colours, two columns each: red, green, blue, yellow. In the TGA file
// each carries its own alpha (0, 255, 100, 200), but for the last row's red, which is opaque;
// the PNG file gives its palette the same alphas.
std::string TgaWithAlpha() {
    std::string tga(18, '\0');
    tga[2] = 2;     // uncompressed truecolour
    tga[12] = 8;    // width
    tga[14] = 8;    // height
    tga[16] = 32;   // bits a pixel
    tga[17] = 0x28; // rows from the top, 8 alpha bits
    const unsigned char colours[4][4] = {
        {0, 0, 255, 0}, {0, 255, 0, 255}, {255, 0, 0, 100}, {0, 255, 255, 200}}; // BGRA
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const unsigned char* c = colours[x / 2];
            tga += {static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2]),
                    static_cast<char>(x / 2 == 0 && y == 7 ? 255 : c[3])};
        }
    }
    return tga;
}

TEST_F(CrossFeatureDocument, EveryTransparentPixelOfTgaAndPngPalettesIsTransparent) {
    const std::string tga = dir.File("alpha.tga");
    WriteFileBytes(tga, TgaWithAlpha());
    const std::string png = dir.File("palette.png");
    const auto made = testing_support::InspectFile(png, "make-palette-png");
    ASSERT_EQ(made.status, 0) << made.out;
    Begin();
    pdf.BeginPage();
    // Ten points a pixel; the page is white behind the pictures.
    pdf.DrawImage(tga, 100, 100, 80, 80);
    pdf.DrawImage(png, 300, 100, 80, 80);
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    ExpectClean();
    const uint32_t white = 0xFFFFFF, green = 0x00FF00, yellow = 0xFFFF00, red = 0xFF0000;
    const uint32_t rows[2][4] = {{white, green, white, yellow}, {red, green, white, yellow}};
    for (const Picture& picture : Render(1)) {
        ASSERT_EQ(picture.width, 596);
        for (const int left : {100, 300}) {
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    // The TGA file's last row has an opaque red.
                    const bool opaque_red = left == 100 && y == 7;
                    const uint32_t expected = rows[opaque_red ? 1 : 0][x / 2];
                    const uint32_t pixel = picture.At(left + 10 * x + 5, 100 + 10 * y + 5);
                    EXPECT_TRUE(Near(pixel, expected, 0x30))
                        << (left == 100 ? "tga" : "png") << " " << x << "," << y << ": " << std::hex
                        << pixel;
                }
            }
        }
    }
}

TEST_F(CrossFeatureDocument, JpegFilesWithDamagedTablesAreRefused) {
    const std::string sound = dir.File("sound.jpg");
    const auto made = testing_support::InspectFile(sound, "make-red-jpeg");
    ASSERT_EQ(made.status, 0) << made.out;
    const std::string bytes = ReadFileBytes(sound);
    const std::size_t dqt = bytes.find("\xFF\xDB");
    const std::size_t dht = bytes.find("\xFF\xC4");
    ASSERT_NE(dqt, std::string::npos);
    ASSERT_NE(dht, std::string::npos);
    std::string bad_slot = bytes;
    bad_slot[dqt + 4] = '\x07'; // a quantisation table in slot 7
    std::string bad_counts = bytes;
    bad_counts[dht + 4 + 16] = '\x60'; // 96 codes of 16 bits that the segment does not hold
    const struct {
        const char* name;
        const std::string& data;
        int error;
    } cases[] = {{"sound.jpg", bytes, 0}, {"slot.jpg", bad_slot, 9}, {"counts.jpg", bad_counts, 9}};
    Begin();
    pdf.BeginPage();
    int y = 10;
    for (const auto& c : cases) {
        const std::string file = dir.File(c.name);
        WriteFileBytes(file, c.data);
        pagora::detail::StateOf(pdf).writer.last_error_number = 0;
        pdf.DrawImage(file, 10, y, 16, 16);
        EXPECT_EQ(pdf.ErrNumber(), c.error) << c.name;
        y += 20;
    }
    pdf.EndPage();
    pdf.EndDoc();
    ExpectClean();
    const auto count = testing_support::InspectPdf(path, "image-count");
    EXPECT_EQ(count.out, "1\n"); // the sound file alone
    for (const Picture& picture : Render(1))
        EXPECT_TRUE(Near(picture.At(18, 18), 0xC81E1E, 0x20)) << std::hex << picture.At(18, 18);
}

TEST_F(CrossFeatureDocument, TableRowsPastWhatADocumentHoldsAreRefusedAtOnce) {
    Begin();
    pdf.BeginPage();
    pdf.BeginTable(50, 50, 10, std::vector<double>{100, 100});
    const auto& table = pagora::detail::StateOf(pdf).content.kept.tables.tables.back();
    for (const std::int32_t row : {INT32_MAX, 500000000, (1 << 20) + 1}) {
        EXPECT_EQ(Raised([&] { pdf.TableCell(row, 1); }), 6) << row;
        EXPECT_EQ(Raised([&] { pdf.TableCell(1, 1, row); }), 6) << row;
        // Refused before any row was made: nothing was reserved for the rows asked for.
        EXPECT_LT(table.row_y.capacity(), 100u) << row;
    }
    pdf.SetColorFill("yellow");
    const auto cell = pdf.TableCell(3, 2, 1, 1, 5);
    EXPECT_FLOAT_EQ(cell[1], 70);
    pdf.EndTable();
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    ExpectClean();
    for (const Picture& picture : Render(1))
        EXPECT_EQ(picture.At(200, 75), 0xFFFF00u);
}

// A drawing's own render by Ghostscript, its bounding box cropped, at 72 dpi. Colours are
// converted by the plain formulas, as mupdf converts them without colour profiles.
Picture GhostscriptRender(const std::string& eps, const std::string& out) {
    const auto run = RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r72 -dEPSCrop "
                                "-dGraphicsAlphaBits=4 -dUseFastColor -sOutputFile='" +
                                out + "' '" + eps + "' 2>&1");
    EXPECT_EQ(run.status, 0) << run.out;
    // Its header carries a comment line, which the picture reader does not expect.
    std::string bytes = ReadFileBytes(out);
    if (bytes.size() > 3 && bytes[3] == '#') bytes.erase(3, bytes.find('\n', 3) - 2);
    WriteFileBytes(out, bytes);
    return ReadPpm(out);
}

// A PostScript program for Ghostscript's EPS writer: a red rectangle and a thick blue line.
const char* const kVectorProgram = "%!PS\n1 0 0 setrgbcolor 50 50 100 60 rectfill\n"
                                   "0 0 1 setrgbcolor 4 setlinewidth\n"
                                   "40 40 moveto 180 140 lineto stroke\nshowpage\n";
// A picture of 2 by 2 samples scaled to 80 points.
const char* const kRasterProgram = "%!PS\n20 20 translate 80 80 scale\n"
                                   "2 2 8 [2 0 0 -2 0 2] {<FF000000FF000000FFFFFFFF>} false 3 "
                                   "colorimage\nshowpage\n";

// Artwork in the line form drawing programs write, with a prolog so that Ghostscript draws it
// too.
const char* const kArtwork = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 160 120\n"
                             "%%BeginProlog\n/m {moveto} def /l {lineto} def /L /l load def\n"
                             "/c {curveto} def /f {eofill} def /S {stroke} def\n"
                             "/w {setlinewidth} def /Xa {setrgbcolor} def /K {setcmykcolor} def\n"
                             "%%EndProlog\n%%EndSetup\n"
                             "1 0 0 Xa\n10 10 m\n150 10 L\n80 110 L\nf\n"
                             "0 0 1 0 K\n6 w\n10 100 m\n150 100 l\n150 60 140 20 100 20 c\nS\n";

TEST_F(CrossFeatureDocument, RealDrawingsRenderAsGhostscriptDoesOrRecordTheirError) {
    const std::string handmade = dir.File("artwork.eps");
    WriteFileBytes(handmade, std::string(kArtwork) + "showpage\n%%EOF\n");
    // The same with a number beyond what a reader holds as a whole number, which Ghostscript
    // itself would refuse as a coordinate.
    const std::string huge = dir.File("huge.eps");
    WriteFileBytes(huge,
                   std::string(kArtwork) + "99999999999999999999 10 m\n10 10 l\nS\nshowpage\n");
    const std::string vector_eps = dir.File("vector.eps");
    const std::string raster_eps = dir.File("raster.eps");
    for (const auto& [program, eps] :
         {std::pair{kVectorProgram, vector_eps}, std::pair{kRasterProgram, raster_eps}}) {
        const std::string ps = eps + ".ps";
        WriteFileBytes(ps, program);
        const auto made = RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=eps2write "
                                     "-sOutputFile='" +
                                     eps + "' '" + ps + "' 2>&1");
        ASSERT_EQ(made.status, 0) << made.out;
    }
    enum Outcome { kDrawn, kError, kEither };
    const struct {
        std::string file;
        float width, height; // the bounding box in points: the natural size
        Outcome outcome;
    } cases[] = {
        {handmade, 160, 120, kDrawn},
        {huge, 160, 120, kDrawn},
        // Ghostscript's EPS writer puts a PDF interpreter of its own around the page's content.
        {vector_eps, 144, 104, kError},
        {raster_eps, 80, 80, kError},
        // Illustrator artwork a Debian package ships.
        {"/usr/share/tcltk/tk8.6/images/logo.eps", 120, 181, kEither},
        {"/usr/share/tcltk/tk8.6/images/pwrdLogo.eps", 135, 211, kEither},
    };
    Begin();
    std::vector<int> errors;
    for (const auto& c : cases) {
        pdf.BeginPage();
        pagora::detail::StateOf(pdf).writer.last_error_number = 0;
        pdf.DrawImage(c.file, 20, 20, c.width, c.height);
        errors.push_back(pdf.ErrNumber());
        if (c.outcome == kDrawn) EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
        if (c.outcome == kError) EXPECT_NE(pdf.ErrNumber(), 0) << c.file;
        if (pdf.ErrNumber() != 0) {
            // The error names the file and says what could not be drawn.
            EXPECT_EQ(pdf.ErrNumber(), 321) << c.file;
            EXPECT_NE(pdf.ErrDescription().find("draw"), std::string::npos) << pdf.ErrDescription();
            EXPECT_NE(pdf.ErrDescription().find(" - " + c.file), std::string::npos)
                << pdf.ErrDescription();
        }
        pdf.EndPage();
    }
    pdf.EndDoc();
    ExpectClean();
    EXPECT_NE(ReadFileBytes(path).find("99999999999999999999.0 10 m"), std::string::npos);

    // What was drawn without an error renders as Ghostscript renders the file.
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        if (errors[i] != 0 || cases[i].file == huge) continue;
        // Ghostscript crops to the finer box when a file gives one, a pixel smaller at most.
        const Picture reference = GhostscriptRender(cases[i].file, dir.File("gs.ppm"));
        ASSERT_NEAR(reference.width, cases[i].width, 1) << cases[i].file;
        ASSERT_NEAR(reference.height, cases[i].height, 1) << cases[i].file;
        for (const Picture& picture : Render(static_cast<int>(i) + 1)) {
            int differing = 0, inked = 0;
            for (int y = 0; y < reference.height; ++y) {
                for (int x = 0; x < reference.width; ++x) {
                    const uint32_t expected = reference.At(x, y);
                    if (expected != 0xFFFFFFu) ++inked;
                    if (!Near(picture.At(20 + x, 20 + y), expected, 0x50)) ++differing;
                }
            }
            const int area = reference.width * reference.height;
            EXPECT_GT(inked, area / 10) << cases[i].file;
            EXPECT_LT(differing, area / 30) << cases[i].file << ": " << differing << " differ";
        }
    }
}

} // namespace
