// One ticket as it will be printed and recorded: its number, reference, texts, QR-bill payload
// and the record that saving writes. Paper, QR code and record all come from one draft, built
// from the data file once, so a record added in between (a sync, a second client) cannot make
// them disagree.
#pragma once

#include "app/core/store/app_state.h"
#include "app/core/store/records.h"
#include "app/core/ticket/ticket_preview.h"
#include "app/platform/ports.h"

#include <cstdint>
#include <string>

namespace kerbolt::ticket {

struct TicketDraft {
    std::int32_t number = 0;
    TicketPreview preview; // the labels, the reference and the QR-bill payload
    store::IndemniteRecord record;
    int place_index = -1;
};

// What the window shows and keeps besides the data file: the chosen spot (-1 for none), the
// typed plates and what the amount label showed before.
struct TicketEntry {
    int place_index = -1;
    std::string plates;
    std::string previous_amount_label = kInitialAmountLabel;
};

// Builds the draft from the settings in `state` and the data file as it is now; `now` dates the
// record.
TicketDraft BuildTicketDraft(const store::State& state, const TicketEntry& entry,
                             const DateTime& now);

} // namespace kerbolt::ticket
