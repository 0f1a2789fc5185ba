#include "app/core/texts/connect_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts::frmConnect {

std::string LoginMessage(int language, int number) {
    static const Texts4 kFetch = {
        "Pas de données locale, voulez-vous rechercher les données du serveur ?",
        "Keine lokalen Daten, möchten Sie die Serverdaten abrufen?",
        "No local data, do you want to fetch data from the server?",
        "Nessun dato locale, vuoi recuperare i dati dal server?"};
    static const Texts4 kMessages[] = {
        kFetch,
        kFetch,
        {"Email ou mot de passe incorrect", "E-Mail oder Passwort ist falsch",
         "Email or password is incorrect", "Email o password non corretti"},
        {"Le mot de passe doit contenir au moins 6 caractères",
         "Das Passwort muss mindestens 6 Zeichen enthalten",
         "Password must be at least 6 characters long",
         "La password deve contenere almeno 6 caratteri"},
        {"Trop d'essais, le programme va s'arrêter", "Zu viele Versuche, das Programm wird beendet",
         "Too many attempts, the program will stop", "Troppi tentativi, il programma verrà chiuso"},
        {"Adresse Email non valide", "Ungültige E-Mail-Adresse", "Invalid email address",
         "Indirizzo email non valido"},
        {"Le serveur est injoignable ; veuillez réessayer plus tard.",
         "Der Server ist nicht erreichbar; bitte versuchen Sie es später erneut.",
         "The server cannot be reached; please try again later.",
         "Il server non è raggiungibile; riprovare più tardi."},
        {"Le mot de passe contient des caractères qui ne peuvent pas être enregistrés ; "
         "utilisez des lettres latines, des chiffres et des signes courants.",
         "Das Passwort enthält Zeichen, die nicht gespeichert werden können; verwenden Sie "
         "lateinische Buchstaben, Ziffern und übliche Zeichen.",
         "The password holds characters that cannot be stored; use Latin letters, digits and "
         "common signs.",
         "La password contiene caratteri che non possono essere salvati; usare lettere latine, "
         "cifre e segni comuni."},
    };
    if (number < 1 || number > static_cast<int>(std::size(kMessages))) return {};
    return PickLanguage(language, kMessages[number - 1]);
}

std::string CaptionText(int language, Caption control) {
    switch (control) {
    case Caption::lblNewUser:
        return PickLanguage(
            language,
            {"Vous n'avez pas de données présentent sur cet ordinateur. Vous pouvez créer un "
             "nouveau compte en complétant les informations ci-dessous.",
             "Sie haben keine Daten auf diesem Computer. Sie können ein neues Konto erstellen, "
             "indem Sie die folgenden Informationen ausfüllen.",
             "You don't have any data on this computer. You can create a new account by filling "
             "in the information below.",
             "Non ci sono dati su questo computer. Puoi creare un nuovo account compilando le "
             "informazioni qui sotto."});
    case Caption::lblMail:
        return PickLanguage(
            language, {"Adresse Email :", "E-Mail-Adresse:", "Email address:", "Indirizzo email:"});
    case Caption::lblPwd:
        return PickLanguage(language, {"Mot de passe :", "Passwort:", "Password:", "Password:"});
    case Caption::chkPwd:
        return PickLanguage(language, {"Afficher le mot de passe", "Passwort anzeigen",
                                       "Show password", "Mostra password"});
    case Caption::cmdOpen:
        return PickLanguage(language, {"Ouvrir", "Öffnen", "Open", "Apri"});
    case Caption::chkNoPwd:
        return PickLanguage(language, {"Ne plus demander mon mot de passe sur cet ordinateur.",
                                       "Auf diesem Computer mein Passwort nicht mehr abfragen.",
                                       "Do not ask for my password on this computer.",
                                       "Non chiedere più la mia password su questo computer."});
    }
    return {};
}

} // namespace kerbolt::texts::frmConnect
