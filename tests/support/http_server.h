// The stand-in web server (tests/support/http_server.py) for one test: started on a free port of
// 127.0.0.1 serving the files under a root folder, logging every request, bounded in time,
// stopped when the object goes.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// One request as the server logged it.
struct LoggedRequest {
    std::string method;
    std::string path; // with its query ("?" included)
    std::string content_type;
    std::string body;
};

class HttpServer {
public:
    // With a certificate and its key (PEM files) the server speaks HTTPS.
    explicit HttpServer(const std::string& root, const std::string& log_path,
                        int lifetime_seconds = 300, const std::string& tls_cert = {},
                        const std::string& tls_key = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:PORT" ("https://" with a certificate)
    std::string BaseUrl() const;
    std::vector<LoggedRequest> Requests() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    bool tls_ = false;
    std::string log_path_;
};

} // namespace testing_support
