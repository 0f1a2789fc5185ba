#include "tests/support/qr_bill_rules.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace testing_support {

namespace {

// The payload's lines, counted from 1 in the messages as in the published table of elements.
enum Line : std::size_t {
    kQrType = 0,
    kVersion,
    kCoding,
    kIban,
    kCreditor, // 7 lines: AdrTp, Name, StrtNmOrAdrLine1, BldgNbOrAdrLine2, PstCd, TwnNm, Ctry
    kUltimateCreditor = kCreditor + 7, // 7 lines, all empty
    kAmount = kUltimateCreditor + 7,
    kCurrency,
    kUltimateDebtor, // 7 lines, all empty or an address
    kReferenceType = kUltimateDebtor + 7,
    kReference,
    kMessage,
    kTrailer,
    kBillInformation, // optional, like the two alternative schemes after it
    kFirstAlternative,
};
constexpr std::size_t kLeastLines = kTrailer + 1;
constexpr std::size_t kMostLines = kFirstAlternative + 2;

class Checker {
public:
    explicit Checker(std::vector<std::string>& violations) : violations_(violations) {}

    void Fail(std::size_t line, std::string_view field, const std::string& what) {
        violations_.push_back("line " + std::to_string(line + 1) + " (" + std::string(field) +
                              "): " + what);
    }

private:
    std::vector<std::string>& violations_;
};

// Code points of UTF-8 text; nothing when a byte sequence is no UTF-8.
bool DecodeUtf8(std::string_view text, std::u32string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            c = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are no UTF-8 either.
        if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
            (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        out.push_back(c);
        i += length;
    }
    return true;
}

// The Latin character set the Swiss payment standards allow in a QR-bill.
bool InLatinSet(char32_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0x17F) || (c >= 0x218 && c <= 0x21B) ||
           c == 0x20AC;
}

std::size_t Characters(std::string_view text) {
    std::u32string decoded;
    return DecodeUtf8(text, decoded) ? decoded.size() : text.size();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// ISO 7064 mod 97-10 over digits and letters (A = 10 ... Z = 35), as IBANs and creditor
// references use it once their first four characters moved to the end.
int Mod97(std::string_view text) {
    int rest = 0;
    for (const char c : text) {
        if (IsDigit(c)) {
            rest = (rest * 10 + (c - '0')) % 97;
        } else {
            const int value = std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
            rest = (rest * 100 + value) % 97;
        }
    }
    return rest;
}

bool Alphanumeric(std::string_view text, bool lower_case) {
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return IsDigit(c) || IsUpper(c) || (lower_case && c >= 'a' && c <= 'z');
    });
}

// The recursive mod 10 check digit of the QR reference.
bool QrReferenceCheckDigitHolds(std::string_view reference) {
    static constexpr int kTable[10] = {0, 9, 4, 6, 8, 2, 7, 1, 3, 5};
    int carry = 0;
    for (std::size_t i = 0; i + 1 < reference.size(); ++i)
        carry = kTable[(carry + (reference[i] - '0')) % 10];
    return (10 - carry) % 10 == reference.back() - '0';
}

void CheckLength(Checker& check, const std::vector<std::string>& lines, std::size_t line,
                 std::string_view field, std::size_t least, std::size_t most) {
    const std::size_t length = Characters(lines[line]);
    if (length < least || length > most) {
        check.Fail(line, field,
                   least == 0 ? "longer than " + std::to_string(most) + " characters"
                              : "must hold " + std::to_string(least) + " to " +
                                    std::to_string(most) + " characters");
    }
}

void CheckAddress(Checker& check, const std::vector<std::string>& lines, std::size_t first,
                  const std::string& party) {
    const std::string& type = lines[first];
    const auto field = [&](const char* name) { return party + " " + name; };
    CheckLength(check, lines, first + 1, field("Name"), 1, 70);
    CheckLength(check, lines, first + 2, field("StrtNmOrAdrLine1"), 0, 70);
    if (type == "S") {
        CheckLength(check, lines, first + 3, field("BldgNbOrAdrLine2"), 0, 16);
        CheckLength(check, lines, first + 4, field("PstCd"), 1, 16);
        CheckLength(check, lines, first + 5, field("TwnNm"), 1, 35);
    } else if (type == "K") {
        CheckLength(check, lines, first + 3, field("BldgNbOrAdrLine2"), 1, 70);
        for (std::size_t line : {first + 4, first + 5}) {
            if (!lines[line].empty())
                check.Fail(line, field(line == first + 4 ? "PstCd" : "TwnNm"),
                           "must stay empty in a combined address");
        }
    } else {
        check.Fail(first, field("AdrTp"), "must be S or K, not \"" + type + "\"");
    }
    const std::string& country = lines[first + 6];
    if (country.size() != 2 || !IsUpper(country[0]) || !IsUpper(country[1]))
        check.Fail(first + 6, field("Ctry"), "must be a two-letter country code");
}

void CheckAmount(Checker& check, const std::string& amount) {
    if (amount.empty()) return; // the payer fills it in
    const std::size_t point = amount.find('.');
    const std::string_view whole = std::string_view(amount).substr(0, point);
    if (point == std::string::npos || amount.size() - point != 3 || whole.empty() ||
        whole.size() > 9 || !AllDigits(whole) || !AllDigits(amount.substr(point + 1))) {
        check.Fail(kAmount, "Amt", "\"" + amount + "\" is no amount with two decimals");
        return;
    }
    if (std::all_of(amount.begin(), amount.end(), [](char c) { return c == '0' || c == '.'; })) {
        check.Fail(kAmount, "Amt", "must be at least 0.01");
    }
}

