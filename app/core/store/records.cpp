#include "app/core/store/records.h"

#include "app/core/store/scrambled_ini.h"
#include "app/core/store/stored_text.h"
#include "app/core/store/ticket_amount.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_set>

namespace kerbolt::store {

namespace {

// Writes keys of one section in order, in one replacement of the file: a crash or a full disk
// between two keys would otherwise leave a record with only its first keys.
using KeyList = std::initializer_list<std::pair<const char*, const std::string*>>;

std::vector<std::pair<std::string, std::string>> Values(KeyList keys) {
    std::vector<std::pair<std::string, std::string>> values;
    values.reserve(keys.size());
    for (const auto& [key, value] : keys)
        values.emplace_back(key, *value);
    return values;
}

bool WriteKeys(const std::string& path, const std::string& section, KeyList keys) {
    return WriteIniKeys(section, Values(keys), path);
}

// The data file holds the account's password: it stays readable by its owner alone.
bool WriteDataKeys(const std::string& path, const std::string& section, KeyList keys) {
    return WriteIniKeys(section, Values(keys), path, /*owner_only=*/true);
}

} // namespace

ParamSettings ReadParamSettings(const std::string& ini_path) {
    const Snapshot file(ini_path);
    const auto read = [&](const char* key) { return file.ReadIni(kParamSection, key); };
    return {read("Langue"), read("Mail"),  read("Montant"),
            read("Titre"),  read("Texte"), read("Printer")};
}

std::int16_t ParseLanguage(const std::string& text) {
    const std::string t = TrimBlanks(text);
    int value = 0;
    const char* first = t.data();
    if (!t.empty() && t.front() == '+') ++first;
    const auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return 0;
    if (value < -32768 || value > 32767) return 0;
    return static_cast<std::int16_t>(value);
}

bool SaveLanguage(const std::string& ini_path, std::int16_t language) {
    return WriteIni(kParamSection, "Langue", std::to_string(language), ini_path);
}

bool SaveRememberedMail(const std::string& ini_path, const std::string& mail) {
    return WriteIni(kParamSection, "Mail", mail, ini_path);
}

bool SaveTicketSettings(const std::string& ini_path, const std::string& montant,
                        const std::string& titre, const std::string& texte) {
    return WriteKeys(ini_path, kParamSection,
                     {{"Montant", &montant}, {"Titre", &titre}, {"Texte", &texte}});
}

bool SavePrinter(const std::string& ini_path, const std::string& printer) {
    return WriteIni(kParamSection, "Printer", printer, ini_path);
}

InfosRecord ReadInfos(const std::string& data_file) {
    const Snapshot file(data_file);
    const auto read = [&](const char* key) { return file.ReadIni(kInfosSection, key); };
    return {read("mail"), read("pwd"),   read("Nom"),  read("rue"),   read("no"),
            read("npa"),  read("ville"), read("IBAN"), read("Mandat")};
}

bool WriteAccount(const std::string& data_file, const std::string& mail, const std::string& pwd) {
    return WriteDataKeys(data_file, kInfosSection, {{"mail", &mail}, {"pwd", &pwd}});
}

bool WriteContactDetails(const std::string& data_file, const InfosRecord& infos) {
    return WriteDataKeys(data_file, kInfosSection,
                         {{"Nom", &infos.Nom},
                          {"rue", &infos.rue},
                          {"no", &infos.no},
                          {"npa", &infos.npa},
                          {"ville", &infos.ville},
                          {"IBAN", &infos.IBAN}});
}

std::string PlaceSection(std::int32_t number) {
    return kPlacePrefix + std::to_string(number);
}
std::string IndemniteSection(std::int32_t number) {
    return kIndemnitePrefix + std::to_string(number);
}

namespace {

// Records `prefix` 0 up to the last number, a missing number as an empty record. Only the
// sections the file holds are read: a gap costs nothing but its empty entries.
template <typename Record, typename Read>
std::vector<Record> ReadNumbered(const std::string& data_file, const std::string& prefix,
                                 Read read) {
    const Snapshot file(data_file);
    const std::vector<std::int32_t> numbers = SectionNumbers(file.ListSections(), prefix);
    // Every record is listed whatever the order of the sections. A record stands at the position
    // of its number, gaps reading as empty entries, as long as the gaps stay few: a damaged file
    // naming a number in the millions must not make a list of millions of empty entries, so the
    // records past that bound follow one another.
    const std::size_t bound = std::min<std::size_t>(numbers.size() + kMaxGapEntries,
                                                    static_cast<std::size_t>(kMaxRecordsRead));
    std::vector<Record> records;
    for (const std::int32_t number : numbers) {
        const auto n = static_cast<std::size_t>(number);
        if (n < bound && n >= records.size()) records.resize(n + 1);
        if (n < bound)
            records[n] = read(file, prefix + std::to_string(number));
        else
            records.push_back(read(file, prefix + std::to_string(number)));
    }
    return records;
}

} // namespace

std::vector<PlaceRecord> ReadPlaces(const std::string& data_file) {
    return ReadNumbered<PlaceRecord>(
        data_file, kPlacePrefix, [](const Snapshot& file, const std::string& section) {
            return PlaceRecord{file.ReadIni(section, "IdPlace"), file.ReadIni(section, "adresse"),
                               file.ReadIni(section, "Proprietaire")};
        });
}

bool WritePlaces(const std::string& data_file, const std::vector<PlaceRecord>& places) {
    // The whole list in one replacement of the file, however many spots it holds.
    std::vector<IniSection> sections;
    sections.reserve(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        const PlaceRecord& p = places[i];
        sections.emplace_back(PlaceSection(static_cast<std::int32_t>(i)),
                              Values({{"IdPlace", &p.IdPlace},
                                      {"adresse", &p.adresse},
                                      {"Proprietaire", &p.Proprietaire}}));
    }
    if (sections.empty()) return true;
    return WriteIniSections(sections, data_file, /*owner_only=*/true);
}

std::int32_t NextIndemniteNumber(const std::string& data_file) {
    // One past the highest number wherever it stands: the last section in the file may be an
    // older record when the file was reordered, cut short or merged.
    return Snapshot(data_file).HighestSectionIndex(kIndemnitePrefix) + 1;
}

std::string TicketReference(const std::string& account_key, std::int32_t number) {
    return account_key + "-" + std::to_string(number);
}

std::string FormatTicketDate(const DateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", when.day, when.month, when.year);
    return text;
}

std::string FormatTicketTime(const DateTime& when) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", when.hour, when.minute);
    return text;
}

