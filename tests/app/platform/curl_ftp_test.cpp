#include "app/platform/curl_ftp.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/web/data_transfers.h"
#include "tests/support/fake_ports.h"
#include "tests/support/ftp_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kerbolt {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using web::SyncOutcome;
using web::SyncResult;

ServerConfig ConfigFor(int port) {
    ServerConfig config;
    config.ftp_host = "127.0.0.1";
    config.ftp_port = port;
    return config;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Bytes of every value, line ends and NUL included, so that a text-mode transfer would show.
std::string Bytes(std::size_t size, char seed) {
    std::string s;
    for (std::size_t i = 0; i < size; ++i)
        s += static_cast<char>((seed + i * 7) % 256);
    if (size > 2) s.replace(0, 2, "\r\n");
    return s;
}

KERBOLT_TEST_LABEL(net, "FtpTransfers.*");
class FtpTransfers : public ::testing::Test {
protected:
    TempDir dir;
    fs::path root = dir.Path() / "server";
    fs::path data = dir.Path() / "data";
    std::optional<testing_support::FtpServer> server;
    std::optional<CurlFtp> ftp;
    testing_support::RecordingPrompts prompts;

    void SetUp() override {
        fs::create_directories(data);
        server.emplace(root.string(), dir.File("ftp.log"));
        ftp.emplace(ConfigFor(server->Port()));
    }
    fs::path ServerFile(const std::string& key) const { return root / "web/ctrl/KB" / key; }
};

TEST_F(FtpTransfers, ServerCopyReplacesOnlyAMissingOrSmallerLocalFile) {
    struct Case {
        const char* key;
        std::optional<std::size_t> server_size;
        std::optional<std::size_t> local_size;
        std::int64_t result;
        SyncOutcome outcome;
        bool local_is_server_copy;
        bool pdf = true; // the server's copy is a PDF document, as the signed mandate is
    };
    const Case cases[] = {
        {"SERVERLARGER", 1200, 1000, 1200, SyncOutcome::Replaced, true},
        {"SERVERSMALLER", 1000, 1200, 1200, SyncOutcome::Kept, false},
        {"EQUALSIZES", 1000, 1000, 1000, SyncOutcome::Kept, false},
        {"NOLOCAL", 1000, std::nullopt, 1000, SyncOutcome::Placed, true},
        {"NOSERVERCOPY", std::nullopt, 500, 0, SyncOutcome::NotOnServer, false},
        {"NEITHER", std::nullopt, std::nullopt, 0, SyncOutcome::NotOnServer, false},
        // No PDF document, however large: never placed, never over the local file.
        {"EMPTYCOPY", 0, std::nullopt, 0, SyncOutcome::Foreign, false},
        {"EMPTYCOPYLOCAL", 0, 10, 0, SyncOutcome::Foreign, false},
        {"NOTAPDF", 1200, 1000, 0, SyncOutcome::Foreign, false, false},
        {"NOTAPDFNOLOCAL", 1200, std::nullopt, 0, SyncOutcome::Foreign, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string local = (data / c.key).string();
        std::string server_bytes = c.server_size ? Bytes(*c.server_size, 's') : "";
        if (c.pdf && server_bytes.size() >= 5) server_bytes.replace(0, 5, "%PDF-");
        const std::string local_bytes = c.local_size ? Bytes(*c.local_size, 'l') : "";
        if (c.server_size) WriteFileBytes(ServerFile(c.key), server_bytes);
        if (c.local_size) WriteFileBytes(local, local_bytes);

        const SyncResult r =
            web::SyncFromServer(*ftp, prompts, web::DataFileDownloadPath(c.key), local);
        EXPECT_EQ(r.size, c.result);
        EXPECT_EQ(r.outcome, c.outcome);
        if (c.local_is_server_copy) {
            EXPECT_EQ(ReadFileBytes(local), server_bytes);
        } else if (c.local_size) {
            EXPECT_EQ(ReadFileBytes(local), local_bytes);
        } else {
            EXPECT_FALSE(fs::exists(local));
        }
        EXPECT_EQ(FilesIn(data).size(), (c.local_size || c.local_is_server_copy) ? 1u : 0u)
            << "a temporary file was left behind";
        fs::remove(local);
    }
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_NE(server->Log().find("RETR web/ctrl/KB/SERVERLARGER\n"), std::string::npos);
}

TEST_F(FtpTransfers, UploadArrivesWholeUnderTheAbsolutePath) {
    const std::string local = (data / "000NZFAP").string();
    const std::string bytes = Bytes(3000, 'u');
    WriteFileBytes(local, bytes);
    const std::string upload_path = web::DataFileUploadPath("000NZFAP");
    EXPECT_TRUE(web::UploadFile(*ftp, local, upload_path));
    EXPECT_EQ(ReadFileBytes(ServerFile("000NZFAP")), bytes);

    // A later, smaller upload replaces the copy whole.
    WriteFileBytes(local, "short");
    EXPECT_TRUE(web::UploadFile(*ftp, local, upload_path));
    EXPECT_EQ(ReadFileBytes(ServerFile("000NZFAP")), "short");

    // And the copy comes back down under the relative path.
    fs::remove(local);
    EXPECT_TRUE(web::DownloadFile(*ftp, web::DataFileDownloadPath("000NZFAP"), local));
    EXPECT_EQ(ReadFileBytes(local), "short");

    const std::string log = server->Log();
    // It goes up under a temporary name of this upload's own and then takes its place whole.
    const std::string store = "STOR /web/ctrl/KB/000NZFAP.";
    const std::size_t stored = log.find(store);
    ASSERT_NE(stored, std::string::npos) << log;
    const std::string temporary = log.substr(stored + 5, log.find('\n', stored) - stored - 5);
    EXPECT_EQ(temporary.substr(temporary.size() - 5), ".part");
    EXPECT_NE(
        log.find("STOR " + temporary + "\nRNFR " + temporary + "\nRNTO /web/ctrl/KB/000NZFAP\n"),
        std::string::npos)
        << log;
    EXPECT_EQ(FilesIn(root / "web/ctrl/KB"), (std::vector<std::string>{"000NZFAP", "Mandats"}));
    EXPECT_NE(log.find("RETR web/ctrl/KB/000NZFAP\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Kq82"), std::string::npos);
    EXPECT_EQ(log.find("STOR web/"), std::string::npos);
    EXPECT_EQ(log.find("RETR /web/"), std::string::npos);

    EXPECT_FALSE(web::UploadDataFile(*ftp, (data / "missing").string(), "X"));
    EXPECT_FALSE(fs::exists(ServerFile("X")));
}

TEST_F(FtpTransfers, MandateComesDownOnlyWhenTheServerHasOne) {
    const std::string local = web::MandateLocalPath(data.string(), "000NZFAP");
    SyncResult r = web::SyncFromServer(*ftp, prompts, web::MandateDownloadPath("000NZFAP"), local);
    EXPECT_EQ(r.size, 0);
    EXPECT_EQ(r.outcome, SyncOutcome::NotOnServer);
    EXPECT_TRUE(FilesIn(data).empty());

    WriteFileBytes(root / "web/ctrl/KB/Mandats/Mandat_000NZFAP.pdf", "%PDF-1.4 signed");
    r = web::SyncFromServer(*ftp, prompts, web::MandateDownloadPath("000NZFAP"), local);
    EXPECT_EQ(r.size, 15);
    EXPECT_EQ(ReadFileBytes(local), "%PDF-1.4 signed");
    EXPECT_EQ(FilesIn(data), std::vector<std::string>{"Mandat_000NZFAP.pdf"});
}

TEST_F(FtpTransfers, WrongAccountCountsAsUnreachable) {
    ServerConfig config = ConfigFor(server->Port());
    config.ftp_password = "wrong";
    CurlFtp refused(config);
    WriteFileBytes(ServerFile("K"), "copy");
    const SyncResult r =
        web::SyncFromServer(refused, prompts, "web/ctrl/KB/K", (data / "K").string());
    EXPECT_EQ(r.outcome, SyncOutcome::Unreachable);
    EXPECT_TRUE(FilesIn(data).empty());
}

// The data file against the stand-in server: a ticket printed while the server was away and the
// operator's marks written meanwhile into the server's copy both survive the next upload.
TEST_F(FtpTransfers, OfflineTicketAndOperatorMarksBothReachTheServer) {
    const std::string local = (data / "000NZFAP").string();
    ASSERT_TRUE(store::WriteAccount(local, "a@b.ch", "secret1"));
    ASSERT_TRUE(store::WriteIndemnite(
        local, 0, store::MakeIndemniteRecord(0, {}, "VD 1", "50", "000NZFAP", 0)));
    ASSERT_TRUE(web::UploadDataFile(*ftp, local, "000NZFAP"));

    CurlFtp away(ConfigFor(testing_support::ClosedLoopbackPort()));
    ASSERT_TRUE(store::WriteIndemnite(
        local, 1, store::MakeIndemniteRecord(0, {}, "GE 2", "50", "000NZFAP", 1)));
    EXPECT_FALSE(web::UploadDataFile(away, local, "000NZFAP"));
    EXPECT_TRUE(web::UploadOwed(local));

    // The operator's marks, written into the server's copy by hand.
    ASSERT_TRUE(store::WriteIni("INDEMNITE0", "datepaiement", "01.12.2026",
                                ServerFile("000NZFAP").string()));
    ASSERT_TRUE(store::WriteIni("INFOS", "Mandat", "1", ServerFile("000NZFAP").string()));

    const SyncResult r = web::SyncDataFile(*ftp, &prompts, local, "000NZFAP", false);
    EXPECT_EQ(r.outcome, SyncOutcome::Merged);
    EXPECT_TRUE(r.uploaded);
    EXPECT_EQ(ReadFileBytes(ServerFile("000NZFAP")), ReadFileBytes(local));
    const auto tickets = store::ReadIndemnites(ServerFile("000NZFAP").string());
    ASSERT_EQ(tickets.size(), 2u);
    EXPECT_EQ(tickets[0].datepaiement, "01.12.2026");
    EXPECT_EQ(tickets[1].nPlaques, "GE 2");
    EXPECT_EQ(store::ReadInfos(local).Mandat, "1");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(FtpClosedPort, NothingIsFetchedAndNothingIsShown) {
    TempDir dir;
    CurlFtp ftp(ConfigFor(testing_support::ClosedLoopbackPort()));
    testing_support::RecordingPrompts prompts;
    const std::string local = dir.File("000NZFAP");
    WriteFileBytes(local, "local");
    const SyncResult r = web::SyncFromServer(ftp, prompts, "web/ctrl/KB/000NZFAP", local);
    EXPECT_EQ(r.size, 0);
    EXPECT_EQ(r.outcome, SyncOutcome::Unreachable);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ReadFileBytes(local), "local");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"000NZFAP"});
    EXPECT_FALSE(web::UploadDataFile(ftp, local, "000NZFAP"));
}

