// The rules every Swiss QR-bill payload must follow, checked from the outside: the tests hold the
// payloads the client prints to them without reusing the client's own code that builds them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// What in `payload` breaks the QR-bill rules, one sentence each ("line 19 (Amt): ..."); empty
// when a bank would accept it. Checked: the header, the account (CH or LI IBAN with its check
// digits), the creditor and ultimate debtor addresses (type S or K with their fields and
// lengths), the empty ultimate creditor, the amount and currency, the reference type and its
// reference, the texts' lengths, the trailer, the number of lines, the line separators and the
// character set.
std::vector<std::string> QrBillViolations(std::string_view payload);

} // namespace testing_support
