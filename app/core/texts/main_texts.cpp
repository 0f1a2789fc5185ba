#include "app/core/texts/main_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts::frmMain {

std::string Message(int language, int number) {
    static const Texts4 kMessages[] = {
        {"Indiquez le no de plaques", "Geben Sie das Nummernschild an",
         "Enter the license plate number", "Inserisci il numero di targa"},
        {"Aucune place spécifiée", "Kein Platz angegeben", "No spot specified",
         "Nessun posto specificato"},
        {"Aucune données, voulez-vous compléter vos informations maintenant ?",
         "Keine Daten vorhanden, möchten Sie jetzt Ihre Informationen vervollständigen?",
         "No data available, would you like to complete your information now?",
         "Nessun dato disponibile, vuoi completare le tue informazioni adesso?"},
        {"Les données n'ont pas pu être mises à jour sur notre serveur",
         "Die Daten konnten nicht auf unserem Server aktualisiert werden",
         "The data could not be updated on our server",
         "I dati non possono essere aggiornati sul nostro server"},
        {"Generér le mandat", "Mandat erstellen", "Generate the mandate", "Genera il mandato"},
        {"Voir le mandat", "Mandat ansehen", "View the mandate", "Visualizza il mandato"},
        {"Une nouvelle version est disponible, voulez-vous l'installer maintenant ?",
         "Eine neue Version ist verfügbar. Möchten Sie sie jetzt installieren ?",
         "A new version is available, do you want to install it now ?",
         "È disponibile una nuova versione, vuoi installarla ora ?"},
        {"Pas de mandat actif", "Kein aktives Mandat", "No active mandate",
         "Nessun mandato attivo"},
        {"Mandat actif", "Aktives Mandat", "Active mandate", "Mandato attivo"},
    };
    if (number < 1 || number > static_cast<int>(std::size(kMessages))) return {};
    return PickLanguage(language, kMessages[number - 1]);
}

std::string RecordNotSavedMessage(int language) {
    static const Texts4 kText = {
        "Le ticket n'a pas pu être enregistré dans vos données ; rien n'a été imprimé.",
        "Der Beleg konnte nicht in Ihren Daten gespeichert werden; es wurde nichts gedruckt.",
        "The ticket could not be saved in your data; nothing was printed.",
        "Non è stato possibile salvare il ticket nei suoi dati; non è stato stampato nulla."};
    return PickLanguage(language, kText);
}

std::string DataNotSavedMessage(int language) {
    static const Texts4 kText = {"Les données n'ont pas pu être enregistrées sur cet ordinateur.",
                                 "Die Daten konnten nicht auf diesem Computer gespeichert werden.",
                                 "The data could not be saved on this computer.",
                                 "Non è stato possibile salvare i dati su questo computer."};
    return PickLanguage(language, kText);
}

std::string CaptionText(int language, Caption control) {
    static const Texts4 kCaptions[] = {
        {"Créer une indemnité :", "Entschädigung erstellen:", "Create a compensation:",
         "Crea un'indennità:"},
        {"No de place :", "Platznummer:", "Spot number:", "Numero posto:"},
        {"No de plaque :", "Nummernschild:", "License plate number:", "Numero targa:"},
        {"Réglages", "Einstellungen", "Settings", "Impostazioni"},
        {"Mes coordonnées", "Meine Kontaktdaten", "My contact details", "I miei dati di contatto"},
        {"Mes places", "Meine Plätze", "My spots", "I miei posti"},
        {"Textes et montant", "Texte und Betrag", "Texts and amount", "Testi e importo"},
        {"Indemnités", "Entschädigungen", "Compensations", "Indennità"},
        {"Imprimante ticket :", "Belegdrucker:", "Ticket printer:", "Stampante ricevuta:"},
        {"Imprimer et enregistrer", "Drucken und speichern", "Print and save", "Stampa e salva"},
        {"Compte / Payable à", "Konto / Zahlbar an", "Account / Payable to", "Conto / Pagabile a"},
        {"Monnaie / Montant", "Währung / Betrag", "Currency / Amount", "Valuta / Importo"},
        {"Communication", "Mitteilung", "Communication", "Causale"},
    };
    const auto index = static_cast<std::size_t>(control);
    if (index >= std::size(kCaptions)) return {};
    return PickLanguage(language, kCaptions[index]);
}

} // namespace kerbolt::texts::frmMain
