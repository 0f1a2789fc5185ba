#include "app/core/texts/places_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts::frmPlaces {

std::string Message(int language, int number) {
    static const Texts4 kMessages[] = {
        {"Propriétaire", "Eigentümer", "Owner", "Proprietario"},
        {"Locataire", "Mieter", "Tenant", "Affittuario"},
        {"Gérance", "Verwaltung", "Management", "Gestione"},
        {"Sélectionnez la place à modifier", "Wählen Sie den zu ändernden Platz",
         "Select the spot to modify", "Seleziona il posto da modificare"},
    };
    if (number < 0 || number > 3) return {};
    return PickLanguage(language, kMessages[number]);
}

std::string CaptionText(int language, Caption control) {
    static const Texts4 kCaptions[] = {
        {"Vos places de parking", "Ihre Parkplätze", "Your parking spots", "I tuoi posti auto"},
        {"No de place", "Platznummer", "Spot number", "Numero posto"},
        {"Adresse", "Adresse", "Address", "Indirizzo"},
        {"Ayant droit", "Berechtigter", "Entitled", "Aventi diritto"},
        {"No de place", "Platznummer", "Spot number", "Numero posto"},
        {"Adresse", "Adresse", "Address", "Indirizzo"},
        {"Vous êtes le", "Sie sind der", "You are the", "Sei il"},
        {"Mettre à jour", "Aktualisieren", "Update", "Aggiorna"},
        {"Annuler", "Abbrechen", "Cancel", "Annulla"},
        {"Ajouter", "Hinzufügen", "Add", "Aggiungi"},
        {"Modifier", "Ändern", "Modify", "Modifica"},
        {"Enregistrer / Fermer", "Speichern / Schließen", "Save / Close", "Salva / Chiudi"},
    };
    return PickLanguage(language, kCaptions[static_cast<int>(control)]);
}

} // namespace kerbolt::texts::frmPlaces
