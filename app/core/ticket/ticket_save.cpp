#include "app/core/ticket/ticket_save.h"

#include "app/core/store/records.h"
#include "app/core/web/data_transfers.h"

#include <limits>

namespace kerbolt::frmMain {

int CheckPrintEntry(const std::string& plates, int place_index) {
    if (plates.empty()) return 1;
    if (place_index < 0) return 2;
    return 0;
}

SavedTicket SaveTicket(const Module1::State& state, IFtp& ftp, IClock& clock, int place_index,
                       const std::string& plates) {
    return SaveTicketDraft(state, ftp, BuildTicketDraft(state, {place_index, plates}, clock.Now()));
}

SavedTicket RecordTicketDraft(const Module1::State& state, const TicketDraft& draft) {
    SavedTicket saved;
    saved.number = draft.number;
    // A record under the largest 32-bit number would not count as the last one, and the next
    // ticket would overwrite it: there is no number left.
    if (saved.number == std::numeric_limits<std::int32_t>::max()) return saved;
    saved.reference = draft.record.NumIndemn;
    const auto lock = modUpload::LockDataFile();
    saved.written = WriteIndemnite(state.DataFile, saved.number, draft.record);
    return saved;
}

SavedTicket SaveTicketDraft(const Module1::State& state, IFtp& ftp, const TicketDraft& draft) {
    SavedTicket saved = RecordTicketDraft(state, draft);
    // A file without the record has nothing new for the server.
    if (saved.written)
        saved.uploaded = modUpload::UploadDataFile(ftp, state.DataFile, state.AccountKey);
    return saved;
}

} // namespace kerbolt::frmMain
