// The characters a ticket's texts may hold. What the user types for the plates, the title, the
// message and the addresses ends up in three places: on paper, in the data or settings file
// (Windows-1252) and, for the plates, in the QR-bill. Banks accept only the Latin character set
// of the Swiss payment standards in a QR-bill, and the files store only Windows-1252; a character
// outside either would make the three differ (a "?" in the record, a QR-bill that banks refuse),
// so the fields accept only the characters both sets hold.
#pragma once

#include <string>
#include <string_view>

namespace kerbolt::ticket {

// The QR-bill's Latin character set: Basic Latin U+0020 to U+007E, Latin-1 Supplement U+00A0 to
// U+00FF, Latin Extended-A U+0100 to U+017F, U+0218 to U+021B and U+20AC.
bool IsQrBillLatinCharacter(char32_t c);

// A character the ticket's texts may hold: in the QR-bill's set and in Windows-1252.
bool IsTicketTextCharacter(char32_t c);

// The UTF-8 text with only the characters a ticket's text may hold; with `line_breaks` a line
// feed stays too (the ticket's message has several lines). Bytes that are not UTF-8 go.
std::string KeepTicketTextCharacters(std::string_view utf8, bool line_breaks = false);

} // namespace kerbolt::ticket
