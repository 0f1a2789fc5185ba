#include "tests/support/script_server.h"

#include "tests/support/temp_dir.h"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

ScriptServerProcess StartScriptServer(const std::string& script, const std::string& root,
                                      const std::string& log_path, int lifetime_seconds) {
    const std::string path = SourceDir() + "/" + script;
    const std::string port_file = log_path + ".port";
    const std::string lifetime = std::to_string(lifetime_seconds);
    ScriptServerProcess server;
    server.pid = fork();
    if (server.pid < 0) throw std::runtime_error("cannot start " + script);
    if (server.pid == 0) {
        execl("/usr/bin/python3", "python3", path.c_str(), "--port", "0", "--root", root.c_str(),
              "--log", log_path.c_str(), "--lifetime", lifetime.c_str(), "--port-file",
              port_file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string text = ReadFileBytes(port_file);
        if (!text.empty()) {
            server.port = std::stoi(text);
            return server;
        }
        int status = 0;
        if (waitpid(server.pid, &status, WNOHANG) == server.pid) {
            server.pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    StopScriptServer(server.pid);
    throw std::runtime_error(script + " did not come up");
}

void StopScriptServer(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

} // namespace testing_support
