// Every feature of the library in a PDF/A-1B document, each file judged by an independent
// validator (PDFBox Preflight): the file is archival; or the operation was refused with an error
// naming PDF/A and left nothing of itself behind; or the file gave up its claim, recorded why,
// and is still read by qpdf, poppler and mupdf. No file claims PDF/A and fails.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/content/image_fixture_files.h"
#include "tests/pdf/writer/pdfa_support.h"
#include "tests/support/fixed_host.h"
#include "tests/support/greymap.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using pagora::Pagora;
using pagora::PdfError;
using testing_support::RunCommand;
using testing_support::ShellQuoted;

const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The fixture files every case may draw: pictures of each reader, drawings, a file to attach,
// and pages to import, made by the library itself with and without PDF/A.
class Files {
public:
    void Make() {
        for (const char* script :
             {"raster_fixtures.py", "bmp_fixtures.py", "png_fixtures.py", "vector_fixtures.py"}) {
            content_test::MakeFixtureFiles(content_test::FixtureScript(script), dir_);
        }
        testing_support::WriteFileBytes(dir_.File("notes.txt"), "Notes kept beside the page\n");
        MakeSource("archival.pdf", true, [](Pagora& pdf) {
            pdf.SetFont("Times", 14, 1);
            pdf.DrawText(20, 30, "An archived page");
            pdf.SetColorFill("@0;60;100;0");
            pdf.DrawRect(20, 40, 60, 20, 4);
            pdf.AddGradient("Fade", 0, "@0;0;0;0", "@0;0;100;0", 0, 0, 100, 0);
            pdf.SetColorFill("Fade");
            pdf.DrawRect(20, 65, 60, 10, 4);
        });
        MakeSource("plain.pdf", false, [](Pagora& pdf) {
            pdf.SetFont("Arial", 14);
            pdf.DrawText(20, 30, "A page whose font is not embedded");
        });
        MakeSource("transparent.pdf", false, [](Pagora& pdf) {
            pdf.SetColorFill("Red");
            pdf.SetAlpha(40);
            pdf.DrawCircle(60, 60, 40, 4);
        });
    }
    std::string File(const std::string& name) const { return dir_.File(name); }

private:
    void MakeSource(const std::string& name, bool pdfa, void (*draw)(Pagora&)) {
        Pagora pdf(testing_support::MakeFixedHost());
        pdf.SetPDFa(pdfa);
        pdf.SetScale(2); // millimetres
        pdf.SetPaperSize(0, 100, 80);
        pdf.BeginDoc(dir_.File(name));
        pdf.BeginPage();
        draw(pdf);
        pdf.EndDoc();
        ASSERT_EQ(pdf.ErrNumber(), 0) << name << ": " << pdf.ErrDescription();
    }

    testing_support::TempDir dir_;
};

Files* files = nullptr;

std::string Fixture(const std::string& name) {
    return files->File(name);
}

// Runs an operation that a PDF/A document refuses: it raises error 5 naming PDF/A.
void ExpectRefused(const std::function<void()>& operation, const std::string& source) {
    try {
        operation();
        ADD_FAILURE() << source << " was not refused";
    } catch (const PdfError& error) {
        EXPECT_EQ(error.Number(), 5) << error.Description();
        EXPECT_EQ(error.Source(), "Pagora." + source);
        EXPECT_NE(error.Description().find("PDF/A"), std::string::npos) << error.Description();
    }
}

// ---- What each case draws on its first page (the document is open and a page begun). ---------

void TextInEveryFamily(Pagora& pdf) {
    const float y = writer_test::DrawEveryFamily(pdf, 15, 10, 6, 238, "Łódź Příliš");
    pdf.SetFont("Arial", 10, 4 + 8);
    pdf.DrawText(10, y, "Underlined and struck out");
    pdf.SetCharSpacing(1);
    pdf.SetWordSpacing(2);
    pdf.SetTextHorizontalScaling(120);
    pdf.DrawText(10, y + 8, "Spaced and scaled", 4);
    for (int mode = 1; mode <= 3; ++mode) {
        pdf.SetTextMode(mode);
        pdf.DrawText(10, y + 8 + 6.0f * static_cast<float>(mode), "Outlined or invisible");
    }
    pdf.SetTextMode(0);
    pdf.SetXY(10, y + 40);
    pdf.WriteText("Base ");
    pdf.WriteText("raised ", 1);
    pdf.WriteText("lowered", 2);
    pdf.WriteTextLn(" done");
    pdf.DrawTextCircular(150, 200, 30, "Around a circle");
}

