#include "app/core/texts/transfer_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts {

namespace {

// At start-up the language may not be chosen yet: French, the program's first language, then.
std::string Pick(int language, const Texts4& texts) {
    const std::string text = PickLanguage(language, texts);
    return text.empty() ? texts[0] : text;
}

} // namespace

std::string StepText(int language, Step step) {
    static const Texts4 kSteps[] = {
        {"Synchronisation des données avec le serveur…", "Abgleich der Daten mit dem Server…",
         "Synchronising the data with the server…", "Sincronizzazione dei dati con il server…"},
        {"Envoi des données au serveur…", "Senden der Daten an den Server…",
         "Sending the data to the server…", "Invio dei dati al server…"},
    };
    return Pick(language, kSteps[step == Step::Synchronise ? 0 : 1]);
}

std::string SkipServerCaption(int language) {
    static const Texts4 kText = {"Continuer sans le serveur", "Ohne Server fortfahren",
                                 "Continue without the server", "Continua senza il server"};
    return Pick(language, kText);
}

std::string ServerSkippedMessage(int language) {
    static const Texts4 kText = {
        "Le serveur ne répond pas. Le programme continue avec les données de cet ordinateur ; "
        "elles seront synchronisées au prochain enregistrement.",
        "Der Server antwortet nicht. Das Programm arbeitet mit den Daten dieses Computers "
        "weiter; sie werden beim nächsten Speichern abgeglichen.",
        "The server does not answer. The program goes on with the data of this computer; they "
        "will be synchronised at the next save.",
        "Il server non risponde. Il programma continua con i dati di questo computer; saranno "
        "sincronizzati al prossimo salvataggio."};
    return Pick(language, kText);
}

std::string RetryQuestion(int language) {
    static const Texts4 kText = {"Réessayer maintenant ?", "Jetzt erneut versuchen?",
                                 "Try again now?", "Riprovare adesso?"};
    return Pick(language, kText);
}

std::string SharedReferenceMessage(int language, const std::vector<std::string>& references) {
    static const Texts4 kText = {
        "Ces références de paiement ont été imprimées sur deux tickets, l'un pendant que cet "
        "ordinateur n'atteignait pas le serveur : ",
        "Diese Zahlungsreferenzen wurden auf zwei Belege gedruckt, einer davon, während dieser "
        "Computer den Server nicht erreichte: ",
        "These payment references were printed on two tickets, one of them while this computer "
        "could not reach the server: ",
        "Questi riferimenti di pagamento sono stati stampati su due ticket, uno mentre questo "
        "computer non raggiungeva il server: "};
    static const Texts4 kAfter = {
        ". Les deux tickets restent enregistrés ; signalez-le à l'exploitant.",
        ". Beide Belege bleiben gespeichert; melden Sie es dem Betreiber.",
        ". Both tickets stay recorded; tell the operator.",
        ". Entrambi i ticket restano registrati; segnalatelo al gestore."};
    std::string named;
    for (const std::string& reference : references)
        named += (named.empty() ? "" : ", ") + reference;
    return Pick(language, kText) + named + Pick(language, kAfter);
}

} // namespace kerbolt::texts
