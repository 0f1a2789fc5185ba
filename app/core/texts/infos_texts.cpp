#include "app/core/texts/infos_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts::frmInfos {

std::string Message(int language, int number) {
    static const Texts4 kMessages[] = {
        {"L'IBAN n'est pas valable, voulez-vous continuer sans IBAN ?",
         "Die IBAN ist ungültig. Möchten Sie ohne IBAN fortfahren?",
         "The IBAN is not valid, do you want to continue without IBAN?",
         "L'IBAN non è valido, vuoi continuare senza IBAN?"},
        {"Kerbolt ne sera pas en mesure de vous verser vos indemnités",
         "Kerbolt wird Ihnen Ihre Entschädigungen nicht auszahlen können",
         "Kerbolt will not be able to pay your compensations",
         "Kerbolt non sarà in grado di pagarti le indennità"},
        {"Indiquez au moins votre Nom, Code postal et ville",
         "Bitte geben Sie mindestens Ihren Namen, Postleitzahl und Ort an",
         "Please provide at least your Name, Postal Code, and City",
         "Inserisci almeno il tuo nome, CAP e città"},
        {"Les données n'ont pas pu être mises à jour sur notre serveur",
         "Die Daten konnten nicht auf unserem Server aktualisiert werden",
         "The data could not be updated on our server",
         "I dati non possono essere aggiornati sul nostro server"},
    };
    if (number < 1 || number > 4) return {};
    return PickLanguage(language, kMessages[number - 1]);
}

std::string CaptionText(int language, Caption control) {
    static const Texts4 kCaptions[] = {
        {"Vos coordonnées", "Ihre Kontaktdaten", "Your contact details", "I tuoi dati di contatto"},
        {"Nom", "Name", "Name", "Nome"},
        {"Rue", "Straße", "Street", "Via"},
        {"Localité", "Ort", "City", "Località"},
        {"IBAN", "IBAN", "IBAN", "IBAN"},
        {"Enregistrer", "Speichern", "Save", "Salva"},
    };
    return PickLanguage(language, kCaptions[static_cast<int>(control)]);
}

} // namespace kerbolt::texts::frmInfos