void TrueTypeFonts(Pagora& pdf) {
    const std::string western = pdf.AddFont(kDejaVuSans, "Dejavu", true, 0);
    const std::string cyrillic = pdf.AddFont(kDejaVuSans, "DejavuCyr", false, 204);
    pdf.SetFont(western, 12);
    pdf.DrawText(10, 20, Pagora::FromUtf8("Façade naïve"));
    pdf.SetFont(cyrillic, 12, 0, 204);
    pdf.DrawText(10, 30, Pagora::FromUtf8("Привет мир", 204));
}

void TextBoxesAndRichText(Pagora& pdf) {
    pdf.SetFont("Times", 11);
    pdf.SetBoxStyle(1.2f, 5, 2, 2, 2, 2, 15, 3);
    pdf.DrawTextBox(10, 10, 80, 40,
                    "A paragraph long enough to wrap over several lines of the box, justified.",
                    8 + 64, 0);
    pdf.SetTextTag("b", "Arial", 0, 1, 0, "@100;0;0;0", "Yellow");
    pdf.SetTextTag("i", "Courier", 9, 2, 0, "#0000FF");
    pdf.DrawTextRich(10, 60, 80, 40, "Rich <b>bold and cyan</b> then <i>italic</i> words.", 9, 0);
}

void ShapesAndLines(Pagora& pdf) {
    pdf.SetColorLine("Navy");
    pdf.SetColorFill("%30");
    pdf.SetLineWidth(1.5f);
    pdf.SetDash("Dash");
    pdf.DrawLine(10, 10, 100, 10);
    pdf.SetDash("3;1;1;1", 1);
    pdf.SetLineStyle(0x20 + 2, 4);
    pdf.DrawCurve(1, 10, 20, 50, 60, 100, 20);
    pdf.SetDash();
    pdf.DrawArc(50, 80, 20, 0, 270, 1, true);
    pdf.DrawEllipse(120, 80, 20, 10, 4);
    pdf.DrawPolygon(170, 80, 15, 6, 4);
    pdf.DrawPolyline(std::vector<double>{10, 120, 40, 140, 70, 120}, 2);
    pdf.DrawRect(100, 110, 60, 30, 4, 16 + 64, 5);
    pdf.BeginSpace(20, 160, 1.5f, 1.5f, 15);
    pdf.AxisSkewing(5, 0);
    pdf.DrawCircle(10, 10, 8, 4 + 128);
    pdf.DrawRect(0, 0, 30, 30, 4);
    pdf.EndSpace();
}

void RgbAndGreyColours(Pagora& pdf) {
    const char* colours[] = {"Red", "#00FF80", "%40", "@10;200;30", "16711680", "LightBlue"};
    float x = 10;
    for (const char* colour : colours) {
        pdf.SetColorFill(colour);
        pdf.SetColorLine(colour);
        pdf.DrawRect(x, 10, 20, 20, 4);
        x += 25;
    }
}

void CmykColours(Pagora& pdf) {
    pdf.SetColorFill("@0;100;100;0");
    pdf.SetColorLine("@100;0;0;20");
    pdf.SetColorText("@0;0;0;100");
    pdf.SetLineWidth(2);
    pdf.DrawRect(10, 10, 40, 20, 4);
    pdf.SetFont("Arial", 12);
    pdf.DrawText(10, 45, "Text in process black");
    pdf.AddBookmark("A coloured item", 1, 0, 0, 0, 0, 0, {}, "@0;50;100;0");
}

void Pictures(Pagora& pdf) {
    const char* names[] = {
        "rgb.jpg",          "grey.jpg",        "progressive.jpg", "two.gif",      "full.gif",
        "animation.gif",    "rgb.tga",         "rgba.tga",        "bw1.bmp",      "pal4.bmp",
        "rgb24.bmp",        "rgba32.bmp",      "rgb8.png",        "pil_grey.png", "indexed_key.png",
        "pil_indexed2.png", "rgb_key_used.png"};
    float x = 5, y = 5;
    for (const char* name : names) {
        pdf.DrawImage(Fixture(name), x, y, 30, 0, 1, {}, true);
        EXPECT_EQ(pdf.ErrNumber(), 0) << name << ": " << pdf.ErrDescription();
        x += 35;
        if (x > 170) {
            x = 5;
            y += 35;
        }
    }
    pdf.AddImage("tile.png", writer_test::TilePng());
    pdf.DrawImage("tile.png", 5, y + 40, 20, 20, 1, "#3C5A78");
    std::vector<std::uint8_t> samples(8 * 8);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i % 16);
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < 16; ++i)
        palette.insert(palette.end(), {static_cast<std::uint8_t>(i * 16), 80, 200});
    pdf.AddImagePattern("pattern16", 8, 8, samples, palette);
    pdf.DrawImage("pattern16", 30, y + 40, 20, 20);
}

