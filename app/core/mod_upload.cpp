#include "app/core/mod_upload.h"

#include <filesystem>

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
    return UploadFile(ftp, local_path, DataFileUploadPath(name));
}

} // namespace kerbolt::modUpload
