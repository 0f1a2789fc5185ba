#include "tests/support/qr_bill_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace testing_support {
namespace {

// A payload a bank accepts: structured creditor, an amount, no reference, an ultimate debtor.
std::vector<std::string> ValidLines() {
    return {"SPC", "0200", "1", "CH9300762011623852957",
            // creditor
            "S", "Parc Lac SA", "Rue du Lac", "1", "1000", "Lausanne", "CH",
            // ultimate creditor
            "", "", "", "", "", "", "",
            // amount, currency
            "12.50", "CHF",
            // ultimate debtor
            "K", "Pia Rutschmann", "Marktgasse 28", "9400 Rorschach", "", "", "CH",
            // reference, message, trailer
            "NON", "", "Ticket 000NZFAP-1 / VD 5", "EPD"};
}

std::string Join(const std::vector<std::string>& lines, const std::string& separator = "\r\n") {
    std::string payload;
    for (std::size_t i = 0; i < lines.size(); ++i)
        payload += (i > 0 ? separator : "") + lines[i];
    return payload;
}

std::string Describe(const std::vector<std::string>& violations) {
    std::string text;
    for (const auto& violation : violations)
        text += violation + "\n";
    return text;
}

TEST(QrBillRules, ValidPayloadsPassWithEitherSeparatorAndEveryReferenceType) {
    std::vector<std::string> lf = ValidLines();
    EXPECT_EQ(Describe(QrBillViolations(Join(lf))), "");
    EXPECT_EQ(Describe(QrBillViolations(Join(lf, "\n"))), "");

    std::vector<std::string> open_amount = ValidLines();
    open_amount[18] = "";
    for (int i = 20; i < 27; ++i)
        open_amount[static_cast<std::size_t>(i)] = "";
    open_amount.push_back("//S1/10/10201409");
    EXPECT_EQ(Describe(QrBillViolations(Join(open_amount))), "");

    std::vector<std::string> qrr = ValidLines();
    qrr[3] = "CH4431999123000889012";
    qrr[27] = "QRR";
    qrr[28] = "210000000003139471430009017";
    EXPECT_EQ(Describe(QrBillViolations(Join(qrr))), "");

    std::vector<std::string> scor = ValidLines();
    scor[3] = "LI21088100002324013AA";
    scor[19] = "EUR";
    scor[27] = "SCOR";
    scor[28] = "RF18539007547034";
    scor[29] = "Frais \xC3\xA9t\xC3\xA9 \xE2\x82\xAC"; // é and € are in the set
    EXPECT_EQ(Describe(QrBillViolations(Join(scor))), "");
}

TEST(QrBillRules, EachBrokenElementIsNamed) {
    struct Case {
        std::size_t line;
        std::string value;
        std::string expected; // part of the one violation
    };
    const std::vector<Case> cases = {
        {0, "SPX", "line 1 (QRType)"},
        {1, "0100", "line 2 (Version)"},
        {2, "2", "line 3 (Coding)"},
        {3, "CH9300762011623852958", "line 4 (IBAN)"}, // check digits
        {3, "DE89370400440532013000", "line 4 (IBAN)"},
        {4, "X", "line 5 (Cdtr AdrTp)"},
        {5, "", "line 6 (Cdtr Name)"},
        {5, std::string(71, 'a'), "line 6 (Cdtr Name)"},
        {7, std::string(17, '1'), "line 8 (Cdtr BldgNbOrAdrLine2)"},
        {8, "", "line 9 (Cdtr PstCd)"},
        {9, std::string(36, 'a'), "line 10 (Cdtr TwnNm)"},
        {10, "ch", "line 11 (Cdtr Ctry)"},
        {11, "S", "line 12 (UltmtCdtr)"},
        {18, "0.00", "line 19 (Amt)"},
        {18, "12.5", "line 19 (Amt)"},
        {18, "12,50", "line 19 (Amt)"},
        {18, "1000000000.00", "line 19 (Amt)"},
        {18, "1 250.00", "line 19 (Amt)"},
        {18, ".50", "line 19 (Amt)"},
        {19, "USD", "line 20 (Ccy)"},
        {20, "", "line 21 (UltmtDbtr AdrTp)"},
        {23, "", "line 24 (UltmtDbtr BldgNbOrAdrLine2)"},
        {24, "9400", "line 25 (UltmtDbtr PstCd)"},
        {27, "XYZ", "line 28 (Tp)"},
        {27, "QRR", "line 28 (Tp)"}, // with an IBAN that is no QR-IBAN and no reference
        {28, "RF18539007547034", "line 29 (Ref)"},
        {29, std::string(141, 'a'), "line 30 (Ustrd)"},
        {29, "Plates \xD0\x96", "line 30 (characters)"}, // Cyrillic
        {29, "Tab\there", "line 30 (characters)"},
        {29, "Bad \xC3", "line 30 (characters)"}, // cut UTF-8
        {30, "EPX", "line 31 (Trailer)"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines = ValidLines();
        lines[c.line] = c.value;
        const auto violations = QrBillViolations(Join(lines));
        EXPECT_FALSE(violations.empty()) << c.expected << " with \"" << c.value << "\"";
        const bool named = std::any_of(violations.begin(), violations.end(),
                                       [&](const auto& v) { return v.rfind(c.expected, 0) == 0; });
        EXPECT_TRUE(named) << c.expected << " with \"" << c.value << "\":\n"
                           << Describe(violations);
    }
}

TEST(QrBillRules, LinesAndSeparatorsAreCounted) {
    std::vector<std::string> short_lines = ValidLines();
    short_lines.pop_back();
    EXPECT_FALSE(QrBillViolations(Join(short_lines)).empty());
    std::vector<std::string> long_lines = ValidLines();
    long_lines.insert(long_lines.end(), {"", "", "", ""});
    EXPECT_FALSE(QrBillViolations(Join(long_lines)).empty());
    EXPECT_FALSE(QrBillViolations(Join(ValidLines()) + "\r\n").empty());
    EXPECT_FALSE(QrBillViolations(Join(ValidLines(), "\r")).empty());
    EXPECT_FALSE(QrBillViolations("").empty());
}

} // namespace
} // namespace testing_support
