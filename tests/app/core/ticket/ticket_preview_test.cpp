#include "app/core/ticket/ticket_preview.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/core/ticket/qr_picture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

namespace {

using kerbolt::ticket::BuildTicketPreview;
using kerbolt::ticket::TicketInputs;
using kerbolt::ticket::TicketPreview;

TicketInputs FixtureInputs() {
    TicketInputs inputs;
    inputs.language = 1;
    inputs.title = "Titre";
    inputs.text = "Texte";
    inputs.amount = "50";
    inputs.footer = "Pied";
    inputs.plates = "VD 123456";
    inputs.account_key = "000NZFAP";
    inputs.record_number = 0;
    return inputs;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos = text.find("\r\n"); pos != std::string::npos;
         pos = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, pos - start));
        start = pos + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

const char* const kFixturePayload =
    "SPC\r\n0200\r\n1\r\nCH9300762011623852957\r\nS\r\nVelquin Sàrl\r\nRue du Marché\r\n12\r\n"
    "1003\r\nLausanne\r\nCH\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n50.00\r\nCHF\r\nS\r\nKerbolt\r\n\r\n\r\n"
    "1003\r\nLausanne\r\nCH\r\nNON\r\n\r\n000NZFAP-0 / VD 123456\r\nEPD";

KERBOLT_TEST_LABEL(oracle, "TicketPayload.FixtureIsExactAndEncodesAsVersion10LevelM");
TEST(TicketPayload, FixtureIsExactAndEncodesAsVersion10LevelM) {
    const TicketPreview preview = BuildTicketPreview(FixtureInputs());
    EXPECT_EQ(preview.payload, kFixturePayload);
    EXPECT_EQ(preview.payload.size(), 191u);

    const std::vector<std::string> lines = SplitCrLf(preview.payload);
    ASSERT_EQ(lines.size(), 31u);
    for (int empty : {12, 13, 14, 15, 16, 17, 18, 23, 24, 29}) {
        EXPECT_EQ(lines[static_cast<std::size_t>(empty - 1)], "") << "line " << empty;
    }
    EXPECT_EQ(lines[18], "50.00");
    EXPECT_EQ(lines[29], "000NZFAP-0 / VD 123456");
    EXPECT_NE(preview.payload.substr(preview.payload.size() - 2), "\r\n");

    // An independent digest of the bytes, against the value worked out when the ticket was
    // designed.
    testing_support::TempDir dir;
    testing_support::WriteFileBytes(dir.File("payload"), preview.payload);
    const auto digest =
        testing_support::RunCommand("openssl dgst -sha256 -r " + dir.File("payload"));
    ASSERT_EQ(digest.status, 0);
    EXPECT_EQ(digest.out.substr(0, 64),
              "f1195fd66134264c47e53ef883722812a897fd79d55dbdf341fba2550c4ad7eb");

    const auto picture = kerbolt::ticket::CreateTicketQrPicture(preview.payload);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->version, 10);
    EXPECT_EQ(picture->ecl, 1);
}

TEST(TicketPreviewLabels, FixtureLabels) {
    const TicketPreview preview = BuildTicketPreview(FixtureInputs());
    const std::vector<std::string> expected = {"Titre",
                                               "Texte",
                                               "Compte / Payable à",
                                               "CH93 0076 2011 6238 5295 7",
                                               "Velquin Sàrl",
                                               "Rue du Marché 12",
                                               "1003 Lausanne",
                                               "Monnaie / Montant",
                                               "CHF",
                                               " 50.00",
                                               "Communication",
                                               "000NZFAP-0",
                                               "Pied",
                                               "VD 123456"};
    EXPECT_EQ(std::vector<std::string>(preview.labels.begin(), preview.labels.end()), expected);
    EXPECT_EQ(preview.reference, "000NZFAP-0");
}

TEST(TicketPreviewLabels, HeadingsFollowTheLanguageAndFallBackToFrench) {
    struct Case {
        int language;
        const char* payee;
        const char* amount;
        const char* message;
    };
    const Case cases[] = {
        {2, "Konto / Zahlbar an", "Währung / Betrag", "Mitteilung"},
        {3, "Account / Payable to", "Currency / Amount", "Communication"},
        {4, "Conto / Pagabile a", "Valuta / Importo", "Causale"},
        {0, "Compte / Payable à", "Monnaie / Montant", "Communication"},
        {7, "Compte / Payable à", "Monnaie / Montant", "Communication"},
    };
    for (const Case& c : cases) {
        TicketInputs inputs = FixtureInputs();
        inputs.language = c.language;
        const TicketPreview preview = BuildTicketPreview(inputs);
        EXPECT_EQ(preview.labels[kerbolt::ticket::kLabelPayeeHeading], c.payee) << c.language;
        EXPECT_EQ(preview.labels[kerbolt::ticket::kLabelAmountHeading], c.amount) << c.language;
        EXPECT_EQ(preview.labels[kerbolt::ticket::kLabelMessageHeading], c.message) << c.language;
    }
}

struct AmountCase {
    const char* amount;
    const char* payload_line; // line 19
    const char* label;        // label 9; the previous text when not a number
};

void PrintTo(const AmountCase& c, std::ostream* os) {
    *os << '"' << c.amount << '"';
}

class TicketAmount : public testing::TestWithParam<AmountCase> {};

