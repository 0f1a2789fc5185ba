// Reusable objects, gradients and tiling patterns: the lines written, and whole documents checked
// with independent readers and both renderers.
#include "pdf/content/content.h"
#include "tests/pdf/content/content_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using pagora::Pagora;
using testing_support::Count;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;

// One pixel of a binary PPM file as 0xRRGGBB.
uint32_t PixelAt(const std::string& ppm, int x, int y) {
    int width = 0, height = 0, maxval = 0, consumed = 0;
    if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &width, &height, &maxval, &consumed) != 3)
        return 0xDEADBEEF;
    const size_t at =
        static_cast<size_t>(consumed) + 1 +
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    if (at + 2 >= ppm.size()) return 0xDEADBEEF;
    const auto byte = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(ppm[i]));
    };
    return byte(at) << 16 | byte(at + 1) << 8 | byte(at + 2);
}

// The suite's documents are checked where qpdf and both renderers are.
KERBOLT_LINUX_ONLY("ObjectsDocument.*");
class ObjectsDocument : public ::testing::Test {
protected:
    ObjectsDocument() : pdf(std::make_shared<content_test::FixedHost>()) {}

    std::string Begin(const std::string& name) {
        const std::string path = dir.File(name);
        pdf.Abort(); // a new document forgets the last one's resources
        pdf.BeginDoc(path);
        EXPECT_EQ(pdf.ErrNumber(), 0);
        pagora::detail::StateOf(pdf).writer.resource_prefix = "P";
        return path;
    }

    static void ExpectClean(const std::string& path) {
        const auto check = RunCommand("qpdf --check '" + path + "' 2>&1");
        EXPECT_EQ(check.status, 0) << check.out;
    }

    TempDir dir;
    Pagora pdf;
};

KERBOLT_TEST_LABEL(oracle, "ObjectsDocument.FormObjectDictionaryResourceAndPaintLines");
TEST_F(ObjectsDocument, FormObjectDictionaryResourceAndPaintLines) {
    const std::string path = Begin("logo.pdf");
    pdf.BeginObject("Logo");
    pdf.DrawRect(10, 10, 50, 20, 5);
    pdf.EndObject();
    pdf.EndObject(); // nothing open: nothing written
    for (int i = 0; i < 3; ++i) {
        pdf.BeginPage();
        pdf.DrawObject("Logo");
        pdf.EndPage();
    }
    pdf.BeginObject("Empty");
    pdf.EndObject();
    pdf.EndDoc();
    const std::string file = ReadFileBytes(path);
    EXPECT_EQ(Count(file, "<< /Type /XObject /Subtype /Form /FormType 1 /Name /PLogo\r"
                          "/BBox [-1192 -1684 1192 1684]\r/Matrix [1 0 0 1 0 0]"),
              1u);
    // Its name, its entry in the page and the common resources, and three paint lines.
    EXPECT_EQ(Count(file, "/PLogo "), 5u);
    EXPECT_EQ(Count(file, "\rq /PLogo Do Q"), 3u);
    EXPECT_NE(file.find("/Name /PEmpty"), std::string::npos);
    ExpectClean(path);
}

class Placement : public content_test::PageContent {};

TEST_F(Placement, OptionsChooseThePagesAndTheSide) {
    struct Case {
        int options;
        const char* start; // pages 1 to 4: 'x' placed at the start
        const char* end;   // 'x' placed at the end
    };
    const Case cases[] = {
        {7, "xxxx", "...."}, {15, ".xxx", "...."}, {12, "..x.", "...."},
        {2, ".x.x", "...."}, {1, "x...", "...."},  {16, "....", "...."},
        {8, "....", "...."}, {23, "....", "xxxx"}, {4, "x.x.", "...."},
    };
    for (const Case& c : cases) {
        auto& s = Inner().writer;
        s.form_objects.clear();
        pdf.BeginObject("Logo", c.options);
        s.in_object = false; // ended without a file; only the record matters here
        for (int page = 1; page <= 4; ++page) {
            s.current_page = page;
            for (const bool at_end : {false, true}) {
                Written();
                pagora::detail::PlaceAutoObjects(Inner(), at_end);
                const bool placed = !Written().empty();
                const char want = (at_end ? c.end : c.start)[page - 1];
                EXPECT_EQ(placed, want == 'x')
                    << "options " << c.options << " page " << page << " end " << at_end;
            }
        }
    }
}

