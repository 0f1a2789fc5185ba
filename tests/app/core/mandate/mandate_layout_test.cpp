#include "app/core/mandate/mandate_layout.h"

#include "app/core/store/app_state.h"
#include "pdf/writer/Pagora.h"
#include "tests/support/mandate_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kerbolt::mandate {
namespace {

using testing_support::PdfCall;
using testing_support::RecordingPdfWriter;

std::string Bytes(const std::string& utf8) {
    return pagora::Pagora::FromUtf8(utf8);
}

MandateOperator TestOperator() {
    return {"kerbolt.example",  "www.kerbolt.example", "Velquin Sàrl",
            "Rue du Marché 12", "1003 Lausanne",       "info@kerbolt.example"};
}

// A user with three spots and a logo twice as wide as high.
MandateDocument ThreeSpots(std::int16_t language = texts::kFrench) {
    MandateDocument doc;
    doc.language = language;
    doc.contact = ContactFrom({.Nom = "Jean Dupont",
                               .rue = "Chemin Vert",
                               .no = "4",
                               .npa = "1000",
                               .ville = "Lausanne"});
    doc.place_addresses = {"a1", "a2", "a3"};
    doc.op = TestOperator();
    doc.output_path = "out.pdf";
    doc.logo_path = "/tmp/LogoMandat.bmp";
    doc.logo_height = LogoHeight(200, 100);
    return doc;
}

std::vector<float> Ys(const std::vector<PdfCall>& calls) {
    std::vector<float> ys;
    for (const PdfCall& call : calls)
        ys.push_back(call.y);
    return ys;
}

TEST(MandateLayout, WideLogoPlacesPartiesAndFirstHeading) {
    RecordingPdfWriter pdf;
    ASSERT_TRUE(WriteMandate(pdf, ThreeSpots()).ok);

    ASSERT_GE(pdf.calls.size(), 4u);
    EXPECT_EQ(pdf.calls[0].op, "BeginDoc");
    EXPECT_EQ(pdf.calls[1].op, "SetPaperSize");
    EXPECT_EQ(pdf.calls[1].b, 0);
    EXPECT_EQ(pdf.calls[2].op, "BeginPage");
    const PdfCall& logo = pdf.calls[3];
    EXPECT_EQ(logo.op, "DrawImage");
    EXPECT_EQ(logo.text, "/tmp/LogoMandat.bmp|");
    EXPECT_EQ(std::vector<float>({logo.x, logo.y, logo.width, logo.height}),
              std::vector<float>({50, 50, 100, 50}));
    EXPECT_EQ(logo.a, 1);
    EXPECT_EQ(logo.b, 0); // stretched, not fitted

    const std::vector<PdfCall> lines = pdf.Only("DrawText");
    ASSERT_EQ(lines.size(), 12u + 6u + 5u);
    const std::vector<float> ys = Ys(lines);
    EXPECT_EQ(std::vector<float>(ys.begin(), ys.begin() + 12),
              std::vector<float>({120, 150, 170, 190, 205, 220, 235, 250, 275, 295, 310, 325}));
    EXPECT_EQ(lines[0].text, Bytes("Mandat d’intervention pour indemnité de dérangement"));
    EXPECT_EQ(lines[12].y, 350);
    EXPECT_EQ(lines[12].text, Bytes("Objet du mandat"));
    for (const PdfCall& line : lines) {
        EXPECT_TRUE(line.x == 50 || line.x == 110) << line.text;
        EXPECT_EQ(line.a, 1);
    }
    const std::vector<PdfCall> boxes = pdf.Only("DrawTextBox");
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].y, 370);
    EXPECT_EQ(std::vector<float>({boxes[0].x, boxes[0].width}), std::vector<float>({50, 500}));
    EXPECT_EQ(std::make_pair(boxes[0].a, boxes[0].b), std::make_pair(9, 1));
    EXPECT_EQ(pdf.calls.back().op, "EndDoc");
    EXPECT_EQ(pdf.calls[pdf.calls.size() - 2].op, "EndPage");
}

