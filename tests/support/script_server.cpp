#include "tests/support/script_server.h"

#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

ScriptServerProcess StartScriptServer(const std::string& script, const std::string& root,
                                      const std::string& log_path, int lifetime_seconds,
                                      const std::vector<std::string>& extra_arguments) {
    RequireLoopbackServers(script);
    const std::string path = SourceDir() + "/" + script;
    const std::string port_file = log_path + ".port";
    const std::string lifetime = std::to_string(lifetime_seconds);
    std::vector<std::string> arguments = {"python3",    path,     "--port",      "0",
                                          "--root",     root,     "--log",       log_path,
                                          "--lifetime", lifetime, "--port-file", port_file};
    arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ScriptServerProcess server;
    server.pid = fork();
    if (server.pid < 0) throw std::runtime_error("cannot start " + script);
    if (server.pid == 0) {
        execv("/usr/bin/python3", argv.data());
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
