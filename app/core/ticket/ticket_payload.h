// The Swiss QR-bill text that the ticket's QR code carries.
#pragma once

#include <string>
#include <string_view>

#include "app/core/ticket/ticket_operator.h"

namespace kerbolt::ticket {

// Longest unstructured message a QR-bill may carry, in characters.
inline constexpr std::size_t kQrBillMessageLimit = 140;

// The unstructured message as banks accept it: control characters (line breaks above all)
// become blanks and the text is cut to kQrBillMessageLimit characters. UTF-8 in and out.
std::string QrBillMessage(std::string_view message);

// The 31 lines of the QR-bill, joined by CR LF with none after the last. `amount` is the
// amount line ("50.00", or "" for an open amount); `message` goes through QrBillMessage.
std::string BuildQrBillPayload(const OperatorDetails& payee, std::string_view amount,
                               std::string_view message);

} // namespace kerbolt::ticket
