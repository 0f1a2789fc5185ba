// Print and save, without the printing: the refusals, the compensation record and its upload.
#pragma once

#include "app/core/session/app_state.h"
#include "app/core/ticket/ticket_draft.h"
#include "app/platform/ports.h"

#include <cstdint>
#include <string>

namespace kerbolt::frmMain {

// The number of the message that refuses the entry (1: no plates, 2: no spot), 0 when it may
// be printed. Plates of blanks only are plates.
int CheckPrintEntry(const std::string& plates, int place_index);

struct SavedTicket {
    std::int32_t number = 0;
    std::string reference; // the account key, "-" and the number
    bool written = false;
    bool uploaded = false;
};

// Records a ticket for the spot at `place_index` of the spot list and uploads the data file.
// Every value is computed before the first key is written, and the keys go to the file in one
// replacement, so that a record is either written whole or not at all; without it nothing is
// uploaded.
SavedTicket SaveTicket(const Module1::State& state, IFtp& ftp, IClock& clock, int place_index,
                       const std::string& plates);

// Writes the draft's record under the draft's number, without reading the data file for a number
// again, and uploads the data file. Same all-or-nothing write as SaveTicket.
SavedTicket SaveTicketDraft(const Module1::State& state, IFtp& ftp, const TicketDraft& draft);

// Writes the draft's record only, as SaveTicketDraft does, and leaves the upload to the caller
// (the window sends it beside the user's work, so a ticket never waits for the server).
SavedTicket RecordTicketDraft(const Module1::State& state, const TicketDraft& draft);

} // namespace kerbolt::frmMain
