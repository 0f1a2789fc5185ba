// The operator's payee details, printed on every ticket and carried by its QR-bill.
#pragma once

#include <string_view>

namespace kerbolt::ticket {

struct OperatorDetails {
    // A plain IBAN, never a QR-IBAN: the QR-bill carries no structured reference.
    std::string_view account;
    std::string_view company;
    std::string_view street;
    std::string_view house_number;
    std::string_view postcode;
    std::string_view town;
};

inline constexpr OperatorDetails kOperatorDetails{
    .account = "CH9300762011623852957",
    .company = "Velquin Sàrl",
    .street = "Rue du Marché",
    .house_number = "12",
    .postcode = "1003",
    .town = "Lausanne",
};

} // namespace kerbolt::ticket
