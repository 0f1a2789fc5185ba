#include "pdf/writer/Pagora.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace pagora {
namespace {

class SystemHost final : public PagoraHost {
public:
    LocalTime Now() override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        LocalTime t;
        t.year = local.tm_year + 1900;
        t.month = local.tm_mon + 1;
        t.day = local.tm_mday;
        t.hour = local.tm_hour;
        t.minute = local.tm_min;
        t.second = local.tm_sec;
        t.utc_offset_minutes = static_cast<int>(local.tm_gmtoff / 60);
        return t;
    }

    void Randomize() override {
        generator_.seed(static_cast<std::mt19937::result_type>(
            std::chrono::steady_clock::now().time_since_epoch().count()));
    }

    double Random() override { return std::uniform_real_distribution<double>(0.0, 1.0)(generator_); }

    void OpenDocument(const std::string& path) override {
        // The desktop's opener, detached so that the caller never waits for the viewer.
        const pid_t pid = fork();
        if (pid == 0) {
            if (fork() == 0) {
                execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
            }
            _exit(0);
        }
        if (pid > 0) waitpid(pid, nullptr, 0);
    }

    // A library never speaks to the user on its own: the program installs a host that shows
    // these texts, and failures are recorded for ErrNumber in any case.
    void ShowMessage(const std::string&) override {}

private:
    std::mt19937 generator_{5489u};
};

}  // namespace

std::shared_ptr<PagoraHost> DefaultHost() { return std::make_shared<SystemHost>(); }

}  // namespace pagora
