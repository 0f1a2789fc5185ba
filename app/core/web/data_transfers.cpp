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
#include <vector>

namespace kerbolt::modUpload {

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

} // namespace kerbolt::modUpload

namespace kerbolt::modUpload {

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
    if (!fs::exists(OwedMark(data_file), ec)) ini::WriteFileAtomically(OwedMark(data_file), "1");
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
    ini::WriteFileAtomically((folder / name).string(), bytes, /*owner_only=*/true);

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
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) ok = false;
    return bytes;
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
    ini::RemoveLeftoverTemporaries(data_file);
}

SyncResult SyncDataFile(IFtp& ftp, IPrompts* prompts, const std::string& data_file,
                        const std::string& account_key, bool upload) {
    if (data_file.empty()) return SyncResult{0, SyncOutcome::Failed};
    const bool owe = upload || UploadOwed(data_file);
    const std::string temp = data_file + ".part";
    std::error_code ec;
    const auto give_up = [&](SyncOutcome outcome) {
        fs::remove(temp, ec);
        // The server did not get what it should have: the next save or start tries again.
        if (owe) SetOwed(data_file, true);
        return SyncResult{0, outcome};
    };
    // The debt is written down before the transfers begin: a program ended in the middle of them
    // (the window closed while the upload ran beside it) pays it at the next start.
    if (upload && fs::is_regular_file(data_file, ec)) SetOwed(data_file, true);

    switch (ftp.Download(DataFileDownloadPath(account_key), temp)) {
    case FtpStatus::Ok:
        break;
    case FtpStatus::SessionFailed:
        if (prompts != nullptr) prompts->Show(kSessionFailedMessage, MessageIcon::None);
        return give_up(SyncOutcome::Failed);
    case FtpStatus::Unreachable:
        return give_up(SyncOutcome::Unreachable);
    case FtpStatus::NotFound: {
        fs::remove(temp, ec);
        SyncResult result{0, SyncOutcome::NotOnServer};
        // A new account: the first upload makes the server's copy.
        if (owe && fs::is_regular_file(data_file, ec)) {
            result.uploaded = UploadFile(ftp, data_file, DataFileUploadPath(account_key));
            SetOwed(data_file, !result.uploaded);
        }
        return result;
    }
    case FtpStatus::Failed:
        return give_up(SyncOutcome::Failed);
    }

    const ini::Document server = ini::Document::Load(temp);
    bool read_ok = false;
    const std::string server_bytes = ReadBytes(temp, read_ok);
    if (!server.Readable() || !read_ok) return give_up(SyncOutcome::Failed);
    if (!IsAccountDataFile(server, account_key)) {
        std::fprintf(stderr, "The server's copy of the data file is no data file of this account; "
                             "it was ignored.\n");
        return give_up(SyncOutcome::Foreign);
    }

    // From here to the write the local file must not change under the merge.
    std::unique_lock<std::mutex> lock = LockDataFile();
    if (!fs::is_regular_file(data_file, ec)) {
        fs::remove(temp, ec);
        if (!ini::WriteFileAtomically(data_file, server_bytes, /*owner_only=*/true))
            return give_up(SyncOutcome::Failed);
        return {static_cast<std::int64_t>(server_bytes.size()), SyncOutcome::Placed};
    }
    fs::remove(temp, ec);

    bool local_ok = false;
    const std::string local_bytes = ReadBytes(data_file, local_ok);
    // Parsed once for the merge and for the windows, which read the same file next.
    const std::shared_ptr<const ini::Document> local = ini::LoadShared(data_file);
    if (!local_ok || !local->Readable()) return give_up(SyncOutcome::Failed);
    const std::string merged = MergeDataFiles(*local, server);
    if (merged != local_bytes) {
        KeepBackup(data_file, local_bytes);
        if (!ini::WriteFileAtomically(data_file, merged, /*owner_only=*/true))
            return give_up(SyncOutcome::Failed);
    }
    lock.unlock();
    SyncResult result{static_cast<std::int64_t>(merged.size()), SyncOutcome::Merged};
    if (owe) {
        result.uploaded =
            merged == server_bytes || UploadFile(ftp, data_file, DataFileUploadPath(account_key));
        SetOwed(data_file, !result.uploaded);
    }
    return result;
}

} // namespace kerbolt::modUpload
