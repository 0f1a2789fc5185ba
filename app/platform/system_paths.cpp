#include "app/platform/system_paths.h"

#include <cstdlib>
#include <filesystem>

namespace kerbolt {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string SystemPaths::DataFolder() {
#ifdef _WIN32
    return Env("USERPROFILE") + "\\AppData\\Local\\Kerbolt";
#else
    std::string base = Env("XDG_DATA_HOME");
    // The base directory specification ignores a relative value.
    if (base.empty() || base.front() != '/') base = Env("HOME") + "/.local/share";
    return base + "/Kerbolt";
#endif
}

std::string SystemPaths::TempFolder() {
    std::string temp = Env(
#ifdef _WIN32
        "TEMP"
#else
        "TMPDIR"
#endif
    );
    if (!temp.empty()) return temp;
    std::error_code ec;
    const auto path = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : path.string();
}

} // namespace kerbolt