void Drawings(Pagora& pdf) {
    pdf.DrawImage(Fixture("shapes.eps"), 10, 10, 80, 0, 1, {}, true);
    pdf.DrawImage(Fixture("variants.ai"), 100, 10, 80, 0, 1, {}, true);
    pdf.DrawImage(Fixture("polygons.wmf"), 10, 100, 80, 40);
    pdf.DrawImage(Fixture("fillmodes.wmf"), 100, 100, 80, 40);
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
}

void Barcodes(Pagora& pdf) {
    const std::pair<int, const char*> codes[] = {{0, "400638133393"}, {1, "KERBOLT"},
                                                 {2, "123456"},       {3, "12345"},
                                                 {4, "Pagora-128"},   {5, "9638507"}};
    float y = 10;
    for (const auto& [type, code] : codes) {
        EXPECT_GT(pdf.DrawBarCode(type, code, 10, y), 0) << type;
        y += 30;
    }
}

void Tables(Pagora& pdf) {
    pdf.SetFont("Arial", 9);
    pdf.BeginTable(10, 10, 8, std::vector<double>{30, 40, 50});
    for (int row = 1; row <= 3; ++row) {
        for (int col = 1; col <= 3; ++col) {
            const auto cell = pdf.TableCell(row, col, 1, 1, 0);
            pdf.DrawText(cell[0] + 1, cell[1] + 6, "r" + std::to_string(row));
        }
    }
    const auto wide = pdf.TableCell(4, 1, 1, 3, 4 + 0, 15, 2);
    pdf.BeginTable(wide[0], wide[1] + 10, 6, std::vector<std::string>{"20", "20"});
    pdf.TableCell(1, 2, 1, 1, 0);
    pdf.EndTable();
    pdf.EndTable();
}

void ReusableObjects(Pagora& pdf) {
    pdf.BeginObject("Header", 0);
    pdf.SetFont("Arial", 8);
    pdf.DrawText(10, 5, "Every page's header");
    pdf.LinkTo("https://example.org/header");
    pdf.EndObject();
    pdf.DrawObject("Header");
    pdf.DrawObject("Footer");
    pdf.BeginObject("Footer", 16);
    pdf.DrawRect(10, 250, 100, 5, 4);
    pdf.EndObject();
    pdf.BeginPage();
    pdf.DrawObject("Header");
}

void Patterns(Pagora& pdf) {
    pdf.AddGradient("Sky", 0, "#FFFFFF", "#0000FF", 0, 0, 100, 0);
    pdf.AddGradient("Sun", 1, "Yellow", "Red", 50, 50, 50, 50, 0, 40);
    pdf.AddGradient("Ink", 0, "@0;0;0;0", "@100;0;0;0", 0, 0, 0, 100);
    pdf.BeginTiling("Dots", 0, 0, 10, 10, 10, 10, 0);
    pdf.SetColorFill("Green");
    pdf.DrawCircle(5, 5, 3, 4);
    pdf.EndTiling();
    pdf.BeginTiling("Hatch", 0, 0, 8, 8, 8, 8, 1);
    pdf.DrawLine(0, 0, 8, 8);
    pdf.EndTiling();
    float x = 10;
    for (const char* fill : {"Sky", "Sun", "Ink", "Dots", "Hatch|@0;100;0;0", "Hatch|Red"}) {
        pdf.SetColorFill(fill);
        pdf.DrawRect(x, 10, 25, 25, 4);
        x += 30;
    }
}

void Transparency(Pagora& pdf) {
    pdf.SetColorFill("Red");
    pdf.SetAlpha(50);
    pdf.SetAlphaFill(20);
    pdf.SetAlphaLine(30);
    pdf.SetBlend(3);
    pdf.DrawCircle(50, 50, 30, 4);
}

void Layers(Pagora& pdf) {
    pdf.BeginLayer("Notes", true, true);
    pdf.DrawRect(10, 10, 30, 30, 4);
    pdf.EndLayer();
    pdf.BeginLayer("Screen", false);
    pdf.DrawCircle(80, 30, 10, 4);
    pdf.EndLayer();
    pdf.BeginConditionalLayer("Notes,Screen", 2);
    pdf.DrawLine(10, 60, 100, 60);
    pdf.EndConditionalLayer();
    pdf.SetViewerPreferences(8);
}

void EveryFilter(Pagora& pdf) {
    pdf.SetCompression(1 + 2 + 4 + 8 + 16 + 0x600, 2 + 4 + 8, 4 + 16);
    pdf.SetFont("Arial", 12);
    pdf.DrawText(10, 20, "Compressed by every filter");
    pdf.AddImage("tile.png", writer_test::TilePng());
    pdf.DrawImage("tile.png", 10, 30, 20, 20);
}

