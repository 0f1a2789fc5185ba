#include "tests/support/ftp_server.h"

#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testing_support {

FtpServer::FtpServer(const std::string& root, const std::string& log_path, int lifetime_seconds,
                     FtpFaults faults)
    : log_path_(log_path) {
    RequireLoopbackServers("the FTP stand-in");
    const std::string script = SourceDir() + "/tests/support/ftp_server.py";
    const std::string port_file = log_path + ".port";
    const std::string lifetime = std::to_string(lifetime_seconds);
    // A server started before under the same log left its port behind.
    std::remove(port_file.c_str());
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("cannot start the FTP server");
    if (pid_ == 0) {
        std::vector<std::string> args = {"python3",    script,   "--port",      "0",
                                         "--root",     root,     "--log",       log_path,
                                         "--lifetime", lifetime, "--port-file", port_file};
        if (faults.hang) args.push_back("--hang");
        if (faults.die_after_download >= 0) {
            args.push_back("--die-after-download");
            args.push_back(std::to_string(faults.die_after_download));
        }
        if (faults.slow_ms > 0) {
            args.push_back("--slow");
            args.push_back(std::to_string(faults.slow_ms / 1000.0));
        }
        if (faults.die_after_upload >= 0) {
            args.push_back("--die-after-upload");
            args.push_back(std::to_string(faults.die_after_upload));
        }
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv("/usr/bin/python3", argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string text = ReadFileBytes(port_file);
        if (!text.empty()) {
            port_ = std::stoi(text);
            return;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    throw std::runtime_error("the FTP server did not come up");
}

FtpServer::~FtpServer() {
    Stop();
}

void FtpServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

bool FtpServer::Ended(double seconds) {
    if (pid_ <= 0) return true;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    do {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

std::string FtpServer::Log() const {
    return ReadFileBytes(log_path_);
}

int ClosedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

} // namespace testing_support
