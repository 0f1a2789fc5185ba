#include "app/core/mandate/mandate_texts.h"

#include "app/core/ticket/ticket_operator.h"

#include <array>
#include <string_view>
#include <utility>

namespace kerbolt::mandate {

namespace {

// Entries in French, German, English and Italian. The operator's details stand as the markers
// {domain}, {host}, {company}, {address} and {mail}; "{ville}" in entry 27 is the user's town,
// which the document fills in.
constexpr std::array<std::array<std::string_view, 4>, kMandateTextCount> kEntries = {{
    // 1
    {"Mandat d’intervention pour indemnité de dérangement",
     "Mandat zur Intervention wegen Parkschadenentschädigung",
     "Mandate for intervention regarding disturbance compensation",
     "Mandato di intervento per indennità di disturbo"},
    // 2
    {"Entre les soussignés :", "Zwischen den Unterzeichnenden:", "Between the undersigned:",
     "Tra i sottoscritti:"},
    // 3
    {"Le Mandant :", "Der Auftraggeber:", "The Principal:", "Il Mandante:"},
    // 4
    {"Nom / Prénom ou Raison sociale : ", "Name / Vorname oder Firmenname: ",
     "Name / First Name or Company Name: ", "Nome / Cognome o Ragione sociale: "},
    // 5
    {"Adresse : ", "Adresse: ", "Address: ", "Indirizzo: "},
    // 6
    {"Téléphone : ", "Telefon: ", "Telephone: ", "Telefono: "},
    // 7
    {"E-mail : ", "E-Mail: ", "E-mail: ", "E-mail: "},
    // 8
    {"(ci-après le Mandant)", "(im Folgenden der Auftraggeber)", "(hereinafter the Principal)",
     "(di seguito il Mandante)"},
    // 9
    {"Le Mandataire :", "Der Beauftragte:", "The Agent:", "Il Mandatario:"},
    // 10
    {"{domain}", "{domain}", "{domain}", "{domain}"},
    // 11
    {"{address}", "{address}", "{address}", "{address}"},
    // 12
    {"E-mail : {mail}", "E-Mail: {mail}", "E-mail: {mail}", "E-mail: {mail}"},
    // 13
    {"(ci-après le Mandataire)", "(im Folgenden der Beauftragte)", "(hereinafter the Agent)",
     "(di seguito il Mandatario)"},
    // 14
    {"Objet du mandat", "Auftragsgegenstand", "Object of the mandate", "Oggetto del mandato"},
    // 15
    {"Le Mandant confie au Mandataire la mission de réclamer, en son nom et pour son compte, "
     "l'indemnité de dérangement due par des tiers qui stationnent sans autorisation sur la ou les "
     "places de parc suivantes :",
     "Der Auftraggeber beauftragt den Beauftragten, in seinem Namen und auf seine Rechnung die "
     "Parkschadenentschädigung von Dritten einzufordern, die ohne Erlaubnis auf den folgenden "
     "Parkplatz(en) parken:",
     "The Principal entrusts the Agent with the task of claiming, in his name and on his behalf, "
     "the disturbance compensation due from third parties who park without authorization on the "
     "following parking space(s):",
     "Il Mandante incarica il Mandatario di richiedere, a nome e per conto suo, l’indennità di "
     "disturbo dovuta da terzi che parcheggiano senza autorizzazione sui seguenti posti auto:"},
    // 16
    {"Adresse des places de parc : ", "Adresse der Parkplätze: ",
     "Address of the parking space(s): ", "Indirizzo dei posti auto: "},
    // 17
    {"Numéros des places de parc (si applicable) : ", "Nummern der Parkplätze (falls zutreffend): ",
     "Number(s) of parking space(s) (if applicable): ", "Numero dei posti auto (se applicabile): "},
    // 18
    {"Durée du mandat", "Auftragsdauer", "Duration of the mandate", "Durata del mandato"},
    // 19
    {"Le présent mandat est conclu pour une durée indéterminée, jusqu'à révocation écrite de la "
     "part du Mandant.",
     "Dieser Auftrag wird auf unbestimmte Zeit abgeschlossen, bis er schriftlich vom Auftraggeber "
     "widerrufen wird.",
     "This mandate is concluded for an indefinite period, until revoked in writing by the "
     "Principal.",
     "Il presente mandato è concluso a tempo indeterminato, fino a revoca scritta da parte del "
     "Mandante."},
    // 20
    {"Pouvoirs conférés", "Erteilte Befugnisse", "Powers granted", "Poteri conferiti"},
    // 21
    {"Le Mandant autorise expressément le Mandataire à :\r\n"
     "- Entreprendre toutes démarches amiables et juridiques nécessaires à la réclamation des "
     "indemnités de dérangement.\r\n"
     "- Encaisser, pour le compte du Mandant, toute indemnité obtenue dans ce cadre.\r\n"
     "- Déduire du montant récupéré la commission prévue aux conditions générales disponibles sur "
     "{host}.\r\n"
     "- Transmettre des mises en demeure ou tout autre courrier nécessaire.",
     "Der Auftraggeber ermächtigt den Beauftragten ausdrücklich:\r\n"
     "- Alle notwendigen außergerichtlichen und gerichtlichen Schritte zur Einforderung der "
     "Parkschadenentschädigung zu unternehmen.\r\n"
     "- Sämtliche in diesem Zusammenhang erhaltene Entschädigungen im Namen des Auftraggebers "
     "einzuziehen.\r\n"
     "- Die im Rahmen der Allgemeinen Geschäftsbedingungen auf {host} vorgesehene Provision vom "
     "eingezogenen Betrag abzuziehen.\r\n"
     "- Mahnschreiben oder sonstige notwendige Schreiben zu übermitteln.",
     "The Principal expressly authorizes the Agent to:\r\n"
     "- Undertake all amicable and legal steps necessary to claim the disturbance "
     "compensations.\r\n"
     "- Collect, on behalf of the Principal, any compensation obtained in this context.\r\n"
     "- Deduct from the recovered amount the commission provided for in the general conditions "
     "available on {host}.\r\n"
     "- Send reminders or any other necessary correspondence.",
     "Il Mandante autorizza espressamente il Mandatario a:\r\n"
     "- Intraprendere tutte le azioni amichevoli e legali necessarie per la richiesta delle "
     "indennità di disturbo.\r\n"
     "- Incassare, per conto del Mandante, qualsiasi indennità ottenuta in questo ambito.\r\n"
     "- Dedurre dall’importo recuperato la commissione prevista dalle condizioni generali "
     "disponibili su {host}.\r\n"
     "- Inviare solleciti o altra corrispondenza necessaria."},
    // 22
    {"Rémunération", "Vergütung", "Remuneration", "Remunerazione"},
    // 23
    {"La rémunération du Mandataire se fait exclusivement sur la base d’un pourcentage prélevé sur "
     "l’indemnité de dérangement récupérée, conformément aux conditions générales du service. "
     "Aucun frais n’est dû par le Mandant en cas d’absence de récupération d’indemnité.",
     "Die Vergütung des Beauftragten erfolgt ausschließlich auf Basis eines Prozentsatzes, der von "
     "der eingezogenen Parkschadenentschädigung abgezogen wird, gemäß den Allgemeinen "
     "Geschäftsbedingungen des Dienstes. Es fallen keine Kosten für den Auftraggeber an, falls "
     "keine Entschädigung eingezogen wird.",
     "The Agent's remuneration is exclusively based on a percentage deducted from the recovered "
     "disturbance compensation, according to the general conditions of the service. No fees are "
     "due by the Principal if no compensation is recovered.",
     "La remunerazione del Mandatario si basa esclusivamente su una percentuale detratta "
     "dall’indennità di disturbo recuperata, secondo le condizioni generali del servizio. Nessun "
     "costo è dovuto dal Mandante in caso di mancato recupero dell’indennità."},
    // 24
    {"Engagement du Mandant", "Verpflichtungen des Auftraggebers", "Commitment of the Principal",
     "Impegno del Mandante"},
    // 25
    {"Le Mandant s’engage à :\r\n"
     "- Fournir toutes les informations nécessaires sur les places de parc concernées.\r\n"
     "- Signaler immédiatement au Mandataire tout changement de propriétaire, de locataire ou de "
     "gérance.\r\n"
     "- Ne pas effectuer de démarches parallèles susceptibles d’interférer avec le mandat.",
     "Der Auftraggeber verpflichtet sich:\r\n"
     "- Alle notwendigen Informationen zu den betroffenen Parkplätzen bereitzustellen.\r\n"
     "- Den Beauftragten unverzüglich über jegliche Änderungen von Eigentümer, Mieter oder "
     "Verwaltung zu informieren.\r\n"
     "- Keine parallelen Maßnahmen zu ergreifen, die den Auftrag beeinträchtigen könnten.",
     "The Principal undertakes to:\r\n"
     "- Provide all necessary information regarding the concerned parking spaces.\r\n"
     "- Immediately inform the Agent of any change of owner, tenant, or management.\r\n"
     "- Not undertake parallel steps that could interfere with the mandate.",
     "Il Mandante si impegna a:\r\n"
     "- Fornire tutte le informazioni necessarie sui posti auto interessati.\r\n"
     "- Segnalare immediatamente al Mandatario ogni variazione di proprietà, locatario o "
     "gestione.\r\n"
     "- Non intraprendere azioni parallele che possano interferire con il mandato."},
    // 26
    {"Signature", "Unterschrift", "Signature", "Firma"},
    // 27
    {"Fait à {ville}, le _______________", "Ausgestellt in {ville}, am _______________",
     "Done at {ville}, on _______________", "Fatto a {ville}, il _______________"},
    // 28
    {"Signature du Mandant :", "Unterschrift des Auftraggebers:", "Signature of the Principal:",
     "Firma del Mandante:"},
    // 29
    {"Signature du Mandataire : {company} ({domain})",
     "Unterschrift des Beauftragten: : {company} ({domain})",
     "Signature of the Agent: : {company} ({domain})",
     "Firma del Mandatario: : {company} ({domain})"},
    // 30
    {"Merci de retourner ce document daté et signé à :",
     "Bitte senden Sie dieses datierte und unterschriebene Dokument an:",
     "Please return this dated and signed document to:",
     "Si prega di restituire il presente documento datato e firmato a:"},
    // 31
    {"par courrier ou par email à : {mail}", "per Post oder E-Mail an: {mail}",
     "by mail or email to: {mail}", "via posta o e-mail a: {mail}"},
}};

constexpr std::array<std::string_view, 4> kMissingText = {"Texte manquant", "Text fehlt",
                                                          "Missing text", "Testo mancante"};

constexpr std::string_view kUnsupportedLanguage = "Langue non prise en charge";

// "https://www.example.ch/" -> "www.example.ch"
std::string HostOf(const std::string& url) {
    std::string host = url;
    if (const std::size_t scheme = host.find("://"); scheme != std::string::npos)
        host.erase(0, scheme + 3);
    if (const std::size_t path = host.find('/'); path != std::string::npos) host.erase(path);
    return host;
}

} // namespace

MandateOperator DefaultMandateOperator(const ServerConfig& config) {
    MandateOperator op;
    op.web_domain = config.product_domain;
    op.web_host = HostOf(config.product_url);
    op.company = std::string(ticket::kOperatorDetails.company);
    op.street_line = std::string(ticket::kOperatorDetails.street) + " " +
                     std::string(ticket::kOperatorDetails.house_number);
    op.town_line = std::string(ticket::kOperatorDetails.postcode) + " " +
                   std::string(ticket::kOperatorDetails.town);
    op.contact_mail = "info@" + config.product_domain;
    return op;
}

std::string MandateText(std::int16_t number, std::int16_t language, const MandateOperator& op) {
    if (language < 1 || language > 4) return std::string(kUnsupportedLanguage);
    const auto lang = static_cast<std::size_t>(language - 1);
    if (number < 1 || number > kMandateTextCount) return std::string(kMissingText[lang]);
    std::string text(kEntries[static_cast<std::size_t>(number - 1)][lang]);
    text = ReplaceAll(std::move(text), "{domain}", op.web_domain);
    text = ReplaceAll(std::move(text), "{host}", op.web_host);
    text = ReplaceAll(std::move(text), "{company}", op.company);
    text = ReplaceAll(std::move(text), "{address}", op.street_line + ", " + op.town_line);
    return ReplaceAll(std::move(text), "{mail}", op.contact_mail);
}

std::string ReplaceAll(std::string text, std::string_view marker, const std::string& value) {
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + value.size()))
        text.replace(at, marker.size(), value);
    return text;
}

} // namespace kerbolt::mandate
