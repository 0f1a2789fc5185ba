#include "app/ui/ticket_painter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

using testing_support::RunCommand;

// The printable area is the whole page, so that page and layout coordinates agree.
constexpr double kMarginPt = 0;

kerbolt::ticket::TicketPreview FixturePreview() {
    kerbolt::ticket::TicketInputs inputs;
    inputs.language = 1;
    inputs.title = "Indemnité de dérangement";
    inputs.text = "Véhicule stationné sans droit\r\nsur la place {adresse}.";
    inputs.spot_address = "Rue du Lac 1, 1000 Lausanne";
    inputs.footer = "Merci de votre paiement";
    inputs.amount = "50";
    inputs.plates = "VD 123456";
    inputs.account_key = "000NZFAP";
    inputs.record_number = 0;
    return kerbolt::ticket::BuildTicketPreview(inputs);
}

// Prints one ticket through the printer interface into a PDF file.
void PrintTicket(const std::string& path, const kerbolt::ticket::TicketPreview& preview,
                 const kerbolt::ticket::QrPicture* qr, const QImage& logo) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter(&printer);
    ASSERT_TRUE(painter.isActive());
    kerbolt::ui::PaintTicket(painter, preview, qr, logo);
}

struct Box {
    double x_min = 0, y_min = 0, x_max = 0, y_max = 0;
};

// The words of page 1 with their boxes in points, as pdftotext reads them.
std::multimap<std::string, Box> Words(const std::string& pdf) {
    const auto result = RunCommand("pdftotext -bbox " + pdf + " -");
    EXPECT_EQ(result.status, 0);
    std::multimap<std::string, Box> words;
    static const std::regex kWord(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    for (std::sregex_iterator it(result.out.begin(), result.out.end(), kWord), end; it != end;
         ++it) {
        const auto& m = *it;
        words.emplace(m[5].str(), Box{std::stod(m[1].str()), std::stod(m[2].str()),
                                      std::stod(m[3].str()), std::stod(m[4].str())});
    }
    return words;
}

Box Word(const std::multimap<std::string, Box>& words, const std::string& text) {
    EXPECT_EQ(words.count(text), 1u) << text;
    const auto it = words.find(text);
    return it == words.end() ? Box{} : it->second;
}

class TicketPrint : public testing::Test {
protected:
    void SetUp() override {
        preview_ = FixturePreview();
        qr_ = kerbolt::ticket::CreateTicketQrPicture(preview_.payload);
        ASSERT_TRUE(qr_.has_value());
        pdf_ = dir_.File("ticket.pdf");
        PrintTicket(pdf_, preview_, &*qr_, kerbolt::ui::TicketLogo());
    }

    testing_support::TempDir dir_;
    kerbolt::ticket::TicketPreview preview_;
    std::optional<kerbolt::ticket::QrPicture> qr_;
    std::string pdf_;
};

TEST_F(TicketPrint, TextShowsEveryPartOfTheTicket) {
    const auto text = RunCommand("pdftotext -layout " + pdf_ + " -");
    ASSERT_EQ(text.status, 0);
    const std::string& out = text.out;
    for (const char* part :
         {"Indemnité de dérangement", "Véhicule stationné sans droit",
          "sur la place Rue du Lac 1, 1000 Lausanne.", "Merci de votre paiement",
          "Compte / Payable à", "CH93 0076 2011 6238 5295 7", "Velquin Sàrl", "Rue du Marché 12",
          "1003 Lausanne", "Monnaie / Montant", "Communication", "000NZFAP-0", "VD 123456"}) {
        EXPECT_NE(out.find(part), std::string::npos) << part << "\n" << out;
    }
    EXPECT_TRUE(std::regex_search(out, std::regex("(^|[^-])-{71}([^-]|$)"))) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("CHF +50\\.00"))) << out;
    // "Arial" reaches the page as its metric twin.
    const auto fonts = RunCommand("pdffonts " + pdf_);
    EXPECT_NE(fonts.out.find("LiberationSans"), std::string::npos) << fonts.out;
    // The payee column's lines come one under the other, in order.
    std::size_t last = 0;
    for (const char* line :
         {"Compte / Payable à", "CH93 0076", "Velquin Sàrl", "Rue du Marché 12", "1003 Lausanne"}) {
        const std::size_t at = out.find(line);
        EXPECT_GT(at, last) << line;
        last = at;
    }
}

