#include "app/core/ticket/ticket_preview.h"

#include "app/core/store/ticket_amount.h"
#include "app/core/texts/ticket_texts.h"
#include "app/core/ticket/ticket_payload.h"

namespace kerbolt::ticket {

namespace {

constexpr std::string_view kAddressPlaceholder = "{adresse}";

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

std::string Join(std::string_view first, std::string_view second) {
    std::string joined(first);
    joined += ' ';
    joined += second;
    return joined;
}

} // namespace

std::string GroupAccount(std::string_view account) {
    std::string grouped;
    for (std::size_t i = 0; i < account.size(); ++i) {
        if (i > 0 && i % 4 == 0) grouped += ' ';
        grouped += account[i];
    }
    return grouped;
}

bool IsBoldLabel(int label) {
    return label == kLabelTitle || label == kLabelFooter || label == kLabelPayeeHeading ||
           label == kLabelAmountHeading || label == kLabelMessageHeading;
}

std::string TicketReference(std::string_view account_key, long long record_number) {
    return std::string(account_key) + "-" + std::to_string(record_number);
}

TicketPreview BuildTicketPreview(const TicketInputs& inputs) {
    TicketPreview preview;
    auto& labels = preview.labels;
    preview.reference = TicketReference(inputs.account_key, inputs.record_number);

    labels[kLabelTitle] = inputs.title;
    labels[kLabelFooter] = inputs.footer;
    labels[kLabelReference] = preview.reference;
    labels[kLabelPlates] = inputs.plates;
    labels[kLabelText] = inputs.spot_address
                             ? ReplaceAll(inputs.text, kAddressPlaceholder, *inputs.spot_address)
                             : inputs.text;
    for (int heading : {kLabelPayeeHeading, kLabelAmountHeading, kLabelMessageHeading}) {
        labels[static_cast<std::size_t>(heading)] = texts::PreviewHeading(inputs.language, heading);
    }
    const OperatorDetails& payee = inputs.payee;
    labels[kLabelAccount] = GroupAccount(payee.account);
    labels[kLabelCompany] = payee.company;
    labels[kLabelStreet] = Join(payee.street, payee.house_number);
    labels[kLabelTown] = Join(payee.postcode, payee.town);
    labels[kLabelCurrency] = "CHF";

    const std::optional<store::TicketAmountTexts> amount = store::FormatTicketAmount(inputs.amount);
    labels[kLabelAmount] = amount ? amount->label : inputs.previous_amount_label;

    const std::string message = preview.reference + " / " + inputs.plates;
    preview.payload = BuildQrBillPayload(payee, amount ? amount->payload : "", message);
    return preview;
}

} // namespace kerbolt::ticket
