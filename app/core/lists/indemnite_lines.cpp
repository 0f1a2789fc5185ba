#include "app/core/lists/indemnite_lines.h"

#include "app/core/lists/text_columns.h"
#include "app/core/store/stored_text.h"

namespace kerbolt::lists {

std::string IndemniteLine(const store::IndemniteRecord& r) {
    return FitColumn(r.NumIndemn, 15) + FitColumn(r.IdPlace, 6) +
           FitColumn(r.date + " " + r.heure, 20) + FitColumn(r.nPlaques, 15) +
           FitColumn(r.Montant100, 10) + r.datepaiement;
}

std::vector<store::IndemniteRecord>
ListedIndemnites(const std::vector<store::IndemniteRecord>& records, int filter) {
    std::vector<store::IndemniteRecord> listed;
    for (const store::IndemniteRecord& record : records) {
        if (IsCancelled(record)) continue;
        const bool paid = !record.datepaiement.empty();
        const bool keep =
            filter == kAll || (filter == kPending && !paid) || (filter == kPaid && paid);
        if (!keep || store::TrimBlanks(record.NumIndemn).empty()) continue;
        listed.push_back(record);
    }
    return listed;
}

std::vector<std::string> FillList(const std::vector<store::IndemniteRecord>& records, int filter) {
    std::vector<std::string> lines;
    for (const store::IndemniteRecord& record : ListedIndemnites(records, filter))
        lines.push_back(IndemniteLine(record));
    return lines;
}

std::optional<char32_t> FilterAmountKey(char32_t key) {
    if (key == U',') return U'.';
    if ((key >= U'0' && key <= U'9') || key == U'.' || key == 8) return key;
    return std::nullopt;
}

} // namespace kerbolt::lists
