#include "app/core/ticket/ticket_draft.h"

#include "app/core/store/scrambled_ini.h"

namespace kerbolt::ticket {

TicketDraft BuildTicketDraft(const store::State& state, const TicketEntry& entry,
                             const DateTime& now) {
    TicketDraft draft;
    draft.place_index = entry.place_index;
    // One look at the data file for the number and the spot: both come from the same content.
    const store::Snapshot data_file(state.DataFile);
    draft.number = data_file.HighestSectionIndex(store::kIndemnitePrefix) + 1;

    TicketInputs inputs;
    inputs.language = state.Language;
    inputs.title = state.TicketTitle;
    inputs.text = state.TicketText;
    inputs.amount = state.TicketAmount;
    inputs.footer = state.TicketFooter;
    if (entry.place_index >= 0)
        inputs.spot_address = data_file.ReadIni(store::PlaceSection(entry.place_index), "adresse");
    inputs.plates = entry.plates;
    inputs.account_key = state.AccountKey;
    inputs.record_number = draft.number;
    inputs.previous_amount_label = entry.previous_amount_label;
    draft.preview = BuildTicketPreview(inputs);

    draft.record = store::MakeIndemniteRecord(entry.place_index, now, entry.plates,
                                              state.TicketAmount, state.AccountKey, draft.number);
    return draft;
}

} // namespace kerbolt::ticket
