#include "app/core/store/app_state.h"

#include "app/core/store/records.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace kerbolt::store {
namespace {

using testing_support::TempDir;

ServerConfig TestConfig() {
    ServerConfig config;
    config.product_domain = "kerbolt.example";
    config.maker_company = "Velquin";
    config.maker_legal_forms = {"Sàrl", "GmbH", "LLC", "Sagl"};
    return config;
}

struct LanguageDefaults {
    std::int16_t language;
    const char* title;
    const char* text;
    const char* footer;
};

// Written out whole, blanks included: the French lines 1 and 8 carry double blanks and line 3
// ends in a blank; no line break after the last line.
const LanguageDefaults kDefaults[] = {
    {texts::kFrench, "Indemnité pour l'occupation d'une place de parc privée",
     "Une  indemnité  de  dérangement  est  due  lorsqu'un\r\n"
     "véhicule utilise sans droit une place de parking privée\r\n"
     "ou réservée à un usage spécifique. \r\n"
     "Kerbolt est mandaté par l'ayant droit de la place\r\n"
     "{adresse}\r\n"
     "\r\n"
     "Nous vous accordons un délai de paiement de 10 jours\r\n"
     "pour vous  acquitter de cette  facture avec le  code QR\r\n"
     "ci-dessous.\r\n"
     "En cas de non paiement, des frais de recherche et de\r\n"
     "rappels seront facturés en sus.",
     "kerbolt.example est un service de Velquin Sàrl"},
    {texts::kGerman, "Entschädigung für die Nutzung eines privaten Parkplatzes",
     "Eine Umtriebsentschädigung ist geschuldet, wenn ein\r\n"
     "Fahrzeug unberechtigt einen privaten Parkplatz nutzt\r\n"
     "oder einen Platz, der für eine bestimmte Nutzung reserviert ist.\r\n"
     "Kerbolt ist vom Berechtigten des Parkplatzes beauftragt\r\n"
     "{adresse}\r\n"
     "\r\n"
     "Wir gewähren Ihnen eine Zahlungsfrist von 10 Tagen,\r\n"
     "um diese Rechnung mit dem untenstehenden QR-Code\r\n"
     "zu begleichen.\r\n"
     "Bei Nichtbezahlung werden zusätzliche Gebühren für\r\n"
     "Ermittlungen und Mahnungen berechnet.",
     "kerbolt.example ist ein Service von Velquin GmbH"},
    {texts::kEnglish, "Compensation for the use of a private parking spot",
     "A disturbance fee is due when a vehicle uses a\r\n"
     "private parking spot without authorization or a spot\r\n"
     "reserved for a specific purpose.\r\n"
     "Kerbolt is mandated by the rightful owner of the spot\r\n"
     "{adresse}\r\n"
     "\r\n"
     "We grant you a payment period of 10 days\r\n"
     "to settle this invoice using the QR code below.\r\n"
     "If payment is not made, additional fees for\r\n"
     "investigations and reminders will be charged.",
     "kerbolt.example is a service of Velquin LLC"},
    {texts::kItalian, "Indennità per l'utilizzo di un parcheggio privato",
     "Un'indennità di disturbo è dovuta quando un veicolo\r\n"
     "utilizza senza autorizzazione un parcheggio privato\r\n"
     "o riservato a un uso specifico.\r\n"
     "Kerbolt è incaricata dal titolare del diritto del posto\r\n"
     "{adresse}\r\n"
     "\r\n"
     "Vi concediamo un termine di pagamento di 10 giorni\r\n"
     "per saldare questa fattura utilizzando il codice QR sottostante.\r\n"
     "In caso di mancato pagamento, verranno addebitati costi\r\n"
     "aggiuntivi per ricerche e solleciti.",
     "kerbolt.example è un servizio di Velquin Sagl"},
};

struct TextsFixture : ::testing::Test {
    TempDir dir;
    State state;
    ServerConfig config = TestConfig();
    void SetUp() override { state.IniPath = dir.File("Param.ini"); }
    void Load(std::int16_t language) {
        state.Language = language;
        LoadDefaultTexts(state, config);
    }
};

TEST_F(TextsFixture, DefaultsOfTheFourLanguagesByteForByte) {
    for (const LanguageDefaults& d : kDefaults) {
        Load(d.language);
        EXPECT_EQ(state.TicketTitle, d.title);
        EXPECT_EQ(state.TicketText, d.text);
        EXPECT_EQ(state.TicketFooter, d.footer);
        EXPECT_EQ(state.TicketAmount, "50");
    }
}

TEST_F(TextsFixture, SavedTextsStayAcrossALanguageChangeWhileTheFooterFollows) {
    Load(texts::kFrench);
    EXPECT_EQ(state.TicketTitle, kDefaults[0].title);
    Load(texts::kEnglish);
    EXPECT_EQ(state.TicketTitle, kDefaults[2].title);
    EXPECT_EQ(state.TicketText, kDefaults[2].text);

    ASSERT_TRUE(SaveTicketSettings(state.IniPath, "", "Mon titre", ""));
    Load(texts::kEnglish);
    EXPECT_EQ(state.TicketTitle, "Mon titre");
    EXPECT_EQ(state.TicketText, kDefaults[2].text);
    EXPECT_EQ(state.TicketFooter, kDefaults[2].footer);
    Load(texts::kItalian);
    EXPECT_EQ(state.TicketTitle, "Mon titre");
    EXPECT_EQ(state.TicketFooter, kDefaults[3].footer);
}

TEST_F(TextsFixture, OutsideTheFourLanguagesOnlyTheSavedValuesAreTaken) {
    Load(texts::kGerman);
    ASSERT_TRUE(SaveTicketSettings(state.IniPath, "", "", "Texte\r\nsauvé"));
    for (std::int16_t language : {std::int16_t{0}, std::int16_t{5}, std::int16_t{-1}}) {
        Load(language);
        EXPECT_EQ(state.TicketTitle, "");
        EXPECT_EQ(state.TicketText, "Texte\r\nsauvé");
        EXPECT_EQ(state.TicketFooter, kDefaults[1].footer); // kept from the last language
    }
}

TEST_F(TextsFixture, OnlyAnEmptyAmountTakesTheDefault) {
    struct Case {
        const char* saved;
        const char* amount;
    };
    const Case cases[] = {{"0", "0"}, {"", "50"}, {"12.50", "12.50"}, {"abc", "abc"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(SaveTicketSettings(state.IniPath, c.saved, "", ""));
        Load(texts::kFrench);
        EXPECT_EQ(state.TicketAmount, c.amount) << c.saved;
    }
}

} // namespace
} // namespace kerbolt::store
