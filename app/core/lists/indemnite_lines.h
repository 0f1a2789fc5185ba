// The compensations list (fixed-width columns and the three filters) and the amount field's key
// filter of the ticket settings.
#pragma once

#include "app/core/store/records.h"

#include <optional>
#include <string>
#include <vector>

namespace kerbolt::lists {

// The option buttons, left to right.
enum Filter : int { kAll = 0, kPending = 1, kPaid = 2 };

// NumIndemn (15), IdPlace (6), date " " heure (20), nPlaques (15), Montant100 (10), then the
// payment mark as stored.
std::string IndemniteLine(const store::IndemniteRecord& record);

// The records a filter keeps, in record order. Cancelled compensations ("ANNULE-", exactly) and
// records without a reference are never listed; an unknown filter keeps nothing.
std::vector<store::IndemniteRecord>
ListedIndemnites(const std::vector<store::IndemniteRecord>& records, int filter);

// The lines of the records a filter keeps (ListedIndemnites), in record order.
std::vector<std::string> FillList(const std::vector<store::IndemniteRecord>& records, int filter);

// The amount field's key filter: the character a typed key puts into the field, or nothing when
// the key is refused. A comma becomes a point; digits, the point and backspace (8) pass.
std::optional<char32_t> FilterAmountKey(char32_t key);

} // namespace kerbolt::lists
