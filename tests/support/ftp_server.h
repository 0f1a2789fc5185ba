// The stand-in FTP server (tests/support/ftp_server.py) for one test: started on a free port of
// 127.0.0.1 with a root folder and a command log, bounded in time, stopped when the object goes.
#pragma once

#include <string>
#include <sys/types.h>

namespace testing_support {

// Faults the server can be asked to show (see ftp_server.py).
struct FtpFaults {
    bool hang = false;            // accepts connections and never answers
    long die_after_download = -1; // ends itself when a download has sent this many bytes
    long die_after_upload = -1;   // ends itself when an upload has received this many bytes
    int slow_ms = 0;              // waits this long before each download and upload
};

class FtpServer {
public:
    // Starts the server serving `root` (created with web/ctrl/KB/Mandats) and waits until it
    // listens. Throws std::runtime_error when it does not come up.
    explicit FtpServer(const std::string& root, const std::string& log_path,
                       int lifetime_seconds = 300, FtpFaults faults = {});
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int Port() const { return port_; }
    // The commands the server received so far, one a line ("RETR web/ctrl/KB/KEY").
    std::string Log() const;
    // True once the server has ended (a fault switch made it die), waiting up to `seconds`.
    bool Ended(double seconds = 5);

private:
    void Stop();

    pid_t pid_ = -1;
    int port_ = 0;
    std::string log_path_;
};

// A port of 127.0.0.1 on which nothing listens (it was free a moment ago).
int ClosedLoopbackPort();

} // namespace testing_support
