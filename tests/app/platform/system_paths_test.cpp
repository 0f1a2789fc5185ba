#include "app/platform/system_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kerbolt {
namespace {

void SetEnv(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable here.
    _putenv_s(name, value ? value->c_str() : "");
#else
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
#endif
}

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        SetEnv(name, value);
    }
    ~ScopedEnv() { SetEnv(name_, old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

#ifdef _WIN32
TEST(SystemPaths, DataFolderIsUnderTheUserProfile) {
    const struct {
        const char* profile;
        const char* folder;
    } cases[] = {
        {"C:\\Users\\Anne", "C:\\Users\\Anne\\AppData\\Local\\Kerbolt"},
        // A profile name in the user's code page (Windows-1252 here) stays byte for byte.
        {"D:\\Profils\\Ren\xe9"
         "e M\xfcller",
         "D:\\Profils\\Ren\xe9"
         "e M\xfcller\\AppData\\Local\\Kerbolt"},
    };
    for (const auto& c : cases) {
        ScopedEnv profile("USERPROFILE", c.profile);
        EXPECT_EQ(SystemPaths().DataFolder(), c.folder);
    }
}

TEST(SystemPaths, TempFolderFromTemp) {
    ScopedEnv temp("TEMP", "C:\\Temp\\k");
    EXPECT_EQ(SystemPaths().TempFolder(), "C:\\Temp\\k");
}

TEST(SystemPaths, FilesJoinTheirFolderWithOneBackslash) {
    EXPECT_EQ(PathIn("C:\\Users\\A\\AppData\\Local\\Kerbolt", "Param.ini"),
              "C:\\Users\\A\\AppData\\Local\\Kerbolt\\Param.ini");
    EXPECT_EQ(PathIn("C:\\Temp\\", "Kerbolt.exe"), "C:\\Temp\\Kerbolt.exe");
    EXPECT_EQ(PathIn("C:/Temp/", "Kerbolt.exe"), "C:/Temp/Kerbolt.exe");
}
#else
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

TEST(SystemPaths, FilesJoinTheirFolderWithOneSlash) {
    EXPECT_EQ(PathIn("/home/u/.local/share/Kerbolt", "Param.ini"),
              "/home/u/.local/share/Kerbolt/Param.ini");
    EXPECT_EQ(PathIn("/tmp/", "Kerbolt.run"), "/tmp/Kerbolt.run");
}
#endif

} // namespace
} // namespace kerbolt
