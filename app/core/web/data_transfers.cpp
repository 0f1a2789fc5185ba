#include "app/core/web/data_transfers.h"

#include "app/core/store/data_merge.h"
#include "app/core/store/file_cache.h"
#include "app/core/store/ini_file.h"
#include "app/platform/ports.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace kerbolt::web {

namespace fs = std::filesystem;

std::string DataFileUploadPath(const std::string& account_key) {
    return "/web/ctrl/KB/" + account_key;
}

std::string DataFileDownloadPath(const std::string& account_key) {
    return "web/ctrl/KB/" + account_key;
}

std::string MandateDownloadPath(const std::string& account_key) {
    return "web/ctrl/KB/Mandats/Mandat_" + account_key + ".pdf";
}

std::string MandateLocalPath(const std::string& data_folder, const std::string& account_key) {
    return PathIn(data_folder, "Mandat_" + account_key + ".pdf");
}

namespace {

// A PDF document begins with "%PDF-" within its first 1024 bytes.
bool LooksLikePdf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.find("%PDF-") != std::string::npos;
}

} // namespace

bool UploadFile(IFtp& ftp, const std::string& local_path, const std::string& remote_path) {
    return ftp.Upload(local_path, remote_path) == FtpStatus::Ok;
}

bool DownloadFile(IFtp& ftp, const std::string& remote_path, const std::string& local_path) {
    return ftp.Download(remote_path, local_path) == FtpStatus::Ok;
}

SyncResult SyncFromServer(IFtp& ftp, IPrompts& prompts, const std::string& remote_path,
                          const std::string& local_path, const std::string& data_file) {
    const std::string local = local_path.empty() ? data_file : local_path;
    // Without a local path there is nowhere to put the copy (and no temporary file is made in
    // whatever the working folder is).
    if (local.empty()) return SyncResult{0, SyncOutcome::Failed};
    // Next to the local file, so that the rename stays on one file system and never leaves a
    // half-copied file in its place.
    const std::string temp = local + ".part";
    std::error_code ec;
    const auto fail = [&](SyncOutcome outcome) {
        fs::remove(temp, ec);
        return SyncResult{0, outcome};
    };

    switch (ftp.Download(remote_path, temp)) {
    case FtpStatus::Ok:
        break;
    case FtpStatus::SessionFailed:
        prompts.Show(kSessionFailedMessage, MessageIcon::None);
        return fail(SyncOutcome::Failed);
    case FtpStatus::Unreachable:
        return fail(SyncOutcome::Unreachable);
    case FtpStatus::NotFound:
        return fail(SyncOutcome::NotOnServer);
    case FtpStatus::Failed:
        return fail(SyncOutcome::Failed);
    }

    const auto fetched = fs::file_size(temp, ec);
    if (ec) return fail(SyncOutcome::Failed);
    // The only file fetched this way is the signed mandate, a PDF document: an error page or
    // junk in its place never replaces the local document, however large it is.
    if (!LooksLikePdf(temp)) {
        std::fprintf(stderr, "The server sent no PDF document for %s; it was ignored.\n",
                     remote_path.c_str());
        return fail(SyncOutcome::Foreign);
    }
    const bool local_exists = fs::is_regular_file(local, ec);
    if (local_exists) {
        const auto local_size = fs::file_size(local, ec);
        if (ec) return fail(SyncOutcome::Failed);
        if (local_size >= fetched) {
            fs::remove(temp, ec);
            return {static_cast<std::int64_t>(local_size), SyncOutcome::Kept};
        }
    }
    fs::rename(temp, local, ec);
    if (ec) return fail(SyncOutcome::Failed);
    return {static_cast<std::int64_t>(fetched),
            local_exists ? SyncOutcome::Replaced : SyncOutcome::Placed};
}

bool UploadDataFile(IFtp& ftp, const std::string& local_path, const std::string& name) {
    return SyncDataFile(ftp, nullptr, local_path, name, /*upload=*/true).uploaded;
}

} // namespace kerbolt::web

