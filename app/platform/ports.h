// Ports to the world outside the process. The windows and the core talk to these interfaces only;
// main.cpp builds the real adapters, tests hand in fakes.
#pragma once

#include <string>

namespace kerbolt {

// A local date and time.
struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual DateTime Now() = 0;
};

// Message boxes: every box carries the application's title.
enum class MessageIcon { None, Information, Exclamation, Critical };

class IPrompts {
public:
    virtual ~IPrompts() = default;
    // A box with an OK button.
    virtual void Show(const std::string& text, MessageIcon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const std::string& text, MessageIcon icon) = 0;
};

// Opening documents and pages with their default handler, and starting programs.
class IShell {
public:
    virtual ~IShell() = default;
    virtual bool OpenDocument(const std::string& path) = 0;
    virtual bool OpenUrl(const std::string& url) = 0;
    // Starts a program with its arguments, in `working_folder` when one is given.
    virtual bool StartProgram(const std::string& path, const std::string& arguments,
                              const std::string& working_folder = {}) = 0;
};

// Ending the process.
class IExit {
public:
    virtual ~IExit() = default;
    virtual void Exit(int code) = 0;
};

// Where the program keeps its files.
class IPaths {
public:
    virtual ~IPaths() = default;
    // The per-user data folder (it may not exist yet).
    virtual std::string DataFolder() = 0;
    // The system's folder for temporary files.
    virtual std::string TempFolder() = 0;
};

// A file in a folder, joined with the platform's separator ("\\" on Windows), never doubled.
inline std::string PathIn(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    const bool ends = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    return ends ? folder + name : folder + '\\' + name;
#else
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + '/' + name;
#endif
}

// How an FTP transfer ended.
enum class FtpStatus {
    Ok,
    SessionFailed, // the transfer layer itself could not be set up
    Unreachable,   // no connection or no sign-in to the server
    NotFound,      // the server was reached and holds no such file
    Failed,        // any other failure (local file, transfer broken off)
};

// Transfers to and from the operator's FTP server, one connection per call. Remote paths are
// sent to the server as given: "/web/..." stays absolute, "web/..." stays relative.
class IFtp {
public:
    virtual ~IFtp() = default;
    // Puts a local file under the remote path, replacing the server's copy.
    virtual FtpStatus Upload(const std::string& local_path, const std::string& remote_path) = 0;
    // Gets a remote file into the local path, which is created (or emptied) before the transfer
    // begins, so an empty remote file gives an empty local one. On failure the local file may
    // hold a part of the data.
    virtual FtpStatus Download(const std::string& remote_path, const std::string& local_path) = 0;
    // Takes the lock `remote_folder` on the server, a folder made by this call (the server
    // refuses to make one that exists, whoever asks at the same moment), waiting while another
    // computer holds it. A lock held far longer than any transfer may last is taken as left by
    // a program that ended while holding it, and is broken. Ok when held; Unreachable when the
    // server cannot be reached; Failed when the server makes no such folder at all.
    virtual FtpStatus Lock(const std::string& remote_folder) = 0;
    // Gives a lock taken with Lock back: Ok, or NotFound when there was none to give back.
    virtual FtpStatus Unlock(const std::string& remote_folder) = 0;
};

} // namespace kerbolt
