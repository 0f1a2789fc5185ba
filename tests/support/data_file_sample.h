// A data file as an account has it after years of use: its details, a few spots and any number
// of compensation records, written through the store as the program writes them.
#pragma once

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

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