TEST_F(TicketPrint, PositionsFollowTheLayout) {
    const auto words = Words(pdf_);
    const Box chf = Word(words, "CHF");
    const Box amount = Word(words, "50.00");
    const Box heading = Word(words, "Communication");
    const Box payee = Word(words, "Compte");
    // Columns: 2600 twips for the currency, 3005 for the amount, whose text begins with a
    // blank (0.278 em of 8.25 points).
    EXPECT_NEAR(chf.x_min, kMarginPt + 130, 0.5);
    EXPECT_NEAR(amount.x_min - chf.x_min, 20.25 + 0.278 * 8.25, 0.5);
    EXPECT_NEAR(payee.x_min, kMarginPt, 0.5);
    // The amount stands on the currency's line; the message heading one line plus 185 twips
    // below it; the amount heading on the payee heading's line.
    EXPECT_NEAR(amount.y_max, chf.y_max, 0.2);
    EXPECT_NEAR(heading.y_min - chf.y_min, (184.3 + 185) / 20, 0.5);
    EXPECT_NEAR(Word(words, "Monnaie").y_min, payee.y_min, 0.2);
}

TEST_F(TicketPrint, QrCodeDecodesToThePayload) {
    const std::string prefix = dir_.File("page");
    ASSERT_EQ(RunCommand("pdftoppm -r 300 -png -singlefile " + pdf_ + " " + prefix).status, 0);
    const auto decoded = RunCommand("ZXingReader -bytes -format QRCode " + prefix + ".png");
    ASSERT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.out, preview_.payload);
}

TEST_F(TicketPrint, LogoIsPrintedAt2500By1220Twips) {
    const auto trace = RunCommand("mutool trace " + pdf_);
    ASSERT_EQ(trace.status, 0);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        trace.out, m,
        std::regex(
            R"re(<fill_image[^>]*transform="([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+)"[^>]*width="1295" height="632")re")))
        << trace.out.substr(0, 2000);
    // The image's unit square mapped to 125 x 61 points at (734.5, 1) twips in the printable
    // area; mutool's page space has y downwards from the top.
    EXPECT_NEAR(std::stod(m[1].str()), 125, 0.05);
    EXPECT_NEAR(std::stod(m[4].str()), 61, 0.05);
    EXPECT_NEAR(std::stod(m[5].str()), kMarginPt + 734.5 / 20, 0.05);
    EXPECT_NEAR(std::stod(m[6].str()), kMarginPt + 1.0 / 20, 0.05);

    // Embedded whole and losslessly: a two-colour logo must not come out as a JPEG.
    const auto images = RunCommand("pdfimages -list " + pdf_);
    ASSERT_EQ(images.status, 0);
    EXPECT_TRUE(std::regex_search(images.out, std::regex(R"( 1295 +632 )"))) << images.out;
    EXPECT_EQ(images.out.find("jpeg"), std::string::npos) << images.out;
}

TEST(TicketLayout, WithoutALogoTheTextMovesUpByTheLogoHeight) {
    testing_support::TempDir dir;
    const kerbolt::ticket::TicketPreview preview = FixturePreview();
    PrintTicket(dir.File("with.pdf"), preview, nullptr, kerbolt::ui::TicketLogo());
    PrintTicket(dir.File("without.pdf"), preview, nullptr, QImage());
    const double with = Word(Words(dir.File("with.pdf")), "Indemnité").y_min;
    const double without = Word(Words(dir.File("without.pdf")), "Indemnité").y_min;
    EXPECT_NEAR(with - without, 1220.0 / 20, 0.05);
}

TEST(TicketLayout, LogoHeightRoundsHalfToEven) {
    EXPECT_EQ(kerbolt::ui::TicketLogoHeight(1295, 632), 1220);
    EXPECT_EQ(kerbolt::ui::TicketLogoHeight(1000, 1), 2); // 2.5
    EXPECT_EQ(kerbolt::ui::TicketLogoHeight(1000, 3), 8); // 7.5
    EXPECT_EQ(kerbolt::ui::TicketLogoHeight(0, 3), 0);
    const QImage logo = kerbolt::ui::TicketLogo();
    EXPECT_EQ(logo.size(), QSize(1295, 632));
}

} // namespace
