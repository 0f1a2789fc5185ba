#include "app/core/store/ini_file.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kerbolt::store {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(IniFile, ReadsFilesWrittenByOtherHands) {
    TempDir dir;
    const std::string path = dir.File("a.ini");
    WriteFileBytes(path, "stray=before any section\n"
                         "[Alpha]\n"
                         "  key = spaced value \t\n"
                         "; comment=not a key\n"
                         "no equals sign\n"
                         "empty=\n"
                         "dup=first\n"
                         "dup=second\n"
                         "[ Beta ]\r\n"
                         "k=x=y\r\n"
                         "[alpha]\n"
                         "other=in the second alpha\n"
                         "[Gamma");
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"Alpha", "key", "spaced value"},
        {"ALPHA", "KEY", "spaced value"}, // names match without regard to case
        {"Alpha", "empty", ""},
        {"Alpha", "dup", "first"}, // the first key wins
        {"Alpha", "; comment", std::nullopt},
        {"Alpha", "stray", std::nullopt},
        {"Alpha", "other", std::nullopt}, // only the first section of a name is searched
        {"Beta", "k", "x=y"},             // the value runs from the first "="
        {"Beta", "missing", std::nullopt},
        {"Delta", "k", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadValue(path, c.section, c.key), c.value) << c.section << "/" << c.key;
    }
    EXPECT_EQ(SectionNames(path), (std::vector<std::string>{"Alpha", "Beta", "alpha", "Gamma"}));
    EXPECT_EQ(ReadValue(dir.File("missing.ini"), "Alpha", "key"), std::nullopt);
    EXPECT_TRUE(SectionNames(dir.File("missing.ini")).empty());
}

TEST(IniFile, WritesKeepFileOrderAndEndLinesWithCrLf) {
    TempDir dir;
    const std::string path = dir.File("w.ini");
    ASSERT_TRUE(WriteValue(path, "S1", "a", "1"));
    ASSERT_TRUE(WriteValue(path, "S2", "b", "2"));
    ASSERT_TRUE(WriteValue(path, "S1", "c", "3"));   // new key at the end of its section
    ASSERT_TRUE(WriteValue(path, "s1", "A", "one")); // existing key replaced in place
    ASSERT_TRUE(WriteValue(path, "S3", "d", ""));    // new section at the end
    EXPECT_EQ(ReadFileBytes(path), "[S1]\r\nA=one\r\nc=3\r\n[S2]\r\nb=2\r\n[S3]\r\nd=\r\n");
}

TEST(IniFile, NewKeyGoesBeforeTheBlankLinesOfItsSection) {
    TempDir dir;
    const std::string path = dir.File("b.ini");
    WriteFileBytes(path, "[S1]\na=1\n\n[S2]\nb=2");
    ASSERT_TRUE(WriteValue(path, "S1", "c", "3"));
    EXPECT_EQ(ReadFileBytes(path), "[S1]\r\na=1\r\nc=3\r\n\r\n[S2]\r\nb=2\r\n");
}

TEST(IniFile, FailedWriteLeavesNothingBehind) {
    TempDir dir;
    EXPECT_FALSE(WriteValue(dir.File("no/such/folder/x.ini"), "S", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no")));

    const std::string path = dir.File("kept.ini");
    ASSERT_TRUE(WriteValue(path, "S", "k", "v"));
#ifdef _WIN32
    // A folder has no write bit here; what stops a write is another program holding the file
    // open without sharing it (an editor, a backup): then nothing may be written over it.
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteValue(path, "S", "k", "changed"));
    CloseHandle(held);
    EXPECT_EQ(ReadValue(path, "S", "k"), "v");
#else
    if (geteuid() != 0) { // the superuser may write into a read-only folder
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        EXPECT_FALSE(WriteValue(path, "S", "k", "changed"));
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadValue(path, "S", "k"), "v");
    }
#endif
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        entries.push_back(e.path().filename().string());
    }
    EXPECT_EQ(entries, std::vector<std::string>{"kept.ini"});
}

} // namespace
} // namespace kerbolt::store
