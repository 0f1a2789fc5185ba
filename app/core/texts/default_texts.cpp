#include "app/core/texts/default_texts.h"

#include "app/core/texts/texts.h"

#include <array>
#include <string_view>

namespace kerbolt::texts {

namespace {

constexpr std::array<std::string_view, 4> kTitles = {
    "Indemnité pour l'occupation d'une place de parc privée",
    "Entschädigung für die Nutzung eines privaten Parkplatzes",
    "Compensation for the use of a private parking spot",
    "Indennità per l'utilizzo di un parcheggio privato",
};

// The blanks are part of the texts: the French lines 1 and 8 carry double blanks and line 3
// ends in one.
constexpr std::string_view kFrenchText[] = {
    "Une  indemnité  de  dérangement  est  due  lorsqu'un",
    "véhicule utilise sans droit une place de parking privée",
    "ou réservée à un usage spécifique. ",
    "Kerbolt est mandaté par l'ayant droit de la place",
    "{adresse}",
    "",
    "Nous vous accordons un délai de paiement de 10 jours",
    "pour vous  acquitter de cette  facture avec le  code QR",
    "ci-dessous.",
    "En cas de non paiement, des frais de recherche et de",
    "rappels seront facturés en sus.",
};

constexpr std::string_view kGermanText[] = {
    "Eine Umtriebsentschädigung ist geschuldet, wenn ein",
    "Fahrzeug unberechtigt einen privaten Parkplatz nutzt",
    "oder einen Platz, der für eine bestimmte Nutzung reserviert ist.",
    "Kerbolt ist vom Berechtigten des Parkplatzes beauftragt",
    "{adresse}",
    "",
    "Wir gewähren Ihnen eine Zahlungsfrist von 10 Tagen,",
    "um diese Rechnung mit dem untenstehenden QR-Code",
    "zu begleichen.",
    "Bei Nichtbezahlung werden zusätzliche Gebühren für",
    "Ermittlungen und Mahnungen berechnet.",
};

constexpr std::string_view kEnglishText[] = {
    "A disturbance fee is due when a vehicle uses a",
    "private parking spot without authorization or a spot",
    "reserved for a specific purpose.",
    "Kerbolt is mandated by the rightful owner of the spot",
    "{adresse}",
    "",
    "We grant you a payment period of 10 days",
    "to settle this invoice using the QR code below.",
    "If payment is not made, additional fees for",
    "investigations and reminders will be charged.",
};

constexpr std::string_view kItalianText[] = {
    "Un'indennità di disturbo è dovuta quando un veicolo",
    "utilizza senza autorizzazione un parcheggio privato",
    "o riservato a un uso specifico.",
    "Kerbolt è incaricata dal titolare del diritto del posto",
    "{adresse}",
    "",
    "Vi concediamo un termine di pagamento di 10 giorni",
    "per saldare questa fattura utilizzando il codice QR sottostante.",
    "In caso di mancato pagamento, verranno addebitati costi",
    "aggiuntivi per ricerche e solleciti.",
};

constexpr std::array<std::string_view, 4> kFooterPhrases = {
    " est un service de ",
    " ist ein Service von ",
    " is a service of ",
    " è un servizio di ",
};

bool Known(std::int16_t language) {
    return language >= kFrench && language <= kItalian;
}
std::size_t Index(std::int16_t language) {
    return static_cast<std::size_t>(language - 1);
}

template <std::size_t N> std::string JoinLines(const std::string_view (&lines)[N]) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

} // namespace

std::string DefaultTitle(std::int16_t language) {
    return Known(language) ? std::string(kTitles[Index(language)]) : std::string();
}

std::string DefaultText(std::int16_t language) {
    switch (language) {
    case kFrench:
        return JoinLines(kFrenchText);
    case kGerman:
        return JoinLines(kGermanText);
    case kEnglish:
        return JoinLines(kEnglishText);
    case kItalian:
        return JoinLines(kItalianText);
    default:
        return {};
    }
}

std::string Footer(std::int16_t language, const ServerConfig& config) {
    if (!Known(language)) return {};
    return config.product_domain + std::string(kFooterPhrases[Index(language)]) +
           config.maker_company + " " + config.maker_legal_forms[Index(language)];
}

} // namespace kerbolt::texts