std::string ComputeMontant60(const std::string& amount) {
    // Read and written with "." whatever the user's locale: the amount box only lets digits and
    // "." through, and a locale with a decimal comma would misread it.
    // The label and the QR-bill read the amount by the same rule, so the record never carries a
    // share of an amount the ticket shows as none.
    if (!FormatTicketAmount(amount)) return {};
    const std::string t = TrimBlanks(amount);
    double value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value)) {
        return {};
    }
    char text[64];
    const auto [out, ec2] =
        std::to_chars(text, text + sizeof text, value * 0.6, std::chars_format::general, 15);
    if (ec2 != std::errc()) return {};
    return std::string(text, out);
}

IndemniteRecord MakeIndemniteRecord(int place_index, const DateTime& now, const std::string& plates,
                                    const std::string& amount, const std::string& account_key,
                                    std::int32_t number) {
    IndemniteRecord record;
    record.IdPlace = std::to_string(place_index);
    record.date = FormatTicketDate(now);
    record.heure = FormatTicketTime(now);
    record.nPlaques = plates;
    record.Montant100 = amount;
    record.Montant60 = ComputeMontant60(amount);
    record.NumIndemn = TicketReference(account_key, number);
    return record;
}

bool WriteIndemnite(const std::string& data_file, std::int32_t number, const IndemniteRecord& r) {
    // A new ticket never goes into a record that is already there: its keys would replace those
    // of a ticket already on paper.
    if (Snapshot(data_file).HasSection(IndemniteSection(number))) return false;
    return WriteDataKeys(data_file, IndemniteSection(number),
                         {{"IdPlace", &r.IdPlace},
                          {"date", &r.date},
                          {"heure", &r.heure},
                          {"nPlaques", &r.nPlaques},
                          {"Montant100", &r.Montant100},
                          {"Montant60", &r.Montant60},
                          {"NumIndemn", &r.NumIndemn}});
}

namespace {

IndemniteRecord ReadIndemniteFrom(const Snapshot& file, const std::string& section) {
    const auto read = [&](const char* key) { return file.ReadIni(section, key); };
    return {read("IdPlace"),    read("date"),      read("heure"),     read("nPlaques"),
            read("Montant100"), read("Montant60"), read("NumIndemn"), read("datepaiement")};
}

} // namespace

IndemniteRecord ReadIndemnite(const std::string& data_file, std::int32_t number) {
    return ReadIndemniteFrom(Snapshot(data_file), IndemniteSection(number));
}

std::vector<IndemniteRecord> ReadIndemnites(const std::string& data_file) {
    return ReadNumbered<IndemniteRecord>(data_file, kIndemnitePrefix, ReadIndemniteFrom);
}

bool IsCancelled(const IndemniteRecord& record) {
    return record.datepaiement.rfind("ANNULE-", 0) == 0;
}

} // namespace kerbolt::store
