// Transfers of the data file and the signed mandate between this computer and the operator's
// FTP server, on top of the IFtp port.
#pragma once

#include "app/platform/ports.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace kerbolt::modUpload {

// Remote paths. The data file goes up under an absolute path and comes down under a relative
// one; the server maps both to the same file.
std::string DataFileUploadPath(const std::string& account_key);   // "/web/ctrl/KB/" + key
std::string DataFileDownloadPath(const std::string& account_key); // "web/ctrl/KB/" + key
std::string MandateDownloadPath(const std::string& account_key);
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
    // The size of the local file when the server's copy was fetched (placed, replaced or kept),
    // 0 when nothing was fetched.
    std::int64_t size = 0;
    SyncOutcome outcome = SyncOutcome::Failed;
    // For the data file: true when the server now holds the merged file.
    bool uploaded = false;
    // True when the local file now holds exactly the server's copy.
    bool local_is_server_copy() const {
        return outcome == SyncOutcome::Placed || outcome == SyncOutcome::Replaced;
    }
};

// Brings a local file up to date from the server: the server's copy replaces the local file only
// when the local file is missing or strictly smaller. The copy is fetched into a temporary file
// next to the local one and renamed into place; on any failure the temporary file is removed and
// the local file is untouched. An empty `local_path` stands for `data_file`. When the transfer
// layer cannot be set up, shows the fixed session message.
SyncResult SyncFromServer(IFtp& ftp, IPrompts& prompts, const std::string& remote_path,
                          const std::string& local_path, const std::string& data_file = {});

// Synchronises the data file of an account with the server's copy, losing nothing on either side:
// downloads the server's copy, refuses it when it is no data file of this account, merges it with
// the local file (see MergeDataFiles), keeps a dated copy of the local file in the backups folder
// when the merge changes it, writes the merged file in one atomic step, and uploads it when
// `upload` is set or an earlier upload is still owed. Without a usable server copy nothing is
// uploaded and the upload stays owed (a mark beside the data file) until a later synchronisation
// succeeds. A local file that is missing receives the server's copy as it is.
SyncResult SyncDataFile(IFtp& ftp, IPrompts* prompts, const std::string& data_file,
                        const std::string& account_key, bool upload);

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

} // namespace kerbolt::modUpload