void CheckReference(Checker& check, const std::vector<std::string>& lines) {
    const std::string& type = lines[kReferenceType];
    const std::string& reference = lines[kReference];
    const std::string& iban = lines[kIban];
    // A QR-IBAN has an institution number from 30000 to 31999, and only it goes with QRR.
    const bool qr_iban = iban.size() == 21 && AllDigits(iban.substr(4, 5)) &&
                         std::stoi(iban.substr(4, 5)) >= 30000 &&
                         std::stoi(iban.substr(4, 5)) <= 31999;
    if (type == "QRR") {
        if (!qr_iban) check.Fail(kReferenceType, "Tp", "QRR needs a QR-IBAN");
        if (reference.size() != 27 || !AllDigits(reference) ||
            !QrReferenceCheckDigitHolds(reference)) {
            check.Fail(kReference, "Ref", "no QR reference of 27 digits with its check digit");
        }
    } else if (type == "SCOR") {
        if (qr_iban) check.Fail(kReferenceType, "Tp", "a QR-IBAN needs QRR");
        if (reference.size() < 5 || reference.size() > 25 || reference.rfind("RF", 0) != 0 ||
            !AllDigits(reference.substr(2, 2)) || !Alphanumeric(reference, true) ||
            Mod97(reference.substr(4) + reference.substr(0, 4)) != 1) {
            check.Fail(kReference, "Ref", "no creditor reference (RF, check digits, 5 to 25)");
        }
    } else if (type == "NON") {
        if (qr_iban) check.Fail(kReferenceType, "Tp", "a QR-IBAN needs QRR");
        if (!reference.empty()) check.Fail(kReference, "Ref", "must stay empty with NON");
    } else {
        check.Fail(kReferenceType, "Tp", "must be QRR, SCOR or NON, not \"" + type + "\"");
    }
}

} // namespace

std::vector<std::string> QrBillViolations(std::string_view payload) {
    std::vector<std::string> violations;
    Checker check(violations);

    // Lines end with CR LF or LF; the last one ends with nothing.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = payload.find('\n', start);
        std::string line(payload.substr(start, end == std::string_view::npos ? end : end - start));
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\r') != std::string::npos)
            check.Fail(lines.size(), "separator", "a CR without its LF");
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (payload.empty() || payload.back() == '\n')
        violations.push_back("the payload ends with a line separator or is empty");
    if (lines.size() < kLeastLines || lines.size() > kMostLines) {
        violations.push_back("the payload has " + std::to_string(lines.size()) +
                             " lines, not 31 to 34");
        if (lines.size() < kLeastLines) return violations;
    }

    std::u32string decoded;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!DecodeUtf8(lines[i], decoded)) {
            check.Fail(i, "characters", "no UTF-8");
        } else if (!std::all_of(decoded.begin(), decoded.end(), InLatinSet)) {
            check.Fail(i, "characters", "a character outside the Latin set");
        }
    }

    if (lines[kQrType] != "SPC") check.Fail(kQrType, "QRType", "must be SPC");
    if (lines[kVersion] != "0200") check.Fail(kVersion, "Version", "must be 0200");
    if (lines[kCoding] != "1") check.Fail(kCoding, "Coding", "must be 1");

    const std::string& iban = lines[kIban];
    if (iban.size() != 21 || (iban.rfind("CH", 0) != 0 && iban.rfind("LI", 0) != 0) ||
        !Alphanumeric(iban, false) || Mod97(iban.substr(4) + iban.substr(0, 4)) != 1) {
        check.Fail(kIban, "IBAN", "\"" + iban + "\" is no CH or LI IBAN with valid check digits");
    }

    CheckAddress(check, lines, kCreditor, "Cdtr");
    for (std::size_t i = kUltimateCreditor; i < kUltimateCreditor + 7; ++i) {
        if (!lines[i].empty()) check.Fail(i, "UltmtCdtr", "must stay empty");
    }
    CheckAmount(check, lines[kAmount]);
    if (lines[kCurrency] != "CHF" && lines[kCurrency] != "EUR")
        check.Fail(kCurrency, "Ccy", "must be CHF or EUR");
    const bool no_debtor =
        std::all_of(lines.begin() + kUltimateDebtor, lines.begin() + kUltimateDebtor + 7,
                    [](const std::string& line) { return line.empty(); });
    if (!no_debtor) CheckAddress(check, lines, kUltimateDebtor, "UltmtDbtr");
    CheckReference(check, lines);

    CheckLength(check, lines, kMessage, "Ustrd", 0, 140);
    if (lines[kTrailer] != "EPD") check.Fail(kTrailer, "Trailer", "must be EPD");
    if (lines.size() > kBillInformation) {
        CheckLength(check, lines, kBillInformation, "StrdBkgInf", 0, 140);
        if (Characters(lines[kMessage]) + Characters(lines[kBillInformation]) > 140)
            check.Fail(kBillInformation, "StrdBkgInf", "with Ustrd longer than 140 characters");
    }
    for (std::size_t i = kFirstAlternative; i < lines.size() && i < kMostLines; ++i)
        CheckLength(check, lines, i, "AltPmt", 0, 100);
    return violations;
}

} // namespace testing_support