TEST(FtpSilentServer, GivesUpAfterTheResponseTimeLimit) {
    // A server that accepts the connection and then never says a word.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    ServerConfig config = ConfigFor(ntohs(address.sin_port));
    config.ftp_connect_timeout_s = 1;
    config.ftp_response_timeout_s = 1;
    CurlFtp ftp(config);
    TempDir dir;
    testing_support::RecordingPrompts prompts;
    const SyncResult r = web::SyncFromServer(ftp, prompts, "web/ctrl/KB/K", dir.File("K"));
    close(listener);
    EXPECT_EQ(r.outcome, SyncOutcome::Unreachable);
    EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST(CurlFtpUrl, LeadingSlashStaysAbsoluteAndOddCharactersAreEscaped) {
    ServerConfig config = ConfigFor(2121);
    config.ftp_host = "ftp.example.ch";
    const CurlFtp ftp(config);
    EXPECT_EQ(ftp.UrlOf("/web/ctrl/KB/K"), "ftp://ftp.example.ch:2121/%2Fweb/ctrl/KB/K");
    EXPECT_EQ(ftp.UrlOf("web/ctrl/KB/Mandats/Mandat_K.pdf"),
              "ftp://ftp.example.ch:2121/web/ctrl/KB/Mandats/Mandat_K.pdf");
    EXPECT_EQ(ftp.UrlOf("a b#?%"), "ftp://ftp.example.ch:2121/a%20b%23%3F%25");
}

} // namespace
} // namespace kerbolt
