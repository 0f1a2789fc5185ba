// The IBAN check of the contact details: the mod-97 rule, for Swiss and Liechtenstein accounts.
#pragma once

#include <string>

namespace kerbolt::ticket {

// True when the text, without its blanks and NUL characters, begins with "CH", "FL" or "LI" (in
// upper case) and its mod-97 remainder, taken after moving the first four characters to the end,
// is 1. The length is not checked.
bool CheckIban(const std::string& iban);

} // namespace kerbolt::ticket
