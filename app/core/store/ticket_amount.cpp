#include "app/core/store/ticket_amount.h"

#include "app/core/store/stored_text.h"

#include <algorithm>

namespace kerbolt::store {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Adds one to a run of decimal digits, growing it on a carry out of the first digit.
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::optional<TicketAmountTexts> FormatTicketAmount(std::string_view amount) {
    const std::string trimmed = TrimBlanks(amount);
    amount = trimmed;
    const std::size_t point = amount.find('.');
    std::string_view integer = amount.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : amount.substr(point + 1);
    const bool all_digits = std::all_of(integer.begin(), integer.end(), IsDigit) &&
                            std::all_of(fraction.begin(), fraction.end(), IsDigit);
    if (!all_digits || integer.size() + fraction.size() == 0) return std::nullopt;

    // Rounded on the decimal digits themselves: "1.005" is 1.01, which binary doubles miss.
    std::string cents(integer.empty() ? std::string_view("0") : integer);
    cents.append(fraction.substr(0, 2));
    cents.append(2 - std::min<std::size_t>(fraction.size(), 2), '0');
    if (fraction.size() > 2 && fraction[2] >= '5') Increment(cents);
    const std::size_t first = std::min(cents.find_first_not_of('0'), cents.size() - 3);
    cents.erase(0, first);
    // A QR-bill carries 0.01 to 999 999 999.99; anything else is refused by every reader, so
    // such an amount counts as none for the label, the payload and the record alike.
    if (cents == "000" || cents.size() > 11) return std::nullopt;

    const std::string whole = cents.substr(0, cents.size() - 2);
    const std::string decimals = "." + cents.substr(cents.size() - 2);
    TicketAmountTexts texts;
    texts.payload = whole + decimals;
    // The pattern's blank stands even when no digit precedes it (" 50.00"), and only one
    // blank is ever shown ("1234 567.00").
    const std::size_t head = whole.size() > 3 ? whole.size() - 3 : 0;
    texts.label = whole.substr(0, head) + " " + whole.substr(head) + decimals;
    return texts;
}

} // namespace kerbolt::store