TEST_P(TicketAmount, PayloadLineAndLabel) {
    TicketInputs inputs = FixtureInputs();
    inputs.amount = GetParam().amount;
    inputs.previous_amount_label = "previous";
    const TicketPreview preview = BuildTicketPreview(inputs);
    EXPECT_EQ(SplitCrLf(preview.payload).at(18), GetParam().payload_line);
    EXPECT_EQ(preview.labels[kerbolt::ticket::kLabelAmount], GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TicketAmount,
    testing::Values(AmountCase{"50", "50.00", " 50.00"}, AmountCase{"1250", "1250.00", "1 250.00"},
                    AmountCase{"", "", "previous"}, AmountCase{"abc", "", "previous"},
                    AmountCase{"1.005", "1.01", " 1.01"}, AmountCase{"1.004", "1.00", " 1.00"},
                    AmountCase{"9.995", "10.00", " 10.00"},
                    AmountCase{"999.999", "1000.00", "1 000.00"},
                    AmountCase{"0.5", "0.50", " 0.50"}, AmountCase{".5", "0.50", " 0.50"},
                    AmountCase{"5.", "5.00", " 5.00"}, AmountCase{"007", "7.00", " 7.00"},
                    AmountCase{"1234567", "1234567.00", "1234 567.00"},
                    AmountCase{"  12.5 ", "12.50", " 12.50"}, AmountCase{".", "", "previous"},
                    AmountCase{"1.2.3", "", "previous"}, AmountCase{"12,50", "", "previous"},
                    AmountCase{"1 250", "", "previous"}, AmountCase{"0", "", "previous"},
                    AmountCase{"0.004", "", "previous"}, AmountCase{"0.005", "0.01", " 0.01"},
                    AmountCase{"999999999.99", "999999999.99", "999999 999.99"},
                    AmountCase{"999999999.995", "", "previous"},
                    AmountCase{"1000000000", "", "previous"}));

TEST(TicketPreviewLabels, AmountLabelStartsWithItsDesignText) {
    TicketInputs inputs = FixtureInputs();
    inputs.amount = "";
    inputs.previous_amount_label = TicketInputs{}.previous_amount_label;
    EXPECT_EQ(BuildTicketPreview(inputs).labels[kerbolt::ticket::kLabelAmount], "60.00");
}

TEST(TicketPreviewLabels, AddressSubstitution) {
    struct Case {
        const char* text;
        std::optional<std::string> address;
        const char* expected;
    };
    const Case cases[] = {
        {"Place {adresse}, soit {adresse}.", "Rue du Lac 1",
         "Place Rue du Lac 1, soit Rue du Lac 1."},
        {"{Adresse} {adresse}", "X", "{Adresse} X"},
        {"{adresse}", std::nullopt, "{adresse}"},  // no spot chosen
        {"a{adresse}b", std::string(), "ab"},      // a spot without an address
        {"{adresse}", "{adresse}!", "{adresse}!"}, // the address itself is not searched again
    };
    for (const Case& c : cases) {
        TicketInputs inputs = FixtureInputs();
        inputs.text = c.text;
        inputs.spot_address = c.address;
        EXPECT_EQ(BuildTicketPreview(inputs).labels[kerbolt::ticket::kLabelText], c.expected)
            << c.text;
    }
}

TEST(TicketPayload, MessageLineIsMadeAcceptableToBanks) {
    struct Case {
        std::string plates;
        long long number;
        std::string line30;
    };
    const std::string long_plates(200, 'A');
    const std::string accented(150, '\xE9'); // stray bytes count as single characters
    std::string umlauts;
    for (int i = 0; i < 140; ++i)
        umlauts += "ü";
    const Case cases[] = {
        {"", 0, "000NZFAP-0 / "},
        {"  VD 1  ", 12, "000NZFAP-12 /   VD 1  "},
        {"VD\r\n1\t2", 3, "000NZFAP-3 / VD  1 2"},
        {"a\xC2\x85"
         "b",
         1, "000NZFAP-1 / a b"}, // NEL, a control character beyond ASCII
        {long_plates, 0, "000NZFAP-0 / " + std::string(127, 'A')},
        {umlauts, 0, "000NZFAP-0 / " + umlauts.substr(0, 127 * 2)},
        {accented, 0, "000NZFAP-0 / " + accented.substr(0, 127)},
    };
    for (const Case& c : cases) {
        TicketInputs inputs = FixtureInputs();
        inputs.plates = c.plates;
        inputs.record_number = c.number;
        const TicketPreview preview = BuildTicketPreview(inputs);
        const std::vector<std::string> lines = SplitCrLf(preview.payload);
        ASSERT_EQ(lines.size(), 31u) << c.plates;
        EXPECT_EQ(lines[29], c.line30);
        // The label and the reference keep the plates as typed.
        EXPECT_EQ(preview.labels[kerbolt::ticket::kLabelPlates], c.plates);
        EXPECT_EQ(preview.labels[kerbolt::ticket::kLabelReference],
                  "000NZFAP-" + std::to_string(c.number));
    }
}

TEST(TicketPayload, VeryLongPlatesStillFitTheSymbol) {
    TicketInputs inputs = FixtureInputs();
    inputs.plates = std::string(5000, 'x');
    inputs.title = std::string(5000, 't'); // the texts never reach the payload
    EXPECT_TRUE(
        kerbolt::ticket::CreateTicketQrPicture(BuildTicketPreview(inputs).payload).has_value());
}

} // namespace
