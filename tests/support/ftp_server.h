// The stand-in FTP server (tests/support/ftp_server.py) for one test: started on a free port of
// 127.0.0.1 with a root folder and a command log, bounded in time, stopped when the object goes.
#pragma once

#include <string>
#include <sys/types.h>

namespace testing_support {

class FtpServer {
public:
    // Starts the server serving `root` (created with web/ctrl/KB/Mandats) and waits until it
    // listens. Throws std::runtime_error when it does not come up.
    explicit FtpServer(const std::string& root, const std::string& log_path,
                       int lifetime_seconds = 300);
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int Port() const { return port_; }
    // The commands the server received so far, one a line ("RETR web/ctrl/KB/KEY").
    std::string Log() const;

private:
    void Stop();

    pid_t pid_ = -1;
    int port_ = 0;
    std::string log_path_;
};

// A port of 127.0.0.1 on which nothing listens (it was free a moment ago).
int ClosedLoopbackPort();

} // namespace testing_support
