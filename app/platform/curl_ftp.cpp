#include "app/platform/curl_ftp.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace kerbolt {

namespace {

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

CurlHandle OpenSession() {
    static std::once_flag once;
    static bool global_ok = false;
    std::call_once(once, [] { global_ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return CurlHandle(global_ok ? curl_easy_init() : nullptr);
}

std::string PercentEncodePath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

void SetCommonOptions(CURL* curl, const ServerConfig& config, const std::string& url) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    // The account is handed over apart from the URL, so that it never shows in one.
    curl_easy_setopt(curl, CURLOPT_USERNAME, config.ftp_user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, config.ftp_password.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, ""); // direct, whatever the environment says
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    // The path goes to the server in one piece, as given (no change of directory first).
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_FTP_CREATE_MISSING_DIRS, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, config.ftp_connect_timeout_s);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, config.ftp_response_timeout_s);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, config.ftp_response_timeout_s);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT,
                     config.ftp_connect_timeout_s + config.ftp_transfer_timeout_s);
    // The password and the data file travel encrypted when the server offers it, in the clear
    // otherwise.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
}

FtpStatus StatusOf(CURLcode code) {
    switch (code) {
    case CURLE_OK:
        return FtpStatus::Ok;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_LOGIN_DENIED:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_ACCEPT_TIMEOUT:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return FtpStatus::Unreachable;
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return FtpStatus::NotFound;
    default:
        return FtpStatus::Failed;
    }
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(file));
}

std::size_t ReadFromFile(char* data, std::size_t size, std::size_t count, void* file) {
    const std::size_t n = std::fread(data, size, count, static_cast<std::FILE*>(file));
    if (n == 0 && std::ferror(static_cast<std::FILE*>(file))) return CURL_READFUNC_ABORT;
    return n;
}

} // namespace

CurlFtp::CurlFtp(ServerConfig config) : config_(std::move(config)) {}

std::string CurlFtp::UrlOf(const std::string& remote_path) const {
    std::string path = PercentEncodePath(remote_path);
    if (!remote_path.empty() && remote_path.front() == '/') path = "%2F" + path.substr(1);
    return "ftp://" + config_.ftp_host + ":" + std::to_string(config_.ftp_port) + "/" + path;
}

namespace {

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// A name part no other upload uses, on this computer or another: random, and counted within
// the process.
std::string UploadTag() {
    static const std::uint64_t process = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    static std::atomic<std::uint32_t> counter{0};
    char text[32];
    std::snprintf(text, sizeof text, "%016llx%04x", static_cast<unsigned long long>(process),
                  static_cast<unsigned>(counter.fetch_add(1) & 0xFFFF));
    return text;
}

// Sends the open file to `url`; `after` are commands the server gets once the file is stored.
CURLcode Store(const ServerConfig& config, std::FILE* file, curl_off_t size, const std::string& url,
               curl_slist* after) {
    CurlHandle curl = OpenSession();
    if (!curl) return CURLE_FAILED_INIT;
    std::fseek(file, 0, SEEK_SET);
    SetCommonOptions(curl.get(), config, url);
    curl_easy_setopt(curl.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_READFUNCTION, &ReadFromFile);
    curl_easy_setopt(curl.get(), CURLOPT_READDATA, file);
    curl_easy_setopt(curl.get(), CURLOPT_INFILESIZE_LARGE, size);
    if (after != nullptr) curl_easy_setopt(curl.get(), CURLOPT_POSTQUOTE, after);
    return curl_easy_perform(curl.get());
}

} // namespace