TEST(MandateLayout, FontIsSetOnlyWhereTheStyleChanges) {
    RecordingPdfWriter pdf;
    ASSERT_TRUE(WriteMandate(pdf, ThreeSpots()).ok);

    // The font each line and box is drawn in, and that no SetFont repeats the font in force.
    std::optional<std::pair<float, int>> font;
    std::vector<std::pair<float, int>> line_fonts;
    std::vector<std::pair<float, int>> box_fonts;
    int colours = 0;
    for (const PdfCall& call : pdf.calls) {
        if (call.op == "SetFont") {
            EXPECT_EQ(call.text, "Arial");
            EXPECT_EQ(call.b, 0);
            const std::pair<float, int> next{call.size, call.a};
            EXPECT_NE(font, next) << "SetFont repeats the font in force";
            font = next;
        } else if (call.op == "SetColorText") {
            EXPECT_EQ(call.text, "Black");
            EXPECT_TRUE(font.has_value()) << "the colour comes after the first font";
            ++colours;
        } else if (call.op == "DrawText") {
            ASSERT_TRUE(font.has_value());
            line_fonts.push_back(*font);
        } else if (call.op == "DrawTextBox") {
            box_fonts.push_back(*font);
        }
    }
    EXPECT_EQ(colours, 1);
    const std::pair<float, int> title{14, 1}, bold{12, 1}, regular{12, 0};
    const std::vector<std::pair<float, int>> expected = {// the parties
                                                         title, regular, bold, regular, regular,
                                                         regular, regular, regular, bold, regular,
                                                         regular, regular,
                                                         // six headings
                                                         bold, bold, bold, bold, bold, bold,
                                                         // the return address
                                                         bold, regular, regular, regular, bold};
    EXPECT_EQ(line_fonts, expected);
    const std::vector<std::pair<float, int>> six_regular(6, regular);
    EXPECT_EQ(box_fonts, six_regular);
}

TEST(MandateLayout, EstimateTextHeight) {
    const std::string word28(28, 'w');
    struct Case {
        std::string text;
        std::int16_t minimum;
        std::int16_t expected;
    } cases[] = {
        {"word", 25, 25},               // one line is below the minimum
        {"ab\r\ncd", 25, 32},           // CR LF adds a line
        {"word", 0, 16},                // one line of 12 + 4 points
        {"", 25, 25},                   // an empty text is one line too
        {std::string(56, 'x'), 0, 16},  // 56 × 7 + 7 = 399 fits in 400
        {std::string(57, 'x'), 0, 32},  // 57 × 7 + 7 = 406 does not: a second line
        {word28 + " " + word28, 0, 32}, // the second word passes the width
        {"a\r\n\r\nb c", 0, 48},        // every CR LF counts, blanks split words
    };
    for (const Case& c : cases)
        EXPECT_EQ(EstimateTextHeight(c.text, 400, 12, c.minimum), c.expected) << c.text;
    // A text too long for a 16-bit height keeps the largest one.
    std::string many_lines;
    for (int i = 0; i < 3000; ++i)
        many_lines += "\r\n";
    EXPECT_EQ(EstimateTextHeight(many_lines, 400, 12, 25), 32767);
}

TEST(MandateLayout, LogoHeightRoundsHalfToEven) {
    EXPECT_EQ(LogoHeight(200, 100), 50);
    EXPECT_EQ(LogoHeight(1295, 632), 49); // 48.8
    EXPECT_EQ(LogoHeight(200, 5), 2);     // 2.5 goes to the even 2
    EXPECT_EQ(LogoHeight(200, 7), 4);     // 3.5 goes to the even 4
    EXPECT_EQ(LogoHeight(0, 10), 0);
}

TEST(MandateLayout, SpotListAndSectionBodies) {
    MandateDocument doc = ThreeSpots();
    const std::string entry15 = MandateText(15, 1, doc.op);
    EXPECT_EQ(SectionBody(doc, 0), entry15 + "\r\n- a1\r\n- a2\r\n- a3");
    EXPECT_EQ(FormatPlaceList({"", "b"}), "- \r\n- b");
    doc.place_addresses.clear();
    EXPECT_EQ(SectionBody(doc, 0), entry15);
    EXPECT_EQ(SectionBody(doc, 5), "Fait à Lausanne, le _______________\r\n\r\n"
                                   "Signature du Mandant :\r\n\r\n\r\n"
                                   "___________________________");

    // The first box carries the list as the writer's single-byte text.
    RecordingPdfWriter pdf;
    ASSERT_TRUE(WriteMandate(pdf, ThreeSpots()).ok);
    EXPECT_EQ(pdf.Only("DrawTextBox")[0].text, Bytes(entry15 + "\r\n- a1\r\n- a2\r\n- a3"));
}

TEST(MandateLayout, ContactDetailsAreTrimmed) {
    RecordingPdfWriter pdf;
    MandateDocument doc = ThreeSpots();
    doc.contact =
        ContactFrom({.Nom = " Anne ", .rue = "", .no = "", .npa = "", .ville = "  Sion "});
    EXPECT_EQ(doc.contact.town, "Sion");
    EXPECT_EQ(doc.contact.postcode_and_town, "Sion");
    ASSERT_TRUE(WriteMandate(pdf, doc).ok);
    const std::vector<PdfCall> lines = pdf.Only("DrawText");
    EXPECT_EQ(lines[3].text, Bytes("Nom / Prénom ou Raison sociale :   Anne "));
    // Without street and number the address line keeps its blank and comma.
    EXPECT_EQ(lines[4].text, Bytes("Adresse :  , Sion"));
    EXPECT_EQ(pdf.Only("DrawTextBox")[5].text.rfind(Bytes("Fait à Sion, le ___"), 0), 0u);
}