TEST_F(Placement, NamesAreExactAndObjectsDoNotNest) {
    pdf.BeginObject("Logo");
    pdf.BeginObject("Other"); // ignored: the first stays open
    EXPECT_EQ(Inner().writer.form_objects.size(), 1U);
    pdf.DrawObject("logo");
    EXPECT_EQ(Inner().writer.object_content, "\rq /Plogo Do Q");
    // No automatic placement into an open object.
    Inner().writer.form_objects[0].options = 7;
    pagora::detail::PlaceAutoObjects(Inner(), false);
    EXPECT_EQ(Inner().writer.object_content, "\rq /Plogo Do Q");
}

// Two objects of one alias: painting by name takes the first one's annotations; a name no
// object has yet leaves a placeholder for when it is begun.
TEST_F(Placement, PaintingByNameFindsTheFirstObjectOfThatAlias) {
    auto& s = Inner().writer;
    for (const char* annots : {"5 0 R ", "6 0 R "}) {
        pdf.BeginObject("Logo");
        s.in_object = false; // ended without a file; only the record matters here
        s.form_objects.back().annots = annots;
    }
    s.page_annots.clear();
    pdf.DrawObject("Logo");
    pdf.DrawObject("Later");
    EXPECT_EQ(s.page_annots, "5 0 R ##Later## ");
}

KERBOLT_TEST_LABEL(oracle, "ObjectsDocument.FooterWithLinkDrawnBeforeItExists");
TEST_F(ObjectsDocument, FooterWithLinkDrawnBeforeItExists) {
    const std::string path = Begin("footer.pdf");
    for (int page = 1; page <= 4; ++page) {
        pdf.BeginPage();
        pdf.DrawObject("Foot");
        pdf.DrawObject("Foot"); // twice on a page: both placeholders resolved
        if (page < 4) pdf.EndPage();
    }
    // Defined while page 4 is open: its content goes into the object, not the page.
    pdf.BeginObject("Foot");
    pdf.SetColorFill("blue");
    pdf.DrawRect(20, 800, 100, 20, 5);
    pdf.LinkTo("http://example.com/");
    pdf.EndObject();
    pdf.DrawObject("Never"); // never defined: dropped
    pdf.EndPage();
    pdf.EndDoc();
    ExpectClean(path);
    EXPECT_EQ(Count(ReadFileBytes(path), "##"), 0u);
    const auto pages = testing_support::InspectPdf(path, "link-uris");
    ASSERT_EQ(pages.status, 0) << pages.out;
    const std::string link = "2 http://example.com/ http://example.com/\n";
    EXPECT_EQ(pages.out, link + link + link + link);
}

KERBOLT_TEST_LABEL(oracle, "ObjectsDocument.GradientObjects");
TEST_F(ObjectsDocument, GradientObjects) {
    struct Case {
        int style;
        const char* start;
        const char* end;
        const char* space;
        const char* colours;
        const char* coords;
    };
    const Case cases[] = {
        {0, "blue", "white", "/DeviceRGB", "/C0 [0 0 1] /C1 [1 1 1]",
         "/ShadingType 2 /Coords [0 0 0 100]"},
        {1, "#FF0000", "#00FF00", "/DeviceRGB", "/C0 [1 0 0] /C1 [0 1 0]",
         "/ShadingType 3 /Coords [0 0 0 0 100 50]"},
        {0, "@100;0;0;0", "@0;0;0;100", "/DeviceCMYK", "/C0 [1 0 0 0] /C1 [0 0 0 1]",
         "/ShadingType 2 /Coords [0 0 0 100]"},
        {0, "%0", "%100", "/DeviceGray", "/C0 [1] /C1 [0]", "/ShadingType 2 /Coords [0 0 0 100]"},
    };
    for (const Case& c : cases) {
        const std::string path = Begin("gradient.pdf");
        pdf.AddGradient("Sky", c.style, c.start, c.end, 0, 0, 0, 100, 0, 50);
        pdf.BeginPage();
        pdf.EndPage();
        pdf.EndDoc();
        const std::string file = ReadFileBytes(path);
        EXPECT_NE(file.find(std::string("<</Type /Pattern /PatternType 2 /Matrix [ 1 0 0 -1 0 842] "
                                        "/Shading <<\r\n/ColorSpace ") +
                            c.space + "\r" + c.coords +
                            "\r/Extend [false false] \r/Function \r"
                            "<< /FunctionType 3 /Domain [0.000 1.000] /Bounds [] /Encode [0 1 ] "
                            "\r/Functions [\r<< /FunctionType 2 /Domain [0.000 1.000] " +
                            c.colours + " /N 1 >>]\r>>\r>>\r>>\n"),
                  std::string::npos)
            << c.space;
        EXPECT_NE(file.find("/PSKY 4 0 R \r"), std::string::npos);
        ExpectClean(path);
    }
}

