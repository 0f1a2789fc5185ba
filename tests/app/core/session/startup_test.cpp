#include "app/core/session/startup.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "tests/support/fake_ports.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace kerbolt::session {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

struct Row {
    const char* name;
    const char* mail;   // remembered address ("" for none)
    bool data_file;     // a local data file exists
    const char* langue; // "Langue" in Param.ini ("" for none)
    FirstWindow window;
    bool synchronised;
    bool new_install;
    bool texts_loaded;
};

const Row kRows[] = {
    {"NoAddressNoLanguage", "", false, "", FirstWindow::frmConnect, false, true, false},
    {"NoAddressWithLanguage", "", true, "2", FirstWindow::frmConnect, false, false, false},
    {"AddressWithoutDataFile", "a@b.ch", false, "1", FirstWindow::frmConnect, false, false, false},
    {"AddressDataFileLanguage", "a@b.ch", true, "3", FirstWindow::frmMain, true, false, true},
    {"AddressDataFileNoLanguage", "a@b.ch", true, "", FirstWindow::frmConnect, true, false, false},
    {"AddressDataFileLanguageNotNumeric", "a@b.ch", true, "fr", FirstWindow::frmConnect, true,
     false, false},
    {"AddressDataFileLanguageZero", "a@b.ch", true, "0", FirstWindow::frmConnect, true, false,
     false},
};

class StartupTable : public ::testing::TestWithParam<Row> {};

TEST_P(StartupTable, ChoosesTheFirstWindow) {
    const Row& row = GetParam();
    TempDir dir;
    const std::string folder = dir.File("data/Kerbolt");
    std::filesystem::create_directories(folder);
    const std::string ini = PathIn(folder, "Param.ini");
    if (*row.langue) ASSERT_TRUE(store::WriteIni("Param", "Langue", row.langue, ini));
    ASSERT_TRUE(store::SaveRememberedMail(ini, row.mail));
    // The server's copy holds what the local one holds and a ticket more.
    const std::string server_file = dir.File("server");
    ASSERT_TRUE(store::WriteAccount(server_file, "a@b.ch", "secret1"));
    if (row.data_file) std::filesystem::copy_file(server_file, PathIn(folder, "000NZFAP"));
    ASSERT_TRUE(store::WriteIndemnite(
        server_file, 0, store::MakeIndemniteRecord(0, {}, "VD 1", "50", "000NZFAP", 0)));
    const std::string server_copy = ReadFileBytes(server_file);

    testing_support::FixedPaths paths(folder, dir.File("tmp"));
    testing_support::MemoryFtp ftp;
    ftp.files["web/ctrl/KB/000NZFAP"] = server_copy;
    testing_support::RecordingPrompts prompts;
    store::State state;
    const StartupDecision decision = Main(state, paths, ftp, prompts);

    EXPECT_TRUE(decision.error.empty());
    EXPECT_EQ(decision.window, row.window);
    EXPECT_EQ(state.NewInstall, row.new_install);
    EXPECT_EQ(state.DataFolder, folder);
    EXPECT_EQ(state.IniPath, ini);
    EXPECT_EQ(state.TempFolder, dir.File("tmp"));
    EXPECT_EQ(state.AccountKey, *row.mail ? "000NZFAP" : "");
    EXPECT_EQ(state.DataFile, *row.mail ? PathIn(folder, "000NZFAP") : "");
    EXPECT_EQ(decision.sync.has_value(), row.synchronised);
    if (row.synchronised) {
        ASSERT_EQ(ftp.calls.size(), 1u);
        EXPECT_EQ(
            ftp.calls[0].rfind("RETR web/ctrl/KB/000NZFAP > " + PathIn(folder, "000NZFAP"), 0), 0u);
        EXPECT_EQ(ReadFileBytes(PathIn(folder, "000NZFAP")), server_copy);
    } else {
        EXPECT_TRUE(ftp.calls.empty());
    }
    EXPECT_EQ(state.TicketAmount, row.texts_loaded ? "50" : "");
    EXPECT_EQ(!state.TicketFooter.empty(), row.texts_loaded);
    EXPECT_TRUE(prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, StartupTable, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Startup, FirstStartCreatesTheFolderWithItsParents) {
    TempDir dir;
    const std::string folder = dir.File("home/.local/share/Kerbolt");
    testing_support::FixedPaths paths(folder, dir.File("tmp"));
    testing_support::MemoryFtp ftp;
    testing_support::RecordingPrompts prompts;
    store::State state;
    const StartupDecision decision = Main(state, paths, ftp, prompts);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(state.NewInstall);
    EXPECT_EQ(state.Language, 0);
    EXPECT_EQ(decision.window, FirstWindow::frmConnect);
    EXPECT_FALSE(std::filesystem::exists(PathIn(folder, "Param.ini")));
}

TEST(Startup, UnreachableServerGoesOnWithTheLocalFile) {
    TempDir dir;
    const std::string folder = dir.File("Kerbolt");
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(store::SaveLanguage(PathIn(folder, "Param.ini"), 1));
    ASSERT_TRUE(store::SaveRememberedMail(PathIn(folder, "Param.ini"), "a@b.ch"));
    WriteFileBytes(PathIn(folder, "000NZFAP"), "local");
    testing_support::FixedPaths paths(folder, dir.File("tmp"));
    testing_support::MemoryFtp ftp;
    ftp.status = FtpStatus::Unreachable;
    testing_support::RecordingPrompts prompts;
    store::State state;
    const StartupDecision decision = Main(state, paths, ftp, prompts);
    EXPECT_EQ(decision.window, FirstWindow::frmMain);
    ASSERT_TRUE(decision.sync);
    EXPECT_EQ(decision.sync->outcome, web::SyncOutcome::Unreachable);
    EXPECT_EQ(decision.sync->size, 0);
    EXPECT_EQ(ReadFileBytes(PathIn(folder, "000NZFAP")), "local");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(Startup, AFolderThatCannotBeCreatedIsReported) {
    TempDir dir;
    WriteFileBytes(dir.File("file"), "x");
    testing_support::FixedPaths paths(dir.File("file/Kerbolt"), dir.File("tmp"));
    testing_support::MemoryFtp ftp;
    testing_support::RecordingPrompts prompts;
    store::State state;
    const StartupDecision decision = Main(state, paths, ftp, prompts);
    EXPECT_NE(decision.error.find(dir.File("file/Kerbolt")), std::string::npos);
    EXPECT_EQ(decision.window, FirstWindow::frmConnect);
}

} // namespace
} // namespace kerbolt::session
