#include "app/core/texts/licence_texts.h"

#include "app/core/texts/texts.h"

namespace kerbolt::texts::frmLicence {

std::string HostOf(const std::string& url) {
    std::string rest = url;
    const auto scheme = rest.find("://");
    if (scheme != std::string::npos) rest = rest.substr(scheme + 3);
    return rest.substr(0, rest.find('/'));
}

std::string SchemeOf(const std::string& url) {
    const auto scheme = url.find("://");
    if (scheme == std::string::npos || scheme == 0) return "https";
    std::string lower = url.substr(0, scheme);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

LicenceTexts LoadTexts(int language, const std::string& version_text, const ServerConfig& config) {
    LicenceTexts texts;
    texts.lblVersion = "Kerbolt (" + version_text + ")";
    if (language < 1 || language > 4) return texts;

    static const Texts4 kTitle = {"Licence d'utilisation de Kerbolt",
                                  "Nutzungsbedingungen für Kerbolt", "Kerbolt Usage License",
                                  "Licenza d'uso di Kerbolt"};
    static const Texts4 kRights = {" – tous droits réservés.", " – alle Rechte vorbehalten.",
                                   " – all rights reserved.", " – tutti i diritti riservati."};
    static const Texts4 kLine1 = {
        "Kerbolt est un Freeware (gratuit) disponible sur la plateforme ",
        "Kerbolt ist eine kostenlose Freeware, verfügbar auf der Plattform ",
        "Kerbolt is a free freeware available on the platform ",
        "Kerbolt è un freeware (gratuito) disponibile sulla piattaforma "};
    static const Texts4 kLine2 = {"Kerbolt est fourni tel quel et sans garantie.",
                                  "Kerbolt wird wie besehen und ohne Garantie bereitgestellt.",
                                  "Kerbolt is provided as-is and without warranty.",
                                  "Kerbolt è fornito così com'è, senza garanzia."};
    static const Texts4 kLine3 = {
        "L'auteur autorise les copies non modifiées qui conservent cette mention des droits.",
        "Der Autor erlaubt unveränderte Kopien, die diesen Rechtevermerk beibehalten.",
        "The author permits unchanged copies that keep this rights notice.",
        "L'autore consente copie non modificate che mantengano questa nota sui diritti."};
    static const Texts4 kLine4 = {
        "La décompilation, la modification sous quelque forme que ce soit est formellement "
        "interdite.",
        "Das Dekompilieren oder jegliche Modifikation ist strengstens untersagt.",
        "Decompiling or modifying in any form is strictly prohibited.",
        "La decompilazione o qualsiasi modifica è severamente vietata."};
    static const Texts4 kLine5 = {
        "Pour toute question ou remarque, veuillez utiliser la page de contact du site.",
        "Für Fragen oder Anmerkungen benutzen Sie bitte die Kontaktseite der Website.",
        "For any questions or feedback, please use the contact page on the website.",
        "Per qualsiasi domanda o commento, utilizzare la pagina di contatto del sito."};
    static const Texts4 kClose = {"Fermer", "Schließen", "Close", "Chiudi"};
    // The apostrophes of the French and Italian captions are typographic ones.
    static const Texts4 kCgu = {"Conditions Générales d\u2019Utilisation", "Nutzungsbedingungen",
                                "Terms of Use", "Condizioni d\u2019uso"};
    static const Texts4 kPath = {"/fr/CGU.html", "/de/CGU.html", "/en/CGU.html", "/it/CGU.html"};

    // The link shows a real address: the scheme and the host of the product's server, so that
    // a server that speaks only http (the local stand-in) gets an address it answers.
    const std::string site = SchemeOf(config.product_url) + "://" + HostOf(config.product_url);
    const std::string legal_form = config.maker_legal_forms[static_cast<std::size_t>(language - 1)];
    const std::string rights =
        "© 2025 " + config.maker_company + " " + legal_form + PickLanguage(language, kRights);
    const char* crlf = "\r\n";
    texts.lblTitre = PickLanguage(language, kTitle);
    texts.lblLicence = rights + crlf + crlf + PickLanguage(language, kLine1) + site + crlf +
                       PickLanguage(language, kLine2) + crlf + PickLanguage(language, kLine3) +
                       crlf + PickLanguage(language, kLine4) + crlf + crlf +
                       PickLanguage(language, kLine5);
    texts.cmdClose = PickLanguage(language, kClose);
    texts.lblCGU = PickLanguage(language, kCgu);
    texts.lblUrl = site;
    texts.url_tag = site + PickLanguage(language, kPath);
    return texts;
}

} // namespace kerbolt::texts::frmLicence
