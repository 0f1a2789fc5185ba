#include "app/core/ticket/ticket_payload.h"

#include <array>

namespace kerbolt::ticket {

namespace {

// Length of the UTF-8 sequence at `pos`; a byte that starts no complete sequence counts as one
// character of its own.
std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xC0 && lead < 0xE0) length = 2;
    if (lead >= 0xE0 && lead < 0xF0) length = 3;
    if (lead >= 0xF0 && lead < 0xF8) length = 4;
    if (pos + length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

bool IsControl(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character.front());
    if (lead < 0x20 || lead == 0x7F) return true;
    // U+0080 to U+009F, the second block of control characters.
    return lead == 0xC2 && character.size() == 2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

} // namespace

std::string QrBillMessage(std::string_view message) {
    std::string result;
    std::size_t characters = 0;
    std::size_t pos = 0;
    while (pos < message.size() && characters < kQrBillMessageLimit) {
        const std::size_t length = SequenceLength(message, pos);
        const std::string_view character = message.substr(pos, length);
        if (IsControl(character)) {
            result += ' ';
        } else {
            result += character;
        }
        pos += length;
        ++characters;
    }
    return result;
}

std::string BuildQrBillPayload(const OperatorDetails& payee, std::string_view amount,
                               std::string_view message) {
    const std::string text = QrBillMessage(message);
    const std::array<std::string_view, 31> lines{
        "SPC", "0200", "1", payee.account,
        // creditor, structured address
        "S", payee.company, payee.street, payee.house_number, payee.postcode, payee.town, "CH",
        // ultimate creditor: not used
        "", "", "", "", "", "", "", amount, "CHF",
        // ultimate debtor
        "S", "Kerbolt", "", "", payee.postcode, payee.town, "CH",
        // no structured reference
        "NON", "", text, "EPD"};
    std::string payload;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) payload += "\r\n";
        payload += lines[i];
    }
    return payload;
}

} // namespace kerbolt::ticket
