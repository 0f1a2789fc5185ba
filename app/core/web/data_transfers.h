// Transfers of the data file and the signed mandate between this computer and the operator's
// FTP server, on top of the IFtp port.
#pragma once

#include "app/platform/ports.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kerbolt::web {

// Remote paths. The data file goes up under an absolute path and comes down under a relative
// one; the server maps both to the same file.
std::string DataFileUploadPath(const std::string& account_key);   // "/web/ctrl/KB/" + key
std::string DataFileDownloadPath(const std::string& account_key); // "web/ctrl/KB/" + key
std::string MandateDownloadPath(const std::string& account_key);
// The lock that one computer of the account holds on the server while it merges and uploads
// the data file: a folder beside the data file, "/web/ctrl/KB/" + key + ".lock".
std::string DataFileLockPath(const std::string& account_key);
// The local mandate document, "Mandat_" + key + ".pdf" in the data folder.
std::string MandateLocalPath(const std::string& data_folder, const std::string& account_key);

// The message shown when the transfer layer cannot be set up.
inline constexpr const char* kSessionFailedMessage = "Échec de l'ouverture de la session Internet.";

bool UploadFile(IFtp& ftp, const std::string& local_path, const std::string& remote_path);
bool DownloadFile(IFtp& ftp, const std::string& remote_path, const std::string& local_path);

// What a synchronisation did.
enum class SyncOutcome {
    Placed,      // no local file: the server's copy was placed
    Replaced,    // the local file was smaller: the server's copy replaced it
    Kept,        // the local file is as large or larger: it stays
    Merged,      // the server's copy and the local file were merged into the local file
    Foreign,     // the server sent something that is no data file of this account: ignored
    NotOnServer, // the server was reached and holds no copy
    Unreachable, // the server could not be reached or refused the sign-in
    Failed,      // the transfer layer could not be set up, or the transfer or the local
                 // replacement failed
};

struct SyncResult {
    SyncResult() = default;
    SyncResult(std::int64_t local_size, SyncOutcome how) : size(local_size), outcome(how) {}

    // The size of the local file when the server's copy was fetched (placed, replaced or kept),
    // 0 when nothing was fetched.
    std::int64_t size = 0;
    SyncOutcome outcome = SyncOutcome::Failed;
    // For the data file: true when the server now holds the merged file.
    bool uploaded = false;
    // For the data file: true when the local change was made on the file merged with the
    // server's copy while this computer held the server's lock (a ticket's number is then
    // this ticket's alone); false when it was made on the local file alone.
    bool changed_with_server = false;
    // Printed references that the merge found on two different tickets (one printed while this
    // computer could not reach the server): the ticket that moved keeps its reference.
    std::vector<std::string> shared_references;
    // True when the local file now holds exactly the server's copy.
    bool local_is_server_copy() const {
        return outcome == SyncOutcome::Placed || outcome == SyncOutcome::Replaced;
    }
};

// Brings the signed mandate up to date from the server: the server's copy replaces the local file
// only when it is a PDF document and the local file is missing or strictly smaller; anything else
// is ignored and reported (Foreign). The copy is fetched into a temporary file
// next to the local one and renamed into place; on any failure the temporary file is removed and
// the local file is untouched. An empty `local_path` stands for `data_file`. When the transfer
// layer cannot be set up, shows the fixed session message.
SyncResult SyncFromServer(IFtp& ftp, IPrompts& prompts, const std::string& remote_path,
                          const std::string& local_path, const std::string& data_file = {});

// A change of the local data file made in the middle of a synchronisation (a ticket recorded
// under the number the merged file gives). It runs while nothing else may change the file; true
// when it changed the file.
using LocalChange = std::function<bool(const std::string& data_file)>;

// Synchronises the data file of an account with the server's copy, losing nothing on either side:
// takes the account's lock on the server (see IFtp::Lock) so that no other computer uploads in
// between, downloads the server's copy, refuses it when it is no data file of this account,
// merges it with the local file (see MergeDataFiles), keeps a dated copy of the local file in the
// backups folder when the merge changes it, writes the merged file in one atomic step, makes
// `change`, and uploads the result whenever the server's copy lacks anything of it (whatever
// `upload` says: a mark that could not be written must not keep tickets off the server). Each
// upload is checked by downloading the server's copy again, merging and uploading again if it
// still lacks something (a computer that ignored the lock). Without a usable server copy the
// change is made on the local file alone and the upload stays owed (a mark beside the data file)
// until a later synchronisation succeeds. A local file that is missing receives the server's copy
// as it is. `upload` asks for the upload to be owed from the start, before any transfer.
SyncResult SyncDataFile(IFtp& ftp, IPrompts* prompts, const std::string& data_file,
                        const std::string& account_key, bool upload,
                        const LocalChange& change = {});

// Synchronises and uploads the data file (SyncDataFile with `upload`); true when the server holds
// the merged file. Callers may ignore it.
bool UploadDataFile(IFtp& ftp, const std::string& local_path, const std::string& name);

// Held while the data file is read and rewritten: by a synchronisation running beside the windows
// and by the windows' own saves, so that neither writes its version over the other's change.
std::unique_lock<std::mutex> LockDataFile();

// True while an upload of the data file is owed to the server.
bool UploadOwed(const std::string& data_file);

// The folder of the data file's backups, and how many dated copies it keeps.
std::string BackupFolder(const std::string& data_file);
inline constexpr std::size_t kBackupsKept = 20;

// Removes what an interrupted save or transfer of the data file left beside it.
void RemoveLeftovers(const std::string& data_file);

} // namespace kerbolt::web
