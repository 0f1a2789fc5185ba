#include "app/core/web/data_transfers.h"

#include "tests/support/fake_ports.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kerbolt::web {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(ModUpload, RemotePaths) {
    EXPECT_EQ(DataFileUploadPath("000NZFAP"), "/web/ctrl/KB/000NZFAP");
    EXPECT_EQ(DataFileDownloadPath("000NZFAP"), "web/ctrl/KB/000NZFAP");
    EXPECT_EQ(MandateDownloadPath("000NZFAP"), "web/ctrl/KB/Mandats/Mandat_000NZFAP.pdf");
#ifdef _WIN32
    EXPECT_EQ(MandateLocalPath("C:\\Users\\A\\AppData\\Local\\Kerbolt", "000NZFAP"),
              "C:\\Users\\A\\AppData\\Local\\Kerbolt\\Mandat_000NZFAP.pdf");
#else
    EXPECT_EQ(MandateLocalPath("/d", "000NZFAP"), "/d/Mandat_000NZFAP.pdf");
#endif
}

TEST(ModUpload, FailuresLeaveTheLocalFileAndNoTemporaryFile) {
    struct Case {
        FtpStatus status;
        SyncOutcome outcome;
        bool message;
    };
    const Case cases[] = {
        {FtpStatus::SessionFailed, SyncOutcome::Failed, true},
        {FtpStatus::Unreachable, SyncOutcome::Unreachable, false},
        {FtpStatus::NotFound, SyncOutcome::NotOnServer, false},
        {FtpStatus::Failed, SyncOutcome::Failed, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("K"), "local");
        testing_support::MemoryFtp ftp;
        ftp.files["web/ctrl/KB/K"] = "a larger server copy";
        ftp.status = c.status;
        testing_support::RecordingPrompts prompts;
        const SyncResult r = SyncFromServer(ftp, prompts, "web/ctrl/KB/K", dir.File("K"));
        EXPECT_EQ(r.size, 0);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(ReadFileBytes(dir.File("K")), "local");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                                std::filesystem::directory_iterator()),
                  1);
        if (c.message) {
            EXPECT_EQ(prompts.shown,
                      std::vector<std::string>{"Échec de l'ouverture de la session Internet."});
        } else {
            EXPECT_TRUE(prompts.shown.empty());
        }
    }
}

TEST(ModUpload, AnEmptyLocalPathStandsForTheDataFile) {
    TempDir dir;
    testing_support::MemoryFtp ftp;
    ftp.files["web/ctrl/KB/K"] = "%PDF-1.4";
    testing_support::RecordingPrompts prompts;
    const SyncResult r = SyncFromServer(ftp, prompts, "web/ctrl/KB/K", "", dir.File("K"));
    EXPECT_EQ(r.size, 8);
    EXPECT_EQ(r.outcome, SyncOutcome::Placed);
    EXPECT_EQ(ReadFileBytes(dir.File("K")), "%PDF-1.4");

    ftp.calls.clear();
    EXPECT_EQ(SyncFromServer(ftp, prompts, "web/ctrl/KB/K", "", "").outcome, SyncOutcome::Failed);
    EXPECT_TRUE(ftp.calls.empty());
}

} // namespace
} // namespace kerbolt::web