TEST_F(ObjectsDocument, GradientColoursOfDifferentFormsAreRefused) {
    const std::string path = Begin("refused.pdf");
    const auto before = pagora::detail::StateOf(pdf).writer.output_position;
    for (const auto& [a, b] :
         {std::pair{"blue", "@0;0;0;100"}, {"blue", "Sky"}, {"", "blue"}, {"%20", "#FFFFFF"}}) {
        try {
            pdf.AddGradient("G", 0, a, b, 0, 0, 0, 100);
            ADD_FAILURE() << a << " " << b;
        } catch (const pagora::PdfError& e) {
            // A name that is neither a colour nor a pattern is an invalid colour (13); mixed or
            // missing forms are a bad call (5).
            EXPECT_EQ(e.Number(), std::string_view(b) == "Sky" ? 13 : 5) << a << " " << b;
        }
    }
    EXPECT_EQ(pagora::detail::StateOf(pdf).writer.output_position, before);
    EXPECT_TRUE(pagora::detail::StateOf(pdf).writer.pattern_resources.empty());
    pdf.EndDoc();
}

KERBOLT_TEST_LABEL(oracle, "ObjectsDocument.TilingPatternLinesAndUncolouredCells");
TEST_F(ObjectsDocument, TilingPatternLinesAndUncolouredCells) {
    const std::string path = Begin("tiling.pdf");
    pdf.EndTiling(); // nothing open: nothing written
    pdf.BeginTiling("Dots", 0, 0, 10, 10, 10, 10);
    pdf.SetColorFill("red");
    pdf.DrawRect(0, 0, 5, 5, 5);
    EXPECT_EQ(pagora::detail::StateOf(pdf).writer.tiling_content,
              "\r1 0 0 -1 0 10 cm\r1 0 0 rg\r0 0 5 5 re\rf*");
    pdf.EndTiling();
    pdf.BeginTiling("Hatch", 0, 0, 10, 10, 10, 10, 2);
    pdf.SetColorFill("red"); // silent in an uncoloured cell
    pdf.DrawRect(0, 0, 5, 5, 5);
    EXPECT_EQ(pagora::detail::StateOf(pdf).writer.tiling_content,
              "\r1 0 0 -1 0 10 cm\r0 0 5 5 re\rf*");
    pdf.EndTiling();
    pdf.BeginPage();
    pdf.EndPage();
    pdf.EndDoc();
    const std::string file = ReadFileBytes(path);
    EXPECT_NE(file.find("<< /Type /Pattern /PatternType 1 /PaintType 1\r/TilingType 1\r"
                        "/BBox [0 0 10 10]\r/Resources 3 0 R\r/XStep 10 /YStep 10\r"
                        "/Matrix [1 0 0 1 0 0]"),
              std::string::npos);
    EXPECT_NE(file.find("/PaintType 2\r"), std::string::npos);
    EXPECT_NE(file.find("/PDOTS "), std::string::npos);
    EXPECT_NE(file.find("/PHATCH "), std::string::npos);
    ExpectClean(path);
}

