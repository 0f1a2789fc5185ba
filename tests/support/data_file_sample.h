// Sample data files and the records in them, written through the store as the program writes
// them: a data file as an account has it after years of use, the tickets of one account, and a
// record as the lists show it.
#pragma once

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The sample account: its e-mail address and the account key its data file is named after.
inline constexpr const char* kSampleMail = "a@b.ch";
inline constexpr const char* kSampleKey = "000NZFAP";

// Ticket `number` of the sample account for the plates given, printed for its first spot on
// 10.12.2026 at 9:30 for 50 francs.
inline kerbolt::store::IndemniteRecord SampleTicket(std::int32_t number,
                                                    const std::string& plates) {
    return kerbolt::store::MakeIndemniteRecord(0, {2026, 12, 10, 9, 30, 0}, plates, "50",
                                               kSampleKey, number);
}

// Tickets 0 to count - 1 of the sample account, for the plates "VD 100", "VD 101"...
inline bool WriteSampleTickets(const std::string& path, int count) {
    for (int i = 0; i < count; ++i) {
        if (!kerbolt::store::WriteIndemnite(path, i,
                                            SampleTicket(i, "VD " + std::to_string(100 + i))))
            return false;
    }
    return true;
}

// A record as the lists show it: for spot 0 on 03.02.2025 at 14:05, 50 francs, with the
// reference and the operator's payment mark given.
inline kerbolt::store::IndemniteRecord ListedTicket(const std::string& reference,
                                                    const std::string& mark,
                                                    const std::string& plates = "VD 123456") {
    kerbolt::store::IndemniteRecord r;
    r.IdPlace = "0";
    r.date = "03.02.2025";
    r.heure = "14:05";
    r.nPlaques = plates;
    r.Montant100 = "50";
    r.Montant60 = "30";
    r.NumIndemn = reference;
    r.datepaiement = mark;
    return r;
}

inline bool WriteSampleDataFile(const std::string& path, const std::string& mail,
                                const std::string& account_key, int records, int places = 3) {
    using kerbolt::store::IniSection;
    std::vector<IniSection> sections;
    sections.push_back({kerbolt::store::kInfosSection,
                        {{"mail", mail},
                         {"pwd", "secret1"},
                         {"Nom", "Muster Hans"},
                         {"rue", "Bahnhofstrasse"},
                         {"no", "12"},
                         {"npa", "8001"},
                         {"ville", "Z\xC3\xBCrich"},
                         {"IBAN", "CH9300762011623852957"}}});
    for (int i = 0; i < places; ++i) {
        sections.push_back({kerbolt::store::PlaceSection(i),
                            {{"IdPlace", "P" + std::to_string(i + 1)},
                             {"adresse", "Route de la Gare " + std::to_string(i + 1)},
                             {"Proprietaire", "0"}}});
    }
    for (int i = 0; i < records; ++i) {
        const std::string day = std::to_string(10 + i % 18);
        sections.push_back({kerbolt::store::IndemniteSection(i),
                            {{"IdPlace", std::to_string(i % (places > 0 ? places : 1))},
                             {"date", day + ".03.2026"},
                             {"heure", "14:" + std::to_string(10 + i % 50)},
                             {"nPlaques", "VD " + std::to_string(100000 + i)},
                             {"Montant100", "50"},
                             {"Montant60", "30"},
                             {"NumIndemn", kerbolt::store::TicketReference(account_key, i)}}});
        if (i % 3 == 0) sections.back().second.push_back({"datepaiement", "02.04.2026"});
    }
    return kerbolt::store::WriteIniSections(sections, path, /*owner_only=*/true);
}

} // namespace testing_support
