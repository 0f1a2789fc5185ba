#include "app/core/texts/ticket_texts.h"

#include <array>

namespace kerbolt::texts {

namespace {

struct Heading {
    int label;
    std::array<std::string_view, 4> texts; // French, German, English, Italian
};

constexpr std::array<Heading, 3> kHeadings{{
    {2, {"Compte / Payable à", "Konto / Zahlbar an", "Account / Payable to", "Conto / Pagabile a"}},
    {7, {"Monnaie / Montant", "Währung / Betrag", "Currency / Amount", "Valuta / Importo"}},
    {10, {"Communication", "Mitteilung", "Communication", "Causale"}},
}};

} // namespace

std::string_view PreviewHeading(int language, int label) {
    for (const Heading& heading : kHeadings) {
        if (heading.label != label) continue;
        const bool known = language >= 1 && language <= 4;
        return heading.texts[known ? static_cast<std::size_t>(language - 1) : 0];
    }
    return {};
}

} // namespace kerbolt::texts
