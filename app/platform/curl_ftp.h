// The FTP port on libcurl: passive mode, binary, no proxy, one connection per call, limits on
// connecting and on each reply so that a dead server cannot freeze the program.
#pragma once

#include "app/platform/config.h"
#include "app/platform/ports.h"

#include <string>

namespace kerbolt {

class CurlFtp : public IFtp {
public:
    explicit CurlFtp(ServerConfig config = DefaultServerConfig());

    FtpStatus Upload(const std::string& local_path, const std::string& remote_path) override;
    FtpStatus Download(const std::string& remote_path, const std::string& local_path) override;
    FtpStatus Lock(const std::string& remote_folder) override;
    FtpStatus Unlock(const std::string& remote_folder) override;

    // The URL of a remote path. The server is sent the path as given: a leading "/" becomes
    // "%2F" so that it stays absolute.
    std::string UrlOf(const std::string& remote_path) const;

private:
    // Sends one command once signed in; CURLE_QUOTE_ERROR when the server refuses it.
    int Command(const std::string& command) const;

    ServerConfig config_;
};

} // namespace kerbolt