void PagesAndSettings(Pagora& pdf) {
    pdf.SetFont("Arial", 12);
    pdf.DrawText(10, 20, "First");
    pdf.SetLabel(2, "Intro-", 1);
    pdf.SetPageTransition(3, 2, 1);
    pdf.SetPageView(1);
    pdf.SetPaperSize(1);
    pdf.SetMargins(10, 10, 10, 10);
    pdf.BeginPage();
    pdf.SetLabel(1, "", 1);
    pdf.DrawText(10, 20, "Second");
    pdf.BeginPage();
    pdf.DrawText(10, 20, "Third");
    pdf.EndPage();
    pdf.SwapPages(1, 3);
    pdf.BeginOnPage(2);
    pdf.DrawText(10, 40, "Added later");
    pdf.EndOnPage();
    pdf.SetViewerPreferences(16 + 0x20 + 0x100 + 0x200 + 0x4000);
}

void DocumentScripts(Pagora& pdf) {
    for (int code = 0; code <= 8; ++code)
        pdf.OnDocEvent(code, "app.alert('event');");
    pdf.DrawRect(10, 10, 20, 20, 4);
}

void LinksOfEveryKind(Pagora& pdf) {
    pdf.SetFont("Arial", 11);
    pdf.DefineRef("Top", 4, 10, 10, 0, 0, 100);
    const std::string item = pdf.AddBookmark("Start", 1, 2, 10);
    const char* targets[] = {"https://example.org/",
                             "http://example.org/",
                             "mailto:a@example.org",
                             "file:other.pdf",
                             "page:2",
                             "page:#NEXT",
                             "page:+1",
                             "ref:Top"};
    float y = 15;
    for (const char* target : targets) {
        pdf.DrawText(10, y, target);
        pdf.LinkTo(target, 1, 2, 3, 10, 10, 50, 50);
        y += 8;
    }
    pdf.DrawText(10, y, "bookmark");
    pdf.LinkTo("bookmark:" + item);
    pdf.BeginPage();
    pdf.DrawText(10, 15, "Second page");
}

void BookmarksOfOneLevel(Pagora& pdf) {
    pdf.SetFont("Arial", 11);
    pdf.DrawText(10, 20, "Marked");
    pdf.AddBookmark("Whole page", 1, 0);
    pdf.AddBookmark("Left edge", 1, 1, 10);
    pdf.AddBookmark("A box", 1, 3, 10, 10, 50, 50, {}, "Red", 3);
    pdf.AddBookmark("A point", 1, 4, 10, 10, 150, 0, {}, "#008000", 2);
    pdf.AddBookmark("A site", 1, 5, 0, 0, 0, 0, "https://example.org/");
    pdf.AddBookmark("Another file", 1, 5, 0, 0, 0, 0, "file:other.pdf");
}

void NestedBookmarks(Pagora& pdf) {
    pdf.SetFont("Arial", 11);
    pdf.DrawText(10, 20, "Chapters");
    pdf.AddBookmark("Chapter 1", 1);
    pdf.AddBookmark("Section 1.1", 2);
    pdf.AddBookmark("Section 1.1.1", 3);
    pdf.AddBookmark("Section 1.1.2", 3);
    pdf.AddBookmark("Section 1.2", 2);
    pdf.AddBookmark("Chapter 2", 1);
    pdf.AddBookmark("Section 2.1", -1);
}

void FormFields(Pagora& pdf) {
    pdf.SetFont("Arial", 10);
    pdf.SetColorFill("LightYellow");
    pdf.SetColorLine("#336699");
    pdf.SetColorText("@0;0;0;100");
    pdf.DrawField("name", 0, 10, 10, 60, 8, "Ada", 20, "Your name", 2048);
    pdf.DrawField("notes", 0, 10, 20, 60, 20, "Two\rlines", 0, "", 16 + 8192);
    pdf.DrawField("secret", 0, 10, 45, 60, 8, "hidden", 0, "", 32 + 32768);
    pdf.DrawField("agree", 1, 10, 60, 8, 8, "true", 0, "", 4194304);
    pdf.DrawField("later", 1, 20, 60, 8, 8, "false");
    pdf.DrawField("size.s", 4, 10, 72, 8, 8, "true");
    pdf.DrawField("size.m", 4, 20, 72, 8, 8, "false", 0, "", 16777216);
    pdf.DrawField("list", 2, 10, 85, 40, 20, "One|Two|Three", 2, "", 128);
    pdf.DrawField("combo", 3, 60, 85, 40, 8, "Red|Green", 1, "", 4096 + 131072);
    pdf.DrawField("send", 5, 10, 110, 30, 10, "Send");
    pdf.SetColorFill("@20;0;0;0");
    pdf.DrawField("tinted", 0, 50, 110, 30, 10, "x", 0, "", 67108864 + 524288);
    pdf.DrawField("hidden", 0, 10, 125, 30, 10, "h", 0, "", 1);
    pdf.DrawField("unprinted", 0, 50, 125, 30, 10, "u", 0, "", 2);
}

