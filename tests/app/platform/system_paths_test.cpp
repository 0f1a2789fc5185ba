#include "app/platform/system_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kerbolt {
namespace {

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SystemPaths, DataFolderFollowsTheBaseDirectoryRules) {
    struct Case {
        std::optional<std::string> xdg;
        const char* folder;
    };
    const Case cases[] = {
        {"/srv/data", "/srv/data/Kerbolt"},
        {std::nullopt, "/home/u/.local/share/Kerbolt"},
        {"", "/home/u/.local/share/Kerbolt"},
        {"relative/data", "/home/u/.local/share/Kerbolt"}, // ignored, as the rules say
    };
    ScopedEnv home("HOME", "/home/u");
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        EXPECT_EQ(SystemPaths().DataFolder(), c.folder) << c.xdg.value_or("(unset)");
    }
}

TEST(SystemPaths, TempFolderFromTheEnvironmentOrTheSystemDefault) {
    {
        ScopedEnv tmp("TMPDIR", "/var/tmp/k");
        EXPECT_EQ(SystemPaths().TempFolder(), "/var/tmp/k");
    }
    ScopedEnv tmp("TMPDIR", std::nullopt);
    EXPECT_EQ(SystemPaths().TempFolder(), "/tmp");
}

} // namespace
} // namespace kerbolt
