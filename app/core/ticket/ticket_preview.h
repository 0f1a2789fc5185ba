// What a ticket shows: the fourteen preview labels and the QR-bill payload, computed from the
// ticket settings, the chosen spot, the typed plates and the next record number.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/ticket/ticket_operator.h"

namespace kerbolt::ticket {

inline constexpr int kTicketLabelCount = 14;

// Preview label indices.
enum TicketLabel : int {
    kLabelTitle = 0,
    kLabelText = 1,
    kLabelPayeeHeading = 2,
    kLabelAccount = 3,
    kLabelCompany = 4,
    kLabelStreet = 5,
    kLabelTown = 6,
    kLabelAmountHeading = 7,
    kLabelCurrency = 8,
    kLabelAmount = 9,
    kLabelMessageHeading = 10,
    kLabelReference = 11,
    kLabelFooter = 12,
    kLabelPlates = 13,
};

// The amount label's text before any amount has been shown.
inline constexpr const char* kInitialAmountLabel = "60.00";

struct TicketInputs {
    int language = 0; // 1 French, 2 German, 3 English, 4 Italian
    std::string title;
    std::string text;
    std::string amount; // as stored: "50"
    std::string footer;
    // The chosen spot's address; nothing when no spot is chosen. A spot without an address
    // is an empty text, which still replaces the placeholder.
    std::optional<std::string> spot_address;
    std::string plates; // as typed, untrimmed
    std::string account_key;
    long long record_number = 0; // the number the next printed ticket's record gets
    // The amount label keeps what it showed when the amount is not a number.
    std::string previous_amount_label = kInitialAmountLabel;
    OperatorDetails payee = kOperatorDetails;
};

struct TicketPreview {
    std::array<std::string, kTicketLabelCount> labels;
    std::string reference; // key, "-" and the record number
    std::string payload;   // the QR-bill text, UTF-8
};

// The account number in groups of four characters separated by blanks.
std::string GroupAccount(std::string_view account);

// The title, the footer and the three headings are printed bold.
bool IsBoldLabel(int label);

// The ticket reference: the account key, "-" and the record number.
std::string TicketReference(std::string_view account_key, long long record_number);

TicketPreview BuildTicketPreview(const TicketInputs& inputs);

} // namespace kerbolt::ticket
