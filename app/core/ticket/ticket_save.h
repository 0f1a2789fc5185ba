// Print and save, without the printing: the refusals, the compensation record and its upload.
#pragma once

#include "app/core/store/app_state.h"
#include "app/core/ticket/ticket_draft.h"
#include "app/platform/ports.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kerbolt::ticket {

// The number of the message that refuses the entry (1: no plates, 2: no spot), 0 when it may
// be printed. Plates of blanks only are plates.
int CheckPrintEntry(const std::string& plates, int place_index);

struct SavedTicket {
    std::int32_t number = 0;
    std::string reference; // the account key, "-" and the number
    bool written = false;
    bool uploaded = false;
};

// A ticket numbered, recorded and sent: the draft that is printed and what became of it.
struct ClaimedTicket {
    TicketDraft draft;
    SavedTicket saved;
    // True when the number was taken from the file merged with the server's copy while this
    // computer held the account's lock on the server: no other computer can have it. False when
    // the server could not be reached: the number is the local file's next one.
    bool numbered_with_server = false;
    // References printed on two tickets, found by this synchronisation (see SyncResult).
    std::vector<std::string> shared_references;
};

// Records a ticket for the entry and uploads the data file, in one synchronisation: the
// server's copy is merged in first and the ticket takes the next number of the merged file, so
// that two computers of one account never print one reference while both reach the server.
// Every value is computed before the first key is written, and the keys go to the file in one
// replacement, so that a record is either written whole or not at all; without it nothing new is
// uploaded.
ClaimedTicket ClaimTicket(const store::State& state, IFtp& ftp, const TicketEntry& entry,
                          const DateTime& now);

// ClaimTicket for the spot at `place_index` of the spot list and the plates.
SavedTicket SaveTicket(const store::State& state, IFtp& ftp, IClock& clock, int place_index,
                       const std::string& plates);

} // namespace kerbolt::ticket
