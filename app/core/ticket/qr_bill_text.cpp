#include "app/core/ticket/qr_bill_text.h"

#include "app/core/store/stored_text.h"

namespace kerbolt::ticket {

bool IsQrBillLatinCharacter(char32_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0x17F) || (c >= 0x218 && c <= 0x21B) ||
           c == 0x20AC;
}

bool IsTicketTextCharacter(char32_t c) {
    return IsQrBillLatinCharacter(c) && store::IsWindows1252Character(c);
}

std::string KeepTicketTextCharacters(std::string_view utf8, bool line_breaks) {
    std::string kept;
    kept.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto [c, length] = store::NextUtf8Character(utf8, pos);
        if (IsTicketTextCharacter(c) || (line_breaks && c == U'\n'))
            kept.append(utf8.substr(pos, length));
        pos += length;
    }
    return kept;
}

} // namespace kerbolt::ticket
