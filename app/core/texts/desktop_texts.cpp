#include "app/core/texts/desktop_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts {

namespace {

// These messages carry a path the user needs, so a language not yet chosen still gets words.
std::string Pick(int language, const Texts4& texts) {
    constexpr int kEnglish = 3;
    return PickLanguage(language >= 1 && language <= 4 ? language : kEnglish, texts);
}

} // namespace

std::string DocumentNotOpenedMessage(int language, const std::string& path) {
    static const Texts4 kText = {"Le document n'a pas pu être ouvert. Vous le trouverez ici :",
                                 "Das Dokument konnte nicht geöffnet werden. Sie finden es hier:",
                                 "The document could not be opened. You will find it here:",
                                 "Non è stato possibile aprire il documento. Lo trovate qui:"};
    return Pick(language, kText) + "\n" + path;
}

std::string PageNotOpenedMessage(int language, const std::string& url) {
    static const Texts4 kText = {"La page n'a pas pu être ouverte. Son adresse :",
                                 "Die Seite konnte nicht geöffnet werden. Ihre Adresse:",
                                 "The page could not be opened. Its address:",
                                 "Non è stato possibile aprire la pagina. Il suo indirizzo:"};
    return Pick(language, kText) + "\n" + url;
}

std::string SettingNotSavedMessage(int language, const std::string& settings_path) {
    static const Texts4 kText = {
        "Le réglage n'a pas pu être enregistré sur cet ordinateur ; il ne vaut que jusqu'à la "
        "fermeture du programme. Fichier des réglages :",
        "Die Einstellung konnte nicht auf diesem Computer gespeichert werden; sie gilt nur bis "
        "zum Beenden des Programms. Einstellungsdatei:",
        "The setting could not be saved on this computer; it holds only until the program ends. "
        "Settings file:",
        "Non è stato possibile salvare l'impostazione su questo computer; vale solo fino alla "
        "chiusura del programma. File delle impostazioni:"};
    return Pick(language, kText) + "\n" + settings_path;
}

} // namespace kerbolt::texts
