#include "app/core/texts/indemnites_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts::frmIndemnites {

std::string Message(int language, int number) {
    static const Texts4 kMessages[] = {
        {"Liste de vos Indemnités", "Liste Ihrer Entschädigungen", "List of your compensations",
         "Elenco delle tue indennità"},
        {"Textes et Montant", "Texte und Betrag", "Texts and amount", "Testi e importo"},
        {"Les données n'ont pas pu être mises à jour sur notre serveur",
         "Die Daten konnten nicht auf unserem Server aktualisiert werden",
         "The data could not be updated on our server",
         "I dati non possono essere aggiornati sul nostro server"},
        {"Le montant doit être un nombre entre 0.01 et 999999999.99, avec un point décimal",
         "Der Betrag muss eine Zahl zwischen 0.01 und 999999999.99 sein, mit Dezimalpunkt",
         "The amount must be a number between 0.01 and 999999999.99, with a decimal point",
         "L'importo deve essere un numero tra 0.01 e 999999999.99, con il punto decimale"},
    };
    if (number < 1 || number > 4) return {};
    return PickLanguage(language, kMessages[number - 1]);
}

std::string CaptionText(int language, Caption control) {
    static const Texts4 kCaptions[] = {
        {"Montant de l'indemnité de dérangement", "Betrag der Unannehmlichkeitspauschale",
         "Disruption compensation amount", "Importo dell'indennità di disagio"},
        {"Titre :", "Titel:", "Title:", "Titolo:"},
        {"Texte :", "Text:", "Text:", "Testo:"},
        {"Enregistrer", "Speichern", "Save", "Salva"},
        {"Id", "ID", "ID", "ID"},
        {"Place", "Ort", "Location", "Luogo"},
        {"Date", "Datum", "Date", "Data"},
        {"Plaques", "Kennzeichen", "License plate", "Targa"},
        {"Montant brut", "Bruttobetrag", "Gross amount", "Importo lordo"},
        {"Payé le", "Bezahlt am", "Paid on", "Pagato il"},
        {"Tout", "Alle", "All", "Tutti"},
        {"En attente", "Ausstehend", "Pending", "In sospeso"},
        {"Payé", "Bezahlt", "Paid", "Pagato"},
    };
    return PickLanguage(language, kCaptions[static_cast<int>(control)]);
}

} // namespace kerbolt::texts::frmIndemnites
