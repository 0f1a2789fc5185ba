#include "tests/support/http_server.h"

#include "tests/support/script_server.h"
#include "tests/support/temp_dir.h"

#include <sstream>

namespace testing_support {
namespace {

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

} // namespace

HttpServer::HttpServer(const std::string& root, const std::string& log_path, int lifetime_seconds,
                       const std::string& tls_cert, const std::string& tls_key)
    : tls_(!tls_cert.empty()), log_path_(log_path) {
    std::vector<std::string> tls;
    if (!tls_cert.empty()) tls = {"--tls-cert", tls_cert, "--tls-key", tls_key};
    const ScriptServerProcess server =
        StartScriptServer("tests/support/http_server.py", root, log_path, lifetime_seconds, tls);
    pid_ = server.pid;
    port_ = server.port;
}

HttpServer::~HttpServer() {
    StopScriptServer(pid_);
}

std::string HttpServer::BaseUrl() const {
    return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_);
}

std::vector<LoggedRequest> HttpServer::Requests() const {
    std::vector<LoggedRequest> requests;
    std::istringstream log(ReadFileBytes(log_path_));
    std::string line;
    while (std::getline(log, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const auto tab = line.find('\t', start);
            fields.push_back(Unescape(line.substr(start, tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        fields.resize(4);
        requests.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return requests;
}

} // namespace testing_support