TEST(MandateLayout, LanguagesAndUnknownEntries) {
    const MandateOperator op = TestOperator();
    struct Case {
        std::int16_t language;
        const char* title;
        const char* first_heading;
        const char* missing;
    } cases[] = {
        {1, "Mandat d’intervention pour indemnité de dérangement", "Objet du mandat",
         "Texte manquant"},
        {2, "Mandat zur Intervention wegen Parkschadenentschädigung", "Auftragsgegenstand",
         "Text fehlt"},
        {3, "Mandate for intervention regarding disturbance compensation", "Object of the mandate",
         "Missing text"},
        {4, "Mandato di intervento per indennità di disturbo", "Oggetto del mandato",
         "Testo mancante"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MandateText(1, c.language, op), c.title);
        EXPECT_EQ(MandateText(14, c.language, op), c.first_heading);
        EXPECT_EQ(MandateText(0, c.language, op), c.missing);
        EXPECT_EQ(MandateText(32, c.language, op), c.missing);
    }
    for (std::int16_t n = 0; n <= 32; ++n) {
        EXPECT_EQ(MandateText(n, 0, op), "Langue non prise en charge");
        EXPECT_EQ(MandateText(n, 9, op), "Langue non prise en charge");
    }
    // The operator's details fill their places.
    EXPECT_EQ(MandateText(29, 2, op),
              "Unterschrift des Beauftragten: : Velquin Sàrl (kerbolt.example)");
    EXPECT_EQ(MandateText(31, 3, op), "by mail or email to: info@kerbolt.example");
    EXPECT_EQ(MandateText(11, 4, op), "Rue du Marché 12, 1003 Lausanne");
    EXPECT_NE(MandateText(21, 1, op).find("disponibles sur www.kerbolt.example.\r\n- Transmettre"),
              std::string::npos);
    EXPECT_EQ(MandateText(25, 3, op),
              "The Principal undertakes to:\r\n"
              "- Provide all necessary information regarding the concerned parking spaces.\r\n"
              "- Immediately inform the Agent of any change of owner, tenant, or management.\r\n"
              "- Not undertake parallel steps that could interfere with the mandate.");

    // An unsupported language reads the notice everywhere but in the user's and operator's own
    // details.
    RecordingPdfWriter pdf;
    ASSERT_TRUE(WriteMandate(pdf, ThreeSpots(9)).ok);
    const std::vector<PdfCall> lines = pdf.Only("DrawText");
    EXPECT_EQ(lines[0].text, "Langue non prise en charge");
    EXPECT_EQ(lines[3].text, "Langue non prise en charge Jean Dupont");
    EXPECT_EQ(lines[12].text, "Langue non prise en charge");
}

TEST(MandateLayout, TallLogoMovesTheSectionsToASecondPage) {
    RecordingPdfWriter pdf;
    MandateDocument doc = ThreeSpots();
    doc.logo_height = LogoHeight(100, 500); // the parties end at 800
    ASSERT_TRUE(WriteMandate(pdf, doc).ok);
    const std::vector<PdfCall> images = pdf.Only("DrawImage");
    ASSERT_GE(images.size(), 2u);
    EXPECT_EQ(images[0].page, 1);
    EXPECT_EQ(images[1].page, 2);
    EXPECT_EQ(images[1].height, 500);
    const std::vector<PdfCall> lines = pdf.Only("DrawText");
    EXPECT_EQ(lines[11].page, 1);
    EXPECT_EQ(lines[11].y, 775);
    EXPECT_EQ(lines[12].page, 2);
    EXPECT_EQ(lines[12].y, 570); // under the repeated logo
}

// No box runs past the bottom of its page.
void ExpectBoxesOnTheirPage(const RecordingPdfWriter& pdf) {
    for (const PdfCall& box : pdf.Only("DrawTextBox")) {
        EXPECT_LE(box.y + box.height, 842) << "page " << box.page;
        EXPECT_GE(box.height, 1);
    }
}

