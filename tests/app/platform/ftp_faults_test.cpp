// The data file's synchronisation against the stand-in FTP server, a real server process: the
// merge cases that matter most, and a server that dies in the middle of a transfer.
#include "app/core/store/data_merge.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/web/data_transfers.h"
#include "app/platform/curl_ftp.h"
#include "tests/support/data_file_sample.h"
#include "tests/support/ftp_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace kerbolt {
namespace {

namespace fs = std::filesystem;
using testing_support::FtpFaults;
using testing_support::FtpServer;
using testing_support::ReadFileBytes;
using testing_support::SampleTicket;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using web::SyncOutcome;
using namespace store; // the data file's records, as the program writes them

constexpr const char* kKey = "000NZFAP"; // the key of a@b.ch

CurlFtp FtpTo(const FtpServer& server) {
    ServerConfig config;
    config.ftp_host = "127.0.0.1";
    config.ftp_port = server.Port();
    config.ftp_connect_timeout_s = 2;
    config.ftp_response_timeout_s = 2;
    config.ftp_transfer_timeout_s = 4;
    return CurlFtp(config);
}

KERBOLT_TEST_LABEL(net, "StandInSync.*");
class StandInSync : public ::testing::Test {
protected:
    TempDir dir;
    fs::path root = dir.Path() / "server";
    std::string local = (dir.Path() / "data" / kKey).string();
    std::string other = (dir.Path() / "other" / kKey).string();
    std::string server_file = (root / "web/ctrl/KB" / kKey).string();
    std::optional<FtpServer> server;

