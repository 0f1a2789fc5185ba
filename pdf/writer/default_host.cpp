#include "pdf/writer/Pagora.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagora {
namespace {

#ifdef _WIN32
// The C runtime here has no tm_gmtoff: the offset is the distance between the local and the
// universal reading of the same instant, which never lie more than a day apart.
int UtcOffsetMinutes(const std::tm& local, const std::tm& utc) {
    int days = local.tm_yday - utc.tm_yday;
    if (local.tm_year != utc.tm_year) days = local.tm_year > utc.tm_year ? 1 : -1;
    return days * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
}
#endif

class SystemHost final : public PagoraHost {
public:
    LocalTime Now() override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
#ifdef _WIN32
        std::tm utc{};
        localtime_s(&local, &now);
        gmtime_s(&utc, &now);
#else
        localtime_r(&now, &local);
#endif
        LocalTime t;
        t.year = local.tm_year + 1900;
        t.month = local.tm_mon + 1;
        t.day = local.tm_mday;
        t.hour = local.tm_hour;
        t.minute = local.tm_min;
        t.second = local.tm_sec;
#ifdef _WIN32
        t.utc_offset_minutes = UtcOffsetMinutes(local, utc);
#else
        t.utc_offset_minutes = static_cast<int>(local.tm_gmtoff / 60);
#endif
        return t;
    }

    void Randomize() override {
        generator_.seed(static_cast<std::mt19937::result_type>(
            std::chrono::steady_clock::now().time_since_epoch().count()));
    }

    double Random() override {
        return std::uniform_real_distribution<double>(0.0, 1.0)(generator_);
    }

    void OpenDocument(const std::string& path) override {
#ifdef _WIN32
        // The shell's file handler opens the document with its default program, maximised; the
        // path is in the user's code page, as the ANSI entry points expect.
        std::string command = "rundll32.exe url.dll,FileProtocolHandler " + path;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMAXIMIZED;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
#else
        // The desktop's opener, detached so that the caller never waits for the viewer.
        const pid_t pid = fork();
        if (pid == 0) {
            if (fork() == 0) {
                execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
            }
            _exit(0);
        }
        if (pid > 0) waitpid(pid, nullptr, 0);
#endif
    }

    // A library never speaks to the user on its own: the program installs a host that shows
    // these texts, and failures are recorded for ErrNumber in any case.
    void ShowMessage(const std::string&) override {}

private:
    std::mt19937 generator_{5489u};
};

} // namespace

std::shared_ptr<PagoraHost> DefaultHost() {
    return std::make_shared<SystemHost>();
}

} // namespace pagora