void FieldScripts(Pagora& pdf) {
    pdf.SetFont("Arial", 10);
    pdf.DrawField("total", 0, 10, 10, 40, 8, "0");
    for (int event = 0; event <= 9; ++event)
        pdf.OnFieldEvent(event, "total", "event.value = 1;");
}

void Notes(Pagora& pdf) {
    pdf.SetFont("Arial", 10);
    pdf.SetColorFill("LightYellow");
    pdf.SetColorLine("@0;100;0;0");
    pdf.DrawNote("A free-text note", 10, 10, 60, 20);
    pdf.DrawNote("Hidden and dashed", 10, 40, 60, 20, 2, 1, 2, 1, 2);
    pdf.DrawNote("Not viewed", 10, 70, 60, 20, 4, 4, 1, 1, 32 + 1);
    for (int icon = 0; icon <= 6; ++icon) {
        std::string text = "Icon " + std::to_string(icon);
        pdf.DrawPlaceHolder(text, icon, 10 + 12.0f * static_cast<float>(icon), 100, 0, 0,
                            icon % 2 == 0 ? 0 : 4);
    }
    for (int stamp = 256; stamp <= 269; ++stamp) {
        std::string text = "Stamp";
        pdf.DrawPlaceHolder(text, stamp, 10 + 13.0f * static_cast<float>(stamp - 256), 120, 12, 8,
                            2);
    }
}

void ImportedArchivalPage(Pagora& pdf) {
    pdf.ImportPage(Fixture("archival.pdf"), 1, 10, 10, 100);
    pdf.ImportPage(Fixture("archival.pdf"), 1, 10, 100, 50);
}

// ---- Refused operations: the call raises, the rest of the document stays archival. ----------

void ScriptLink(Pagora& pdf) {
    pdf.DrawRect(10, 10, 20, 20, 4);
    ExpectRefused([&] { pdf.LinkTo("script:app.alert('hi');"); }, "LinkTo");
    pdf.LinkTo("https://example.org/");
}

void LayerLink(Pagora& pdf) {
    pdf.BeginLayer("Notes");
    pdf.DrawRect(10, 10, 20, 20, 4);
    pdf.EndLayer();
    ExpectRefused([&] { pdf.LinkTo("layer:TOGGLE(Notes)"); }, "LinkTo");
}

void ScriptBookmark(Pagora& pdf) {
    ExpectRefused([&] { pdf.AddBookmark("Run", 1, 5, 0, 0, 0, 0, "script:app.alert('hi');"); },
                  "AddBookmark");
    EXPECT_EQ(pdf.AddBookmark("Kept", 1), "@2");
}

void ScriptButton(Pagora& pdf) {
    pdf.SetFont("Arial", 10);
    ExpectRefused([&] { pdf.DrawField("run", 5, 10, 10, 30, 10, "Run", std::string("go();")); },
                  "DrawField");
    pdf.DrawField("plain", 5, 10, 30, 30, 10, "Plain");
}

void AttachmentNote(Pagora& pdf) {
    std::string content = Fixture("notes.txt") + "|Notes";
    const std::string given = content;
    ExpectRefused([&] { pdf.DrawPlaceHolder(content, 514, 10, 10); }, "DrawPlaceHolder");
    EXPECT_EQ(content, given);
}

void Attachment(Pagora& pdf) {
    std::string name;
    EXPECT_FALSE(pdf.AddAttach(Fixture("notes.txt"), name, "Notes"));
    EXPECT_EQ(pdf.ErrNumber(), 5);
    EXPECT_EQ(pdf.ErrSource(), "Pagora.AddAttach");
    EXPECT_NE(pdf.ErrDescription().find("PDF/A"), std::string::npos) << pdf.ErrDescription();
    EXPECT_EQ(name, "");
    pdf.DrawRect(10, 10, 20, 20, 4);
}

// ---- Documents that cannot be archival: the claim goes and the error says why. --------------

void Protection(Pagora& pdf) {
    pdf.SetFont("Arial", 12);
    pdf.DrawText(10, 20, "Protected");
}

void SwitchedOnLate(Pagora& pdf) {
    pdf.SetPDFa(false);
    pdf.SetFont("Arial", 12);
    pdf.DrawText(10, 20, "Written before the switch");
    pdf.SetPDFa(true);
    pdf.DrawText(10, 30, "and after it");
}