    void SetUp() override {
        fs::create_directories(dir.Path() / "data");
        fs::create_directories(dir.Path() / "other");
        Restart({});
    }
    void Restart(FtpFaults faults) {
        server.reset();
        server.emplace(root.string(), dir.File("ftp.log"), 120, faults);
    }
    // A data file as the program writes it: the account, a spot and `tickets` tickets.
    void MakeDataFile(const std::string& path, int tickets) {
        ASSERT_TRUE(WriteAccount(path, "a@b.ch", "secret1"));
        ASSERT_TRUE(WritePlaces(path, {{"A1", "Rue du Lac 1", "0"}}));
        ASSERT_TRUE(testing_support::WriteSampleTickets(path, tickets));
    }
    // A local ticket the server lacks, and the account's lock held by another computer.
    fs::path LockHeldWithATicketToSend() {
        MakeDataFile(local, 1);
        EXPECT_TRUE(Upload(local));
        EXPECT_TRUE(WriteIndemnite(local, 1, SampleTicket(1, "GE 1")));
        const fs::path lock = root / "web/ctrl/KB/000NZFAP.lock";
        fs::create_directory(lock);
        return lock;
    }
    bool Upload(const std::string& path) {
        CurlFtp ftp = FtpTo(*server);
        return web::UploadDataFile(ftp, path, kKey);
    }
    web::SyncResult Sync(const std::string& path, bool upload) {
        CurlFtp ftp = FtpTo(*server);
        return web::SyncDataFile(ftp, nullptr, path, kKey, upload);
    }
};

TEST_F(StandInSync, TwoComputersPrintingOneNumberKeepBothAndAMergeAgainChangesNothing) {
    MakeDataFile(local, 1);
    ASSERT_TRUE(Upload(local));
    fs::copy_file(local, other);

    ASSERT_TRUE(WriteIndemnite(other, 1, SampleTicket(1, "BE 1")));
    ASSERT_TRUE(Upload(other));
    ASSERT_TRUE(WriteIndemnite(local, 1, SampleTicket(1, "VS 2")));
    ASSERT_TRUE(Upload(local));

    EXPECT_EQ(ReadIndemnite(server_file, 1).nPlaques, "BE 1");
    EXPECT_EQ(ReadIndemnite(server_file, 2).nPlaques, "VS 2");
    EXPECT_EQ(ReadIndemnite(server_file, 2).NumIndemn, "000NZFAP-1");
    EXPECT_EQ(ReadFileBytes(server_file), ReadFileBytes(local));

    // The other computer catches up, and from then on every merge is a fixed point.
    const std::string merged = ReadFileBytes(local);
    EXPECT_EQ(Sync(other, false).outcome, SyncOutcome::Merged);
    EXPECT_EQ(ReadFileBytes(other), merged);
    for (const std::string& path : {local, other, local}) {
        EXPECT_TRUE(Upload(path));
        EXPECT_EQ(ReadFileBytes(path), merged);
        EXPECT_EQ(ReadFileBytes(server_file), merged);
    }
    // Each upload went up under a temporary name of its own and took its place by a rename;
    // no temporary name and no lock is left on the server.
    const std::string log = server->Log();
    std::set<std::string> temporary_names;
    std::size_t stores = 0;
    for (std::size_t at = log.find("STOR "); at != std::string::npos;
         at = log.find("STOR ", at + 1)) {
        ++stores;
        temporary_names.insert(log.substr(at, log.find('\n', at) - at));
    }
    EXPECT_GE(stores, 3u);
    EXPECT_EQ(temporary_names.size(), stores) << log;
    EXPECT_NE(log.find("RNTO /web/ctrl/KB/000NZFAP\n"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(root / "web/ctrl/KB"))
        EXPECT_EQ(entry.path().filename(), entry.is_directory() ? "Mandats" : kKey);
}

// Another computer holds the account's lock: the synchronisation waits until it is given back,
// and only then reads the server's copy.
TEST_F(StandInSync, ASynchronisationWaitsForTheLockAnotherComputerHolds) {
    const fs::path lock = LockHeldWithATicketToSend();
    const std::string waited = "CWD /web/ctrl/KB/000NZFAP.lock\n";
    // The other computer gives the lock back once this one has found it held.
    std::thread other_computer([&] {
        for (int i = 0; i < 2000 && server->Log().find(waited) == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        fs::remove(lock);
    });
    const auto result = Sync(local, /*upload=*/false);
    other_computer.join();
    EXPECT_TRUE(result.uploaded);
    EXPECT_EQ(ReadIndemnite(server_file, 1).nPlaques, "GE 1");
    const std::string log = server->Log();
    const std::size_t found_held = log.find(waited);
    ASSERT_NE(found_held, std::string::npos) << log;
    EXPECT_GT(log.find("RETR web/ctrl/KB/000NZFAP", found_held), found_held) << log;
    EXPECT_FALSE(fs::exists(lock));
}

// A lock whose holder never gives it back (a program ended while it held the lock) counts as
// abandoned once it has been held longer than any synchronisation lasts, and is broken.
TEST_F(StandInSync, AnAbandonedLockIsBrokenAfterItsLimit) {
    const fs::path lock = LockHeldWithATicketToSend();
    ServerConfig config;
    config.ftp_host = "127.0.0.1";
    config.ftp_port = server->Port();
    config.ftp_connect_timeout_s = 1;
    config.ftp_response_timeout_s = 1;
    config.ftp_transfer_timeout_s = 1;
    CurlFtp ftp(config);
    const auto started = std::chrono::steady_clock::now();
    const auto result = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/false);
    // Never broken before its limit: four times a transfer's limits.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
    EXPECT_TRUE(result.uploaded);
    EXPECT_EQ(ReadIndemnite(server_file, 1).nPlaques, "GE 1");
    EXPECT_NE(server->Log().find("RMD /web/ctrl/KB/000NZFAP.lock"), std::string::npos);
    EXPECT_FALSE(fs::exists(lock));
}

TEST_F(StandInSync, ATruncatedLocalFileIsHealedAndNeverUploadedOverTheServersCopy) {
    MakeDataFile(local, 3);
    ASSERT_TRUE(store::WriteIni("INDEMNITE1", "datepaiement", "01.12.2026", local));
    ASSERT_TRUE(Upload(local));
    const std::string whole = ReadFileBytes(server_file);

    // Cut inside the last ticket, and inside the first one.
    for (const double part : {0.9, 0.55}) {
        SCOPED_TRACE(part);
        WriteFileBytes(local, whole.substr(0, static_cast<std::size_t>(whole.size() * part)));
        const auto next = NextIndemniteNumber(local);
        ASSERT_TRUE(WriteIndemnite(local, next, SampleTicket(next, "NE 5")));
        ASSERT_TRUE(Upload(local));
        const auto tickets = ReadIndemnites(server_file);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(tickets[i].nPlaques, "VD " + std::to_string(100 + i));
        EXPECT_EQ(tickets[1].datepaiement, "01.12.2026");
        EXPECT_EQ(ReadInfos(server_file).pwd, "secret1");
        EXPECT_EQ(ReadFileBytes(server_file), ReadFileBytes(local));
        // The new ticket arrived too, under a number no earlier ticket holds.
        int new_tickets = 0;
        for (const IndemniteRecord& r : tickets)
            new_tickets += r.nPlaques == "NE 5";
        EXPECT_EQ(new_tickets, part == 0.9 ? 1 : 2);
    }
}

// The server dies at several points of the download and of the upload of a synchronisation. The
// local file is always whole (the old one or the merged one), the server's copy is the old one or
// the merged one, and the next synchronisation with a working server brings both to the merge.
TEST_F(StandInSync, AServerDyingMidTransferLeavesOldOrMergedCopies) {
    // The server's copy carries the operator's mark and another computer's ticket; the local file
    // a ticket printed offline.
    MakeDataFile(local, 2);
    fs::copy_file(local, server_file);
    ASSERT_TRUE(store::WriteIni("INDEMNITE0", "datepaiement", "01.12.2026", server_file));
    ASSERT_TRUE(WriteIndemnite(server_file, 2, SampleTicket(2, "BE 2")));
    ASSERT_TRUE(WriteIndemnite(local, 2, SampleTicket(2, "GE 3")));
    const std::string old_local = ReadFileBytes(local);
    const std::string old_server = ReadFileBytes(server_file);
    const std::string merged =
        MergeDataFiles(store::Document::Load(local), store::Document::Load(server_file));
    ASSERT_NE(merged, old_local);
    ASSERT_NE(merged, old_server);

    struct Case {
        bool upload; // dies while receiving the upload, else while sending the download
        double at;   // the share of the file sent when it dies
    };
    const Case cases[] = {{false, 0.0}, {false, 0.01}, {false, 0.5}, {false, 0.99},
                          {true, 0.0},  {true, 0.01},  {true, 0.5},  {true, 0.99}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.upload ? "upload " : "download ") + std::to_string(c.at));
        WriteFileBytes(local, old_local);
        WriteFileBytes(server_file, old_server);
        fs::remove_all(web::BackupFolder(local));
        const std::size_t size = c.upload ? merged.size() : old_server.size();
        const long at = static_cast<long>(size * c.at);
        FtpFaults faults;
        (c.upload ? faults.die_after_upload : faults.die_after_download) = at;
        Restart(faults);

        const auto result = Sync(local, /*upload=*/true);
        EXPECT_FALSE(result.uploaded);
        EXPECT_TRUE(server->Ended()) << "the server was to die";
        EXPECT_NE(server->Log().find("DIED"), std::string::npos) << server->Log();
        const std::string now_local = ReadFileBytes(local);
        const std::string now_server = ReadFileBytes(server_file);
        EXPECT_TRUE(now_local == old_local || now_local == merged);
        EXPECT_EQ(now_local == merged, c.upload);
        EXPECT_EQ(now_server, old_server);
        EXPECT_TRUE(web::UploadOwed(local));

        // A working server again: the lock this computer left is given back at once, the owed
        // upload goes through and both sides hold the merge.
        EXPECT_TRUE(fs::exists(root / "web/ctrl/KB/000NZFAP.lock"));
        Restart({});
        const auto again = Sync(local, /*upload=*/false);
        EXPECT_EQ(server->Log().find("CWD /web/ctrl/KB/000NZFAP.lock"), std::string::npos);
        EXPECT_FALSE(fs::exists(root / "web/ctrl/KB/000NZFAP.lock"));
        EXPECT_TRUE(again.uploaded);
        EXPECT_EQ(ReadFileBytes(local), merged);
        EXPECT_EQ(ReadFileBytes(server_file), merged);
        EXPECT_FALSE(web::UploadOwed(local));
    }
}

} // namespace
} // namespace kerbolt
