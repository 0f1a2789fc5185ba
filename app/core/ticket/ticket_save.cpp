#include "app/core/ticket/ticket_save.h"

#include "app/core/store/records.h"
#include "app/core/web/data_transfers.h"

#include <limits>

namespace kerbolt::ticket {

int CheckPrintEntry(const std::string& plates, int place_index) {
    if (plates.empty()) return 1;
    if (place_index < 0) return 2;
    return 0;
}

ClaimedTicket ClaimTicket(const store::State& state, IFtp& ftp, const TicketEntry& entry,
                          const DateTime& now) {
    ClaimedTicket claimed;
    // Runs under the data file's lock, on the merged file when the server answered.
    const auto record = [&](const std::string& data_file) {
        claimed.draft = BuildTicketDraft(state, entry, now);
        SavedTicket& saved = claimed.saved;
        saved.number = claimed.draft.number;
        // A record under the largest 32-bit number would leave no number for the next one.
        if (saved.number == std::numeric_limits<std::int32_t>::max()) return false;
        saved.reference = claimed.draft.record.NumIndemn;
        saved.written = store::WriteIndemnite(data_file, saved.number, claimed.draft.record);
        return saved.written;
    };
    const web::SyncResult sync =
        web::SyncDataFile(ftp, nullptr, state.DataFile, state.AccountKey, /*upload=*/false, record);
    claimed.saved.uploaded = claimed.saved.written && sync.uploaded;
    claimed.numbered_with_server = sync.changed_with_server && sync.uploaded;
    claimed.shared_references = sync.shared_references;
    return claimed;
}

SavedTicket SaveTicket(const store::State& state, IFtp& ftp, IClock& clock, int place_index,
                       const std::string& plates) {
    return ClaimTicket(state, ftp, {place_index, plates}, clock.Now()).saved;
}

} // namespace kerbolt::ticket