namespace kerbolt::web {

namespace {

std::string OwedMark(const std::string& data_file) {
    return data_file + ".unsynced";
}

void SetOwed(const std::string& data_file, bool owed) {
    std::error_code ec;
    if (!owed) {
        fs::remove(OwedMark(data_file), ec);
        return;
    }
    if (!fs::exists(OwedMark(data_file), ec)) store::WriteFileAtomically(OwedMark(data_file), "1");
}

// "yyyymmdd-hhmmss-mmm" in UTC: names that sort by time.
std::string Stamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis));
    return text;
}

// Keeps the local file's bytes as a dated copy before a synchronisation rewrites it, and only the
// newest kBackupsKept copies.
void KeepBackup(const std::string& data_file, const std::string& bytes) {
    const fs::path folder = BackupFolder(data_file);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return;
    const std::string base = fs::path(data_file).filename().string() + "-" + Stamp();
    std::string name = base;
    for (int n = 1; fs::exists(folder / name, ec); ++n)
        name = base + "-" + std::to_string(n);
    store::WriteFileAtomically((folder / name).string(), bytes, /*owner_only=*/true);

    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec)) copies.push_back(entry.path());
    }
    if (copies.size() <= kBackupsKept) return;
    // The stamp has a fixed width, so the names sort by time (a suffix "-n" sorts after its stamp).
    std::sort(copies.begin(), copies.end());
    for (std::size_t i = 0; i + kBackupsKept < copies.size(); ++i)
        fs::remove(copies[i], ec);
}

std::string ReadBytes(const std::string& path, bool& ok) {
    std::optional<std::string> bytes = store::ReadFileBytes(path);
    ok = bytes.has_value();
    return bytes ? std::move(*bytes) : std::string();
}

} // namespace

std::string BackupFolder(const std::string& data_file) {
    return (fs::path(data_file).parent_path() / "backups").string();
}

std::unique_lock<std::mutex> LockDataFile() {
    static std::mutex mutex;
    return std::unique_lock<std::mutex>(mutex);
}

bool UploadOwed(const std::string& data_file) {
    std::error_code ec;
    return fs::exists(OwedMark(data_file), ec);
}

void RemoveLeftovers(const std::string& data_file) {
    std::error_code ec;
    fs::remove(data_file + ".part", ec);
    store::RemoveLeftoverTemporaries(data_file);
    // The owed mark is written the same way and may have been cut off as well.
    store::RemoveLeftoverTemporaries(OwedMark(data_file));
}

namespace {

// How many times an upload is checked and made again when the server's copy still lacks
// something: only a computer that ignores the lock can make a second round necessary.
constexpr int kUploadRounds = 4;

// Marks beside the data file that this computer left the server's lock behind (the server went
// away before the lock could be given back).
std::string LockLeftMark(const std::string& data_file) {
    return data_file + ".locked";
}

// Holds the server's lock and gives it back however the synchronisation ends. A lock this
// computer could not give back is given back before it is taken again, rather than making every
// computer of the account wait until it counts as abandoned.
class ServerLock {
public:
    ServerLock(IFtp& ftp, std::string folder, std::string left_mark)
        : ftp_(ftp), folder_(std::move(folder)), left_mark_(std::move(left_mark)) {
        std::error_code ec;
        if (fs::exists(left_mark_, ec)) {
            const FtpStatus given_back = ftp_.Unlock(folder_);
            if (given_back == FtpStatus::Ok || given_back == FtpStatus::NotFound)
                fs::remove(left_mark_, ec);
        }
        status_ = ftp_.Lock(folder_);
    }
    ~ServerLock() {
        if (status_ != FtpStatus::Ok) return;
        const FtpStatus given_back = ftp_.Unlock(folder_);
        if (given_back != FtpStatus::Ok && given_back != FtpStatus::NotFound)
            store::WriteFileAtomically(left_mark_, "1");
    }
    ServerLock(const ServerLock&) = delete;
    ServerLock& operator=(const ServerLock&) = delete;
    FtpStatus Status() const { return status_; }

private:
    IFtp& ftp_;
    std::string folder_;
    std::string left_mark_;
    FtpStatus status_ = FtpStatus::Failed;
};

struct SyncRun {
    IFtp& ftp;
    IPrompts* prompts;
    const std::string& data_file;
    const std::string& account_key;
    const LocalChange& change;
    bool owe = false;
    bool change_made = false;
    bool changed = false;