KERBOLT_TEST_LABEL(oracle, "ObjectsDocument.PatternsRenderInBothRenderers");
TEST_F(ObjectsDocument, PatternsRenderInBothRenderers) {
    const std::string path = Begin("render.pdf");
    pdf.AddGradient("Sky", 0, "blue", "white", 0, 0, 0, 200);
    pdf.BeginTiling("Dots", 0, 0, 10, 10, 10, 10);
    pdf.SetColorFill("red");
    pdf.DrawRect(0, 0, 5, 5, 5);
    pdf.EndTiling();
    pdf.BeginTiling("Hatch", 0, 0, 10, 10, 10, 10, 1);
    pdf.DrawRect(0, 0, 5, 5, 5);
    pdf.EndTiling();
    pdf.BeginPage();
    pdf.SetColorFill("sky");
    pdf.DrawRect(0, 0, 200, 200, 5);
    pdf.SetColorFill("dots");
    pdf.DrawRect(0, 300, 200, 100, 5);
    pdf.SetColorFill("hatch|blue");
    pdf.DrawRect(300, 300, 200, 100, 5);
    pdf.EndPage();
    pdf.EndDoc();
    ExpectClean(path);

    const std::string mupdf = dir.File("mupdf.ppm");
    ASSERT_EQ(RunCommand("mutool draw -q -r 72 -c rgb -F pnm -o '" + mupdf + "' '" + path +
                         "' 1 2>/dev/null")
                  .status,
              0);
    ASSERT_EQ(RunCommand("pdftoppm -r 72 -singlefile '" + path + "' '" + dir.File("poppler") + "'")
                  .status,
              0);
    for (const std::string& picture :
         {ReadFileBytes(mupdf), ReadFileBytes(dir.File("poppler.ppm"))}) {
        const uint32_t top = PixelAt(picture, 100, 5);
        const uint32_t bottom = PixelAt(picture, 100, 195);
        EXPECT_EQ(top & 0xFF, 0xFFu); // blue end of the gradient
        EXPECT_LT(top >> 16, 0x20u);
        EXPECT_GT(bottom >> 16, 0xE0u); // white end
        EXPECT_GT((bottom >> 8) & 0xFF, 0xE0u);
        EXPECT_EQ(PixelAt(picture, 2, 334), 0xFF0000u);   // inside a red tile
        EXPECT_EQ(PixelAt(picture, 7, 334), 0xFFFFFFu);   // between the tiles
        EXPECT_EQ(PixelAt(picture, 302, 334), 0x0000FFu); // uncoloured tile in the caller's blue
        EXPECT_EQ(PixelAt(picture, 307, 334), 0xFFFFFFu);
    }
}

} // namespace

namespace {

KERBOLT_TEST_LABEL(oracle, "ObjectsDocument.FieldScriptsAndCalculationOrder");
TEST_F(ObjectsDocument, FieldScriptsAndCalculationOrder) {
    const std::string path = Begin("form.pdf");
    pdf.BeginPage();
    for (const char* name : {"A", "A.b", "AB", "B", "Total", "Sum"}) {
        pdf.DrawField(name, 0, 10, 10, 100, 20, "1");
    }
    pdf.OnFieldEvent(6, "A", "AFNumber_Keystroke(2, 0, 0, 0, '', true);");
    pdf.OnFieldEvent(8, "Sum", "event.value = 1;");
    pdf.OnFieldEvent(8, "Total",
                     "event.value = this.getField('A').value + this.getField('B').value;");
    pdf.OnFieldEvent(3, "Nobody", "app.alert(1);"); // written, referred to by nothing
    pdf.EndPage();
    pdf.EndDoc();
    ExpectClean(path);
    const auto fields = testing_support::InspectPdf(path, "field-actions");
    ASSERT_EQ(fields.status, 0) << fields.out;
    // Calculated in the order the fields were drawn, not the order the scripts came.
    EXPECT_EQ(fields.out, "A ['/K']\nA.b ['/K']\nAB -\nB -\nTotal ['/C']\nSum ['/C']\nTotal Sum\n");
    const auto js = RunCommand("pdfinfo -js '" + path + "'");
    EXPECT_NE(js.out.find("this.getField('A').value"), std::string::npos) << js.out;
    EXPECT_NE(js.out.find("AFNumber_Keystroke"), std::string::npos) << js.out;
}

} // namespace