TEST(MandateLayout, FittingBoxesAreDrawnOnceAtTheirEstimate) {
    RecordingPdfWriter pdf;
    const MandateDocument doc = ThreeSpots();
    ASSERT_TRUE(WriteMandate(pdf, doc).ok);
    const std::vector<PdfCall> boxes = pdf.Only("DrawTextBox");
    const std::vector<PdfCall> lines = pdf.Only("DrawText");
    ASSERT_EQ(boxes.size(), 6u);
    float y = 350;
    for (int s = 0; s < 6; ++s) {
        const std::string body = Bytes(SectionBody(doc, s));
        const std::int16_t h = EstimateTextHeight(body, 400, 12, 25);
        EXPECT_EQ(boxes[static_cast<std::size_t>(s)].text, body);
        EXPECT_EQ(boxes[static_cast<std::size_t>(s)].height, h);
        EXPECT_EQ(boxes[static_cast<std::size_t>(s)].y, y + 20);
        EXPECT_EQ(lines[12 + static_cast<std::size_t>(s)].y, y);
        y += 20 + h + 10;
        if (y > 742) y = 120;
    }
    ExpectBoxesOnTheirPage(pdf);
}

TEST(MandateLayout, FortySpotsContinueOnANewPageWithNothingLost) {
    RecordingPdfWriter pdf;
    MandateDocument doc = ThreeSpots();
    doc.place_addresses.clear();
    for (int i = 0; i < 40; ++i)
        doc.place_addresses.push_back("Rue du Lac " + std::to_string(i) + ", 1000 Lausanne");
    ASSERT_TRUE(WriteMandate(pdf, doc).ok);

    ExpectBoxesOnTheirPage(pdf);
    // Every spot line was drawn exactly once.
    for (const std::string& address : doc.place_addresses)
        EXPECT_EQ(std::count(pdf.drawn_lines.begin(), pdf.drawn_lines.end(), "- " + address), 1)
            << address;
    // The first box runs to the page's edge; the list goes on under the logo of page 2.
    const std::vector<PdfCall> boxes = pdf.Only("DrawTextBox");
    EXPECT_EQ(boxes[0].page, 1);
    EXPECT_EQ(boxes[0].y + boxes[0].height, 842);
    EXPECT_EQ(boxes[1].page, 2);
    EXPECT_EQ(boxes[1].y, 120);
    EXPECT_EQ(boxes[1].text[0], '-') << "the rest begins with the next whole spot line";
    const std::vector<PdfCall> images = pdf.Only("DrawImage");
    ASSERT_GE(images.size(), 2u);
    EXPECT_EQ(images[1].page, 2);
    // The next heading follows the continued list.
    EXPECT_EQ(pdf.Only("DrawText")[13].page, 2);
    EXPECT_EQ(pdf.Only("DrawText")[13].y, boxes[1].y + boxes[1].height + 10);
}

TEST(MandateLayout, TextBeyondTheEstimateContinuesBelow) {
    // Lines taller than the estimate's 16 points: each box holds fewer lines than its text.
    RecordingPdfWriter pdf;
    pdf.line_height = 30;
    MandateDocument doc = ThreeSpots();
    ASSERT_TRUE(WriteMandate(pdf, doc).ok);
    ExpectBoxesOnTheirPage(pdf);
    for (const char* spot : {"- a1", "- a2", "- a3"})
        EXPECT_EQ(std::count(pdf.drawn_lines.begin(), pdf.drawn_lines.end(), spot), 1) << spot;
    // The signature section's last line, the blank for the signature, is there too.
    EXPECT_EQ(pdf.drawn_lines.back(), "___________________________");
    const std::vector<PdfCall> boxes = pdf.Only("DrawTextBox");
    ASSERT_GT(boxes.size(), 6u);
    // A continuation starts where the box before it ended, on the same page when it fits.
    EXPECT_EQ(boxes[1].page, 1);
    EXPECT_EQ(boxes[1].y, boxes[0].y + boxes[0].height);
}

TEST(MandateLayout, FailuresAreReported) {
    {
        RecordingPdfWriter pdf;
        pdf.begin_error = 75;
        const MandateResult result = WriteMandate(pdf, ThreeSpots());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "Path/File access error - out.pdf");
        ASSERT_EQ(pdf.calls.size(), 1u) << "nothing is written after a failed BeginDoc";
    }
    {
        RecordingPdfWriter pdf;
        pdf.end_error = 61;
        const MandateResult result = WriteMandate(pdf, ThreeSpots());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "Disk full");
    }
}

TEST(MandateLayout, WithoutLogoTheTextStartsAtTheTop) {
    {
        MandateDocument doc = ThreeSpots();
        doc.logo_path.clear();
        doc.logo_height = 0;
        RecordingPdfWriter pdf;
        ASSERT_TRUE(WriteMandate(pdf, doc).ok);
        EXPECT_TRUE(pdf.Only("DrawImage").empty());
        EXPECT_EQ(pdf.Only("DrawText")[0].y, 70);
    }
}

} // namespace
} // namespace kerbolt::mandate