    // Makes the change once, under the local lock the caller holds.
    void MakeChange() {
        if (!change || change_made) return;
        change_made = true;
        changed = change(data_file);
        // Owed from this moment: a program ended before the upload pays it at the next start.
        if (changed) SetOwed(data_file, true);
    }

    SyncResult Run();
};

SyncResult SyncRun::Run() {
    const std::string temp = data_file + ".part";
    std::error_code ec;
    const auto give_up = [&](SyncOutcome outcome) {
        fs::remove(temp, ec);
        return SyncResult{0, outcome};
    };
    const auto report_session = [&] {
        if (prompts != nullptr) prompts->Show(kSessionFailedMessage, MessageIcon::None);
        return give_up(SyncOutcome::Failed);
    };

    const ServerLock server_lock(ftp, DataFileLockPath(account_key), LockLeftMark(data_file));
    switch (server_lock.Status()) {
    case FtpStatus::SessionFailed:
        return report_session();
    case FtpStatus::Unreachable:
        return give_up(SyncOutcome::Unreachable);
    default:
        // Held; or a server that makes no lock: the check after each upload still finds an
        // upload that came in between.
        break;
    }

    SyncResult result{0, SyncOutcome::Merged};
    std::shared_ptr<const std::string> sent; // the bytes of the last upload
    for (int round = 0; round <= kUploadRounds; ++round) {
        switch (ftp.Download(DataFileDownloadPath(account_key), temp)) {
        case FtpStatus::Ok:
            break;
        case FtpStatus::SessionFailed:
            return report_session();
        case FtpStatus::Unreachable:
            return give_up(SyncOutcome::Unreachable);
        case FtpStatus::NotFound: {
            fs::remove(temp, ec);
            if (round == 0) result.outcome = SyncOutcome::NotOnServer;
            if (!fs::is_regular_file(data_file, ec)) return result;
            {
                const auto lock = LockDataFile();
                MakeChange();
                result.changed_with_server = changed;
            }
            // A new account: the first upload makes the server's copy.
            if (!owe && !changed) return result;
            bool ok = false;
            std::string sending = ReadBytes(data_file, ok);
            if (!ok || round == kUploadRounds ||
                !UploadFile(ftp, data_file, DataFileUploadPath(account_key))) {
                result.uploaded = false;
                return result;
            }
            sent = std::make_shared<const std::string>(std::move(sending));
            continue;
        }
        case FtpStatus::Failed:
            return give_up(SyncOutcome::Failed);
        }

        bool read_ok = false;
        // The bytes are parsed where they are: a copy of a large file costs as much as its parse.
        const auto server_shared = std::make_shared<const std::string>(ReadBytes(temp, read_ok));
        const std::string& server_bytes = *server_shared;
        fs::remove(temp, ec);
        if (!read_ok) return give_up(SyncOutcome::Failed);
        const store::Document server = store::Document::ParseShared(server_shared);
        // What was just sent came back as it was sent: nothing came in between.
        if (sent && !sent->empty() && server_bytes == *sent) {
            result.uploaded = true;
            SetOwed(data_file, false);
            break;
        }
        if (!IsAccountDataFile(server, account_key)) {
            std::fprintf(stderr, "The server's copy of the data file is no data file of this "
                                 "account; it was ignored.\n");
            return give_up(SyncOutcome::Foreign);
        }

        std::shared_ptr<const std::string> mine;
        // This computer's copy as parsed for the merge, and its bytes, when the merge left it as
        // it was: while the file still holds those bytes it need not be parsed again.
        std::shared_ptr<const store::Document> mine_doc;
        std::shared_ptr<const std::string> unchanged;
        {
            // From here to the write the local file must not change under the merge.
            const auto lock = LockDataFile();
            if (!fs::is_regular_file(data_file, ec)) {
                if (!store::WriteFileAtomically(data_file, server_bytes, /*owner_only=*/true))
                    return give_up(SyncOutcome::Failed);
                if (round == 0) result.outcome = SyncOutcome::Placed;
            } else {
                // Parsed once for the merge and for the windows, which read the same file next,
                // from the bytes read then, unless it was kept as this program wrote it.
                const std::shared_ptr<const store::Document> local = store::LoadShared(data_file);
                if (!local->Readable()) return give_up(SyncOutcome::Failed);
                std::shared_ptr<const std::string> local_read = local->SourceBytes();
                if (!local_read) {
                    bool local_ok = false;
                    std::string bytes = ReadBytes(data_file, local_ok);
                    if (!local_ok) return give_up(SyncOutcome::Failed);
                    local_read = std::make_shared<const std::string>(std::move(bytes));
                }
                const std::string& local_bytes = *local_read;
                // Most often the merge changes nothing: its bytes are compared with the file's as
                // they come, and made whole only to be written.
                std::vector<std::string> references;
                std::size_t same = 0;
                bool differs = false;
                MergeDataFiles(*local, server, &references, [&](std::string_view piece) {
                    differs = local_bytes.compare(same, piece.size(), piece) != 0;
                    same += piece.size();
                    return !differs;
                });
                if (!differs && same == local_bytes.size()) {
                    result.shared_references.insert(result.shared_references.end(),
                                                    references.begin(), references.end());
                    mine_doc = local;
                    unchanged = std::move(local_read);
                } else {
                    const std::string merged =
                        MergeDataFiles(*local, server, &result.shared_references);
                    KeepBackup(data_file, local_bytes);
                    if (!store::WriteFileAtomically(data_file, merged, /*owner_only=*/true))
                        return give_up(SyncOutcome::Failed);
                }
            }
            MakeChange();
            if (changed) result.changed_with_server = true;
            // Unless something wrote the file since the merge left it as it was, the data file's
            // reader still holds that document, by the rule every window reads the file by.
            if (unchanged && store::LoadShared(data_file) == mine_doc) {
                mine = std::move(unchanged);
            } else {
                bool ok = false;
                std::string bytes = ReadBytes(data_file, ok);
                if (!ok) return give_up(SyncOutcome::Failed);
                mine = std::make_shared<const std::string>(std::move(bytes));
                mine_doc.reset();
            }
        }
        result.size = static_cast<std::int64_t>(mine->size());

        // The server's copy lacks nothing of this computer's: nothing to send, or what was sent
        // has arrived.
        // A server's copy that is this computer's byte for byte holds all of it: the usual start,
        // with nothing sent since the last synchronisation, needs no comparison key by key.
        if (*mine == server_bytes ||
            HoldsAll(server, mine_doc ? *mine_doc : store::Document::Parse(*mine))) {
            result.uploaded = true;
            SetOwed(data_file, false);
            break;
        }
        if (round == kUploadRounds ||
            !UploadFile(ftp, data_file, DataFileUploadPath(account_key))) {
            result.uploaded = false;
            break;
        }
        sent = std::move(mine);
        // The next round downloads the server's copy again: the check that the upload arrived
        // whole and that no other upload took its place.
    }
    std::sort(result.shared_references.begin(), result.shared_references.end());
    result.shared_references.erase(
        std::unique(result.shared_references.begin(), result.shared_references.end()),
        result.shared_references.end());
    return result;
}

} // namespace

std::string DataFileLockPath(const std::string& account_key) {
    return DataFileUploadPath(account_key) + ".lock";
}

SyncResult SyncDataFile(IFtp& ftp, IPrompts* prompts, const std::string& data_file,
                        const std::string& account_key, bool upload, const LocalChange& change) {
    if (data_file.empty()) return SyncResult{0, SyncOutcome::Failed};
    std::error_code ec;
    // The debt is written down before the transfers begin: a program ended in the middle of them
    // (the window closed while the upload ran beside it) pays it at the next start.
    if (upload && fs::is_regular_file(data_file, ec)) SetOwed(data_file, true);
    SyncRun run{ftp, prompts, data_file, account_key, change};
    run.owe = upload || UploadOwed(data_file);
    SyncResult result = run.Run();
    if (change && !run.change_made) {
        // Without the server the change is made on the local file alone.
        const auto lock = LockDataFile();
        run.MakeChange();
        result.changed_with_server = false;
    }
    // The server did not get what it should have: the next save or start tries again.
    if (!result.uploaded && (run.owe || run.changed) && fs::is_regular_file(data_file, ec))
        SetOwed(data_file, true);
    return result;
}

} // namespace kerbolt::web