void ImportedPlainPage(Pagora& pdf) {
    pdf.ImportPage(Fixture("plain.pdf"), 1, 10, 10, 100);
}

void ImportedTransparentPage(Pagora& pdf) {
    pdf.ImportPage(Fixture("transparent.pdf"), 1, 10, 10, 100);
}

void SymbolFonts(Pagora& pdf) {
    pdf.SetFont("Symbol", 12);
    pdf.DrawText(10, 20, "abg");
    pdf.SetFont("ZapfDingbats", 12);
    pdf.DrawText(10, 30, "4l");
}

void CmykPicture(Pagora& pdf) {
    pdf.DrawImage(Fixture("cyan.jpg"), 10, 10, 30, 30);
}

enum class Outcome { kArchival, kRefused, kClaimDropped };

struct Feature {
    const char* name;
    void (*draw)(Pagora&);
    Outcome outcome = Outcome::kArchival;
    // Refused: what the refused element would have written. Claim dropped: the error recorded.
    const char* absent = "";
    int error = 0;
    const char* source = "";
    // Called before the document begins (settings that apply to the whole file).
    void (*before)(Pagora&) = nullptr;
};

const Feature kFeatures[] = {
    {"text_in_every_family", TextInEveryFamily},
    {"truetype_fonts", TrueTypeFonts},
    {"text_boxes_and_rich_text", TextBoxesAndRichText},
    {"shapes_and_lines", ShapesAndLines},
    {"rgb_and_grey_colours", RgbAndGreyColours},
    {"cmyk_colours", CmykColours},
    {"pictures", Pictures},
    {"drawings", Drawings},
    {"barcodes", Barcodes},
    {"tables", Tables},
    {"reusable_objects", ReusableObjects},
    {"patterns", Patterns},
    {"transparency", Transparency},
    {"layers", Layers},
    {"every_filter", EveryFilter},
    {"pages_and_settings", PagesAndSettings},
    {"document_scripts", DocumentScripts},
    {"links_of_every_kind", LinksOfEveryKind},
    {"bookmarks_of_one_level", BookmarksOfOneLevel},
    {"nested_bookmarks", NestedBookmarks},
    {"form_fields", FormFields},
    {"field_scripts", FieldScripts},
    {"notes", Notes},
    {"imported_archival_page", ImportedArchivalPage},
    {"script_link", ScriptLink, Outcome::kRefused, "/JavaScript"},
    {"layer_link", LayerLink, Outcome::kRefused, "/JavaScript"},
    {"script_bookmark", ScriptBookmark, Outcome::kRefused, "/JavaScript"},
    {"script_button", ScriptButton, Outcome::kRefused, "/JavaScript"},
    {"attachment_note", AttachmentNote, Outcome::kRefused, "/EmbeddedFile"},
    {"attachment", Attachment, Outcome::kRefused, "/EmbeddedFile"},
    {"protection", Protection, Outcome::kClaimDropped, "", 5, "Pagora.SetProtection",
     [](Pagora& pdf) { pdf.SetProtection(0x1000 + 4, "owner"); }},
    {"protection_first", Protection, Outcome::kClaimDropped, "", 5, "Pagora.SetPDFa",
     [](Pagora& pdf) {
         pdf.SetPDFa(false);
         pdf.SetProtection(4, "owner");
         pdf.SetPDFa(true);
     }},
    {"switched_on_late", SwitchedOnLate, Outcome::kClaimDropped, "", 5, "Pagora.SetPDFa"},
    {"imported_plain_page", ImportedPlainPage, Outcome::kClaimDropped, "", 5, "Pagora.ImportPage"},
    {"imported_transparent_page", ImportedTransparentPage, Outcome::kClaimDropped, "", 5,
     "Pagora.ImportPage"},
    {"symbol_fonts", SymbolFonts, Outcome::kClaimDropped, "", 53, "Pagora.SetFont"},
    {"cmyk_picture", CmykPicture, Outcome::kClaimDropped, "", 5, "Pagora.DrawImage"},
};

