// The two written forms of the ticket amount: the QR-bill's and the preview's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kerbolt::store {

struct TicketAmountTexts {
    std::string payload; // "1250.00": two decimals, no grouping
    std::string label;   // "1 250.00": a blank before the last three integer digits
};

// Reads the stored amount (digits and at most one ".", blanks around it allowed) and writes it
// rounded to two decimals, half away from zero. Nothing when the amount is not a number or,
// once rounded, lies outside 0.01 to 999 999 999.99.
std::optional<TicketAmountTexts> FormatTicketAmount(std::string_view amount);

} // namespace kerbolt::store
