// The program as a user starts it: on a fresh account it creates its data folder and stays up
// with its first window until it is ended.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing_support::RunCommand;
using testing_support::TempDir;

TEST(ProgramStart, FreshAccountStaysUpWithItsDataFolder) {
    TempDir dir;
    // `timeout` answers 124 when it had to end a program that was still running.
    const std::string root = dir.Path().string();
    const auto result = RunCommand("cd " + root + " && XDG_DATA_HOME=" + root +
                                   "/data TMPDIR=" + root + " XDG_RUNTIME_DIR=" + root +
                                   " QT_QPA_PLATFORM=offscreen timeout 4 " KERBOLT_CLIENT
                                   " >log.txt 2>&1; echo $?");
    EXPECT_EQ(result.out, "124\n") << testing_support::ReadFileBytes(dir.File("log.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "data" / "Kerbolt"));
}

} // namespace