KERBOLT_TEST_LABEL(oracle, "PdfaFeatures.*");
class PdfaFeatures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        files = new Files();
        files->Make();
    }
    static void TearDownTestSuite() {
        delete files;
        files = nullptr;
    }

    std::string Write(const Feature& feature, Pagora& pdf) {
        const std::string path = dir_.File(std::string(feature.name) + ".pdf");
        pdf.SetPDFa(true);
        pdf.SetDocProperty(Pagora::FromUtf8("Archiv « Größe » – 5 € & <Tests>"), feature.name,
                           "Kerbolt", "Tests", "Pagora", "pdf, archive");
        if (feature.before != nullptr) feature.before(pdf);
        pdf.BeginDoc(path);
        pdf.BeginPage();
        feature.draw(pdf);
        pdf.EndDoc();
        return path;
    }

    // Preflight's verdicts on files, one run for all: for each file name, whether it is valid
    // and the errors found.
    std::vector<std::pair<bool, std::string>> Preflight(const std::vector<std::string>& paths) {
        std::string list;
        for (const std::string& path : paths)
            list += path + "\n";
        const std::string list_file = dir_.File("preflight.txt");
        testing_support::WriteFileBytes(list_file, list);
        const auto run = RunCommand(writer_test::PreflightCommand(dir_.Path().string()) +
                                    "xml group " + ShellQuoted(list_file) + " 2>&1");
        const std::string report = testing_support::ReadFileBytes(list_file + ".preflight.xml");
        EXPECT_FALSE(report.empty()) << run.out;
        std::vector<std::pair<bool, std::string>> verdicts;
        for (const std::string& path : paths) {
            const std::string name = std::filesystem::path(path).filename().string();
            const std::size_t at = report.find("<preflight name=\"" + name + "\">");
            const std::size_t end = report.find("</preflight>", at);
            if (at == std::string::npos || end == std::string::npos) {
                verdicts.emplace_back(false, "no verdict\n" + run.out);
                continue;
            }
            const std::string block = report.substr(at, end - at);
            verdicts.emplace_back(block.find(">true</isValid>") != std::string::npos, block);
        }
        return verdicts;
    }

    testing_support::TempDir dir_;
};

// Whether a file claims PDF/A: its metadata identifies it, or it names an output intent. The
// file is read decrypted, since a protected file's metadata stream is enciphered.
bool ClaimsPdfa(const std::string& path, const std::string& folder) {
    const std::string plain = folder + "/plain-copy.pdf";
    const auto decrypted = RunCommand("qpdf --decrypt --password=" + ShellQuoted("") + " " +
                                      ShellQuoted(path) + " " + ShellQuoted(plain) + " 2>&1");
    EXPECT_EQ(decrypted.status, 0) << decrypted.out;
    const std::string bytes = testing_support::ReadFileBytes(plain);
    return bytes.find("pdfaid") != std::string::npos ||
           bytes.find("GTS_PDFA1") != std::string::npos;
}

TEST_F(PdfaFeatures, EveryFeatureIsArchivedRefusedOrDropsTheClaim) {
    std::vector<std::string> claimed;
    std::vector<const Feature*> claimed_features;
    for (const Feature& feature : kFeatures) {
        SCOPED_TRACE(feature.name);
        Pagora pdf(testing_support::MakeFixedHost());
        const std::string path = Write(feature, pdf);
        const std::string bytes = testing_support::ReadFileBytes(path);
        ASSERT_FALSE(bytes.empty());
        const auto check = RunCommand("qpdf --check " + ShellQuoted(path) + " 2>&1");
        EXPECT_EQ(check.status, 0) << check.out;
        switch (feature.outcome) {
        case Outcome::kArchival:
            EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrSource() << ": " << pdf.ErrDescription();
            break;
        case Outcome::kRefused:
            EXPECT_EQ(bytes.find(feature.absent), std::string::npos) << feature.absent;
            break;
        case Outcome::kClaimDropped: {
            EXPECT_EQ(pdf.ErrNumber(), feature.error);
            EXPECT_EQ(pdf.ErrSource(), feature.source);
            EXPECT_NE(pdf.ErrDescription().find("PDF/A"), std::string::npos)
                << pdf.ErrDescription();
            EXPECT_FALSE(ClaimsPdfa(path, dir_.Path().string()));
            const auto text = RunCommand("pdftotext " + ShellQuoted(path) + " - 2>&1");
            EXPECT_EQ(text.status, 0) << text.out;
            EXPECT_EQ(text.out.find("Error"), std::string::npos) << text.out;
            const auto drawn =
                RunCommand("mutool draw -q -o /dev/null " + ShellQuoted(path) + " 2>&1");
            EXPECT_EQ(drawn.status, 0) << drawn.out;
            EXPECT_EQ(drawn.out.find("error"), std::string::npos) << drawn.out;
            continue;
        }
        }
        EXPECT_TRUE(ClaimsPdfa(path, dir_.Path().string()));
        claimed.push_back(path);
        claimed_features.push_back(&feature);
    }
    const auto verdicts = Preflight(claimed);
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        EXPECT_TRUE(verdicts[i].first) << claimed_features[i]->name << "\n" << verdicts[i].second;
    }
}