FtpStatus CurlFtp::Upload(const std::string& local_path, const std::string& remote_path) {
    if (!OpenSession()) return FtpStatus::SessionFailed;
    FileHandle file(std::fopen(local_path.c_str(), "rb"));
    if (!file) return FtpStatus::Failed;
    std::fseek(file.get(), 0, SEEK_END);
    const long size = std::ftell(file.get());
    if (size < 0) return FtpStatus::Failed;

    // A connection lost in the middle of a transfer leaves on the server what arrived so far. The
    // file therefore goes up under a temporary name and takes its place by a rename once whole,
    // so the server's copy is always the old one or the new one. The name is this upload's own:
    // two computers uploading at once must not rename each other's half-sent file.
    const std::string temporary = remote_path + "." + UploadTag() + ".part";
    std::unique_ptr<curl_slist, SlistDeleter> rename;
    for (const std::string& command : {"RNFR " + temporary, "RNTO " + remote_path}) {
        curl_slist* grown = curl_slist_append(rename.get(), command.c_str());
        if (grown == nullptr) return FtpStatus::SessionFailed;
        // The grown list is the same list: the holder lets go of it before taking it again, so
        // that its head is never freed.
        static_cast<void>(rename.release());
        rename.reset(grown);
    }
    const CURLcode code = Store(config_, file.get(), size, UrlOf(temporary), rename.get());
    // A server that refuses the rename (or a temporary name) still takes the file directly.
    if (code == CURLE_QUOTE_ERROR || code == CURLE_UPLOAD_FAILED ||
        code == CURLE_REMOTE_ACCESS_DENIED)
        return StatusOf(Store(config_, file.get(), size, UrlOf(remote_path), nullptr));
    if (code == CURLE_FAILED_INIT) return FtpStatus::SessionFailed;
    return StatusOf(code);
}

int CurlFtp::Command(const std::string& command) const {
    CurlHandle curl = OpenSession();
    if (!curl) return CURLE_FAILED_INIT;
    std::unique_ptr<curl_slist, SlistDeleter> commands(curl_slist_append(nullptr, command.c_str()));
    if (!commands) return CURLE_FAILED_INIT;
    SetCommonOptions(curl.get(), config_, UrlOf(""));
    curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_QUOTE, commands.get());
    return curl_easy_perform(curl.get());
}

FtpStatus CurlFtp::Lock(const std::string& remote_folder) {
    using Clock = std::chrono::steady_clock;
    // The longest a holder keeps the lock: a few transfers, each bounded by the time-outs.
    const auto held_at_most =
        std::chrono::seconds(4 * (config_.ftp_connect_timeout_s + config_.ftp_transfer_timeout_s));
    auto waiting_since = Clock::now();
    int no_folder = 0;
    bool broken = false;
    for (;;) {
        const int made = Command("MKD " + remote_folder);
        if (made == CURLE_OK) return FtpStatus::Ok;
        if (made == CURLE_FAILED_INIT) return FtpStatus::SessionFailed;
        if (made != CURLE_QUOTE_ERROR) return StatusOf(static_cast<CURLcode>(made));
        // Refused: another computer holds the lock, or the server makes no folder there. The
        // holder may also have given it back in between: only a second refusal without a
        // folder means the server makes none.
        const int there = Command("CWD " + remote_folder);
        if (there == CURLE_QUOTE_ERROR) {
            if (++no_folder == 2) return FtpStatus::Failed;
            continue;
        }
        if (there != CURLE_OK) return StatusOf(static_cast<CURLcode>(there));
        no_folder = 0;
        if (Clock::now() - waiting_since > held_at_most) {
            // A lock that outlives its breaking too cannot be taken at all: go on without it.
            if (broken) return FtpStatus::Failed;
            broken = true;
            Command("RMD " + remote_folder);
            waiting_since = Clock::now();
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

FtpStatus CurlFtp::Unlock(const std::string& remote_folder) {
    const int removed = Command("RMD " + remote_folder);
    if (removed == CURLE_FAILED_INIT) return FtpStatus::SessionFailed;
    if (removed == CURLE_QUOTE_ERROR) return FtpStatus::NotFound;
    return StatusOf(static_cast<CURLcode>(removed));
}

FtpStatus CurlFtp::Download(const std::string& remote_path, const std::string& local_path) {
    CurlHandle curl = OpenSession();
    if (!curl) return FtpStatus::SessionFailed;
    // Created before the transfer: an empty remote file gives an empty local file.
    FileHandle file(std::fopen(local_path.c_str(), "wb"));
    if (!file) return FtpStatus::Failed;

    SetCommonOptions(curl.get(), config_, UrlOf(remote_path));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteToFile);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, file.get());
    const FtpStatus status = StatusOf(curl_easy_perform(curl.get()));
    if (std::fclose(file.release()) != 0 && status == FtpStatus::Ok) return FtpStatus::Failed;
    return status;
}

} // namespace kerbolt
