#include "app/core/ticket/ticket_draft.h"

#include "app/core/store/scrambled_ini.h"

namespace kerbolt {

TicketDraft BuildTicketDraft(const Module1::State& state, const TicketEntry& entry,
                             const DateTime& now) {
    TicketDraft draft;
    draft.place_index = entry.place_index;
    draft.number = NextIndemniteNumber(state.DataFile);

    TicketInputs inputs;
    inputs.language = state.Language;
    inputs.title = state.TicketTitle;
    inputs.text = state.TicketText;
    inputs.amount = state.TicketAmount;
    inputs.footer = state.TicketFooter;
    if (entry.place_index >= 0)
        inputs.spot_address =
            modINI::ReadIni(PlaceSection(entry.place_index), "adresse", state.DataFile);
    inputs.plates = entry.plates;
    inputs.account_key = state.AccountKey;
    inputs.record_number = draft.number;
    inputs.previous_amount_label = entry.previous_amount_label;
    draft.preview = BuildTicketPreview(inputs);

    draft.record = MakeIndemniteRecord(entry.place_index, now, entry.plates, state.TicketAmount,
                                       state.AccountKey, draft.number);
    return draft;
}

} // namespace kerbolt