// Viewers draw an archival document's fields from the file alone: ticked buttons show their
// mark, texts and labels show, whatever poppler or mupdf would draw themselves.
TEST_F(PdfaFeatures, FieldsShowWhatTheFileDraws) {
    Pagora pdf(testing_support::MakeFixedHost());
    const std::string path = dir_.File("fields.pdf");
    pdf.SetPDFa(true);
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.SetFont("Arial", 12);
    struct Field {
        int type;
        const char* value;
        std::int32_t options;
        bool inked;
    };
    const Field fields[] = {{1, "true", 0, true},        {1, "false", 0, false},
                            {4, "TRUE", 0, true},        {4, "", 0, false},
                            {1, "true", 33554432, true}, {0, "WWW", 0, true},
                            {0, "", 0, false},           {5, "OK", 0, true},
                            {0, "TTT", 134217728, true}, {0, "WWW", 32, true}};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        pdf.DrawField("f" + std::to_string(i), fields[i].type,
                      20.0f + 50.0f * static_cast<float>(i), 20, 30, 30, fields[i].value, 0, "",
                      fields[i].options);
    }
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    const std::string base = dir_.File("page");
    RunCommand("pdftoppm -r 72 -gray -singlefile " + ShellQuoted(path) + " " + ShellQuoted(base));
    RunCommand("mutool draw -q -r 72 -c gray -o " + ShellQuoted(base + "-mu.pgm") + " " +
               ShellQuoted(path));
    for (const char* tool : {".pgm", "-mu.pgm"}) {
        const std::string image = testing_support::ReadFileBytes(base + tool);
        ASSERT_EQ(image.rfind("P5", 0), 0U) << tool;
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            const int x = 20 + 50 * static_cast<int>(i);
            // The inside of the box, away from its border.
            const int dark = testing_support::DarkPixels(image, x + 6, 26, x + 24, 44);
            if (fields[i].inked) {
                EXPECT_GT(dark, 10) << tool << " field " << i;
            } else {
                EXPECT_EQ(dark, 0) << tool << " field " << i;
            }
        }
    }
}

// One archival document that uses everything an archival document may hold at once.
TEST_F(PdfaFeatures, EverythingAllowedAtOnceIsArchival) {
    Pagora pdf(testing_support::MakeFixedHost());
    const std::string path = dir_.File("everything.pdf");
    pdf.SetPDFa(true);
    pdf.SetDocProperty("Everything", "All at once", "Kerbolt", "Tests", "Pagora", "archive");
    pdf.BeginDoc(path);
    pdf.BeginPage();
    TextInEveryFamily(pdf);
    pdf.SetFont("Arial", 10, 0, 204);
    pdf.DrawText(120, 20, Pagora::FromUtf8("Кириллица", 204));
    pdf.AddBookmark("Text", 1);
    pdf.AddBookmark("Fonts", 2);
    pdf.AddBookmark("TrueType", 3);
    pdf.SetLabel(4, "App-", 1);
    pdf.BeginPage();
    TrueTypeFonts(pdf);
    pdf.BeginPage();
    TextBoxesAndRichText(pdf);
    pdf.AddBookmark("Boxes", -1);
    pdf.BeginPage();
    Pictures(pdf);
    pdf.AddBookmark("Pictures", 1);
    pdf.BeginPage();
    Drawings(pdf);
    Barcodes(pdf);
    pdf.AddBookmark("Drawings", 1);
    pdf.AddBookmark("Barcodes", 2);
    pdf.BeginPage();
    Tables(pdf);
    ShapesAndLines(pdf);
    CmykColours(pdf);
    pdf.BeginPage();
    FormFields(pdf);
    Notes(pdf);
    LinksOfEveryKind(pdf);
    pdf.BeginPage();
    Patterns(pdf);
    ImportedArchivalPage(pdf);
    pdf.AddBookmark("Imported", 1, 4, 10, 10, 100);
    pdf.EndDoc();
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrSource() << ": " << pdf.ErrDescription();

    const auto check = RunCommand("qpdf --check " + ShellQuoted(path) + " 2>&1");
    EXPECT_EQ(check.status, 0) << check.out;
    const auto verdicts = Preflight({path});
    ASSERT_EQ(verdicts.size(), 1U);
    EXPECT_TRUE(verdicts[0].first) << verdicts[0].second;
    // The text is there, fonts and imported page included, and every font is embedded.
    const auto text = RunCommand("pdftotext " + ShellQuoted(path) + " - 2>&1").out;
    for (const char* expected :
         {"Größe 12 € – ok", "Привет", "Кириллица", "archived", "Rich", "KERBOLT", "Façade"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
    const auto fonts = RunCommand("pdffonts " + ShellQuoted(path) +
                                  " | awk 'NR > 2 { print $(NF - 4) }' | sort -u");
    EXPECT_EQ(fonts.out, "yes\n") << RunCommand("pdffonts " + ShellQuoted(path)).out;
}

} // namespace
