// Synchronising the data file with the server's copy: nothing either side wrote is lost, the
// operator's marks win, a ticket never takes the place of another, and junk from the server is
// never merged. The facts are checked through the record readers, not through the merge's code.
#include "app/core/store/data_merge.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/web/data_transfers.h"
#include "tests/support/data_file_sample.h"
#include "tests/support/fake_ports.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kerbolt::store {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::SampleTicket;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

constexpr const char* kKey = "000NZFAP"; // the key of a@b.ch
constexpr const char* kRemote = "web/ctrl/KB/000NZFAP";

// A data file as the program writes it: the account, two spots and `tickets` tickets.
std::string MakeDataFile(const std::string& path, int tickets) {
    EXPECT_TRUE(WriteAccount(path, "a@b.ch", "secret1"));
    InfosRecord infos;
    infos.Nom = "Muster";
    infos.IBAN = "CH9300762011623852957";
    EXPECT_TRUE(WriteContactDetails(path, infos));
    EXPECT_TRUE(WritePlaces(path, {{"A1", "Rue du Lac 1", "0"}, {"B2", "Rue du Port 2", "1"}}));
    EXPECT_TRUE(testing_support::WriteSampleTickets(path, tickets));
    return ReadFileBytes(path);
}

// Every ticket of a file by its reference, the keys a reader sees.
std::multimap<std::string, std::string> TicketsOf(const std::string& path) {
    std::multimap<std::string, std::string> out;
    for (const IndemniteRecord& r : ReadIndemnites(path)) {
        if (r.NumIndemn.empty() && r.nPlaques.empty()) continue;
        out.emplace(r.NumIndemn,
                    r.nPlaques + "|" + r.date + "|" + r.Montant100 + "|" + r.datepaiement);
    }
    return out;
}

// The complete lines of a file: a line cut short reads as damaged, not as a value to keep.
std::string CompleteLines(const std::string& bytes) {
    const std::size_t end = bytes.rfind('\n');
    return end == std::string::npos ? std::string() : bytes.substr(0, end + 1);
}

// True when some record of `after` carries every value `before` shows.
bool Keeps(const std::vector<IndemniteRecord>& after, const IndemniteRecord& before) {
    const auto fields = [](const IndemniteRecord& r) {
        return std::vector<std::string>{r.IdPlace,    r.date,      r.heure,     r.nPlaques,
                                        r.Montant100, r.Montant60, r.NumIndemn, r.datepaiement};
    };
    const auto wanted = fields(before);
    return std::any_of(after.begin(), after.end(), [&](const IndemniteRecord& r) {
        const auto have = fields(r);
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (!wanted[i].empty() && wanted[i] != have[i]) return false;
        }
        return true;
    });
}

// A temporary folder in memory where the system has one: the table below saves and synchronises
// a file thousands of times, and each save waits for the disk.
class FastDir {
public:
    FastDir() {
        std::error_code ec;
        const bool shm = fs::is_directory("/dev/shm", ec);
        std::string pattern =
            (shm ? fs::path("/dev/shm") : fs::temp_directory_path()) / "kerbolt-sync-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
        path_ = pattern;
    }
    ~FastDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

class DataSync : public ::testing::Test {
protected:
    FastDir dir;
    std::string local = dir.File("data/000NZFAP");
    std::string scratch = dir.File("scratch");
    testing_support::MemoryFtp ftp;
    void SetUp() override { fs::create_directories(dir.File("data")); }
    std::string& Server() { return ftp.files[kRemote]; }
    bool Upload() { return web::UploadDataFile(ftp, local, kKey); }
    // The server's copy as a file, to read it with the record readers.
    std::string ServerFile() {
        WriteFileBytes(scratch, Server());
        return scratch;
    }
};

TEST_F(DataSync, OfflineTicketsSurviveALargerServerCopyAndTheMarksSurviveTheUpload) {
    Server() = MakeDataFile(local, 2);
    // The server cannot be reached: the ticket stays local and the upload is owed.
    ftp.status = FtpStatus::Unreachable;
    ASSERT_TRUE(WriteIndemnite(local, 2, SampleTicket(2, "GE 7")));
    EXPECT_FALSE(Upload());
    EXPECT_TRUE(web::UploadOwed(local));

    // Meanwhile the operator marks both tickets and the mandate: the server's copy grows larger
    // than the local one.
    WriteFileBytes(scratch, Server());
    ASSERT_TRUE(store::WriteIni("INDEMNITE0", "datepaiement", "01.12.2026", scratch));
    ASSERT_TRUE(store::WriteIni("INDEMNITE1", "datepaiement", "ANNULE-02.12.2026", scratch));
    ASSERT_TRUE(store::WriteIni("INFOS", "Mandat", "2026-12-01", scratch));
    ASSERT_TRUE(store::WriteIni("INDEMNITE1", "datepaiement",
                                "ANNULE-02.12.2026 " + std::string(300, 'x'), scratch));
    Server() = ReadFileBytes(scratch);
    ASSERT_GT(Server().size(), ReadFileBytes(local).size());

    // The next start merges and pays what it owes.
    ftp.status = FtpStatus::Ok;
    const auto start = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/false);
    EXPECT_EQ(start.outcome, web::SyncOutcome::Merged);
    EXPECT_TRUE(start.uploaded);
    EXPECT_FALSE(web::UploadOwed(local));
    EXPECT_EQ(Server(), ReadFileBytes(local));
    const auto tickets = TicketsOf(local);
    ASSERT_EQ(tickets.size(), 3u);
    EXPECT_EQ(tickets.find("000NZFAP-0")->second, "VD 100|10.12.2026|50|01.12.2026");
    EXPECT_EQ(tickets.find("000NZFAP-1")->second,
              "VD 101|10.12.2026|50|ANNULE-02.12.2026 " + std::string(300, 'x'));
    EXPECT_EQ(tickets.find("000NZFAP-2")->second, "GE 7|10.12.2026|50|");
    EXPECT_EQ(ReadInfos(local).Mandat, "2026-12-01");

    // The next ticket and its upload keep the operator's marks on the server.
    ASSERT_TRUE(WriteIndemnite(local, NextIndemniteNumber(local), SampleTicket(3, "FR 9")));
    EXPECT_TRUE(Upload());
    EXPECT_EQ(TicketsOf(ServerFile()).size(), 4u);
    EXPECT_EQ(ReadIndemnite(ServerFile(), 0).datepaiement, "01.12.2026");
    EXPECT_EQ(ReadInfos(ServerFile()).Mandat, "2026-12-01");
}

TEST_F(DataSync, AnUploadStaysOwedUntilItHasArrived) {
    // Looks at the mark while the upload is under way, as a program ended then would leave it.
    class Watching : public testing_support::MemoryFtp {
    public:
        std::string data_file;
        bool owed_meanwhile = false;
        FtpStatus Upload(const std::string& local_path, const std::string& remote_path) override {
            owed_meanwhile = web::UploadOwed(data_file);
            return MemoryFtp::Upload(local_path, remote_path);
        }
    } watching;
    watching.data_file = local;
    watching.files[kRemote] = MakeDataFile(local, 1);
    ASSERT_TRUE(WriteIndemnite(local, 1, SampleTicket(1, "GE 1")));
    EXPECT_TRUE(web::UploadDataFile(watching, local, kKey));
    EXPECT_TRUE(watching.owed_meanwhile);
    EXPECT_FALSE(web::UploadOwed(local));
}

TEST_F(DataSync, TwoComputersPrintingOneNumberKeepBothTickets) {
    Server() = MakeDataFile(local, 1);
    const std::string other = dir.File("other/000NZFAP");
    fs::create_directories(dir.File("other"));
    fs::copy_file(local, other);

    ASSERT_TRUE(WriteIndemnite(other, 1, SampleTicket(1, "BE 1")));
    ASSERT_TRUE(web::UploadDataFile(ftp, other, kKey));
    ASSERT_TRUE(WriteIndemnite(local, 1, SampleTicket(1, "VS 2")));
    const auto sync = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/true);
    ASSERT_TRUE(sync.uploaded);
    // The reference printed on both tickets is named, for the user to tell the operator.
    EXPECT_EQ(sync.shared_references, std::vector<std::string>{"000NZFAP-1"});

    // The server's ticket keeps its number, the local one follows with its keys unchanged.
    EXPECT_EQ(ReadIndemnite(local, 1).nPlaques, "BE 1");
    EXPECT_EQ(ReadIndemnite(local, 2).nPlaques, "VS 2");
    EXPECT_EQ(ReadIndemnite(local, 2).NumIndemn, "000NZFAP-1");
    EXPECT_EQ(Server(), ReadFileBytes(local));
    EXPECT_EQ(NextIndemniteNumber(local), 3);

    // Merging again changes nothing, on either side, and keeps no further backup.
    const std::string before = ReadFileBytes(local);
    const auto backups =
        std::distance(fs::directory_iterator(web::BackupFolder(local)), fs::directory_iterator());
    EXPECT_EQ(MergeDataFiles(store::Document::Load(local), store::Document::Load(local)), before);
    EXPECT_TRUE(Upload());
    EXPECT_EQ(ReadFileBytes(local), before);
    EXPECT_EQ(Server(), before);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(web::BackupFolder(local)), fs::directory_iterator()),
        backups);
}

// Damaged local files and damaged server copies: the next ticket never takes the place of a
// record, and no ticket readable before the synchronisation is lost after it.
TEST_F(DataSync, DamagedFilesLoseNoRecord) {
    const std::string full = MakeDataFile(dir.File("full"), 3);
    const std::string last_header = "[" + store::EncodeText("INDEMNITE2") + "]";
    const std::size_t header_at = full.find(last_header);
    ASSERT_NE(header_at, std::string::npos);
    std::string repeated_section = full + full.substr(header_at);
    // A repeated section with other values: readers see the first one.
    std::string damaged_header = full;
    damaged_header[header_at + 3] = 'Z';

    struct Case {
        std::string name;
        std::string local;
        std::string server;
        bool server_usable;
    };
    std::vector<Case> cases;
    for (std::size_t cut = 0; cut <= full.size(); ++cut)
        cases.push_back({"cut at " + std::to_string(cut), full.substr(0, cut), full, true});
    cases.push_back({"section repeated at the end", repeated_section, full, true});
    cases.push_back({"damaged last header", damaged_header, full, true});
    cases.push_back({"junk from the server", full, "\x01\x02junk\r\n[x]\r\n", false});
    cases.push_back({"an HTML page from the server", full,
                     "<html><body><h1>502 Bad Gateway</h1></body></html>\r\n", false});
    cases.push_back({"another account's file", full,
                     [&] {
                         const std::string p = dir.File("stranger");
                         WriteAccount(p, "c@d.ch", "secret1");
                         return ReadFileBytes(p);
                     }(),
                     false});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(local, CompleteLines(c.local));
        const auto readable = ReadIndemnites(local);
        WriteFileBytes(local, c.local);
        fs::remove(local + ".unsynced");
        Server() = c.server;
        const std::string server_before = Server();
        const std::int32_t number = NextIndemniteNumber(local);
        ASSERT_TRUE(WriteIndemnite(local, number, SampleTicket(number, "NEW 1")));
        // The record written is the new one and every earlier record is as it was.
        auto with_new = ReadIndemnites(local);
        ASSERT_EQ(with_new.at(static_cast<std::size_t>(number)).nPlaques, "NEW 1");
        for (const IndemniteRecord& r : readable)
            EXPECT_TRUE(Keeps(with_new, r)) << r.NumIndemn;

        const bool uploaded = Upload();
        EXPECT_EQ(uploaded, c.server_usable);
        const auto after = ReadIndemnites(local);
        for (const IndemniteRecord& r : readable)
            EXPECT_TRUE(Keeps(after, r)) << r.NumIndemn;
        EXPECT_TRUE(Keeps(after, SampleTicket(number, "NEW 1")));
        if (c.server_usable) {
            // Every ticket of the intact server copy is there too, and the server got the lot.
            WriteFileBytes(scratch, server_before);
            for (const IndemniteRecord& r : ReadIndemnites(scratch))
                EXPECT_TRUE(Keeps(after, r)) << r.NumIndemn;
            EXPECT_EQ(Server(), ReadFileBytes(local));
            EXPECT_EQ(ReadInfos(local).pwd, "secret1");
        } else {
            // Junk is neither merged nor overwritten, and the upload stays owed.
            EXPECT_EQ(Server(), server_before);
            EXPECT_TRUE(web::UploadOwed(local));
        }
    }
}

// A server copy cut inside its last lines (an upload broken off on a server that took it
// directly): a cut line never wins over this computer's whole one, no payment mark changes, and
// what goes back to the server is the complete file, never a cut mark over a whole one.
TEST_F(DataSync, AServerCopyCutInItsLastLinesChangesNoMark) {
    MakeDataFile(dir.File("made"), 3);
    // The operator's marks, the last of them on the file's last line.
    const std::string made = dir.File("made");
    ASSERT_TRUE(store::WriteIni("INFOS", "Mandat", "2025-02-01", made));
    ASSERT_TRUE(store::WriteIni("INDEMNITE0", "datepaiement", "01.03.2025", made));
    ASSERT_TRUE(store::WriteIni("INDEMNITE2", "datepaiement", "ANNULE-02.03.2025", made));
    const std::string full = ReadFileBytes(made);
    const auto marks = TicketsOf(made);
    // The last section, header included, and the line before it.
    const std::string last_header = "[" + store::EncodeText("INDEMNITE2") + "]";
    const std::size_t from = full.rfind("\r\n", full.find(last_header) - 2);
    ASSERT_NE(from, std::string::npos);

    for (std::size_t cut = from; cut < full.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        // This computer synchronised before the cut.
        WriteFileBytes(local, full);
        fs::remove(local + ".unsynced");
        Server() = full.substr(0, cut);
        const auto sync = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/false);
        EXPECT_EQ(sync.outcome, web::SyncOutcome::Merged);
        EXPECT_EQ(TicketsOf(local), marks);
        EXPECT_EQ(ReadInfos(local).Mandat, "2025-02-01");
        // The server holds the complete file again.
        EXPECT_TRUE(sync.uploaded);
        EXPECT_EQ(TicketsOf(ServerFile()), marks);
        EXPECT_EQ(ReadInfos(ServerFile()).Mandat, "2025-02-01");
    }
}

// A server that takes no lock lets another computer's upload land right after this one's: the
// check after the upload finds its own ticket missing, merges the other computer's copy in and
// uploads again, so that the server ends with both tickets.
TEST_F(DataSync, AnUploadReplacedByAnotherComputersIsMadeAgain) {
    class Interleaving : public testing_support::MemoryFtp {
    public:
        std::string others_copy;
        FtpStatus Lock(const std::string&) override { return FtpStatus::Failed; }
        FtpStatus Upload(const std::string& local_path, const std::string& remote_path) override {
            const FtpStatus status = MemoryFtp::Upload(local_path, remote_path);
            if (!others_copy.empty()) {
                files[remote_path] = files[remote_path.substr(1)] = others_copy;
                others_copy.clear();
            }
            return status;
        }
    } interleaving;
    interleaving.files[kRemote] = MakeDataFile(local, 1);
    // The other computer added its ticket to the server's copy as it was before this upload.
    const std::string other = dir.File("other");
    WriteFileBytes(other, interleaving.files[kRemote]);
    ASSERT_TRUE(WriteIndemnite(other, 1, SampleTicket(1, "BE 1")));
    interleaving.others_copy = ReadFileBytes(other);

    ASSERT_TRUE(WriteIndemnite(local, 1, SampleTicket(1, "VS 2")));
    EXPECT_TRUE(web::UploadDataFile(interleaving, local, kKey));
    WriteFileBytes(scratch, interleaving.files[kRemote]);
    const auto tickets = TicketsOf(scratch);
    EXPECT_EQ(tickets.size(), 3u);
    EXPECT_EQ(tickets.count("000NZFAP-1"), 2u); // both printed 1: one of them offline
    EXPECT_EQ(interleaving.files[kRemote], ReadFileBytes(local));
    EXPECT_FALSE(web::UploadOwed(local));
}

// The start-up uploads whatever the server's copy lacks, even when the mark that an upload is
// owed could not be written; and nothing when it lacks nothing.
TEST_F(DataSync, TheStartUpSendsWhatTheServerLacksWhateverTheMark) {
    Server() = MakeDataFile(local, 1);
    ASSERT_TRUE(WriteIndemnite(local, 1, SampleTicket(1, "GE 1")));
    ASSERT_FALSE(web::UploadOwed(local));
    auto start = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/false);
    EXPECT_TRUE(start.uploaded);
    EXPECT_EQ(TicketsOf(ServerFile()).size(), 2u);

    ftp.calls.clear();
    start = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/false);
    EXPECT_TRUE(start.uploaded);
    EXPECT_EQ(ftp.calls.size(), 1u); // the download only
    EXPECT_TRUE(ftp.locks.empty());  // the server's lock was given back
}

// The signed mandate comes down only as a PDF document: an error page, however large, never
// replaces the local one.
TEST_F(DataSync, OnlyAPdfReplacesTheLocalMandate) {
    const std::string mandate = dir.File("data/Mandat_000NZFAP.pdf");
    const std::string remote = web::MandateDownloadPath(kKey);
    WriteFileBytes(mandate, "%PDF-1.4 signed");
    testing_support::RecordingPrompts prompts;
    ftp.files[remote] = "<html><body>" + std::string(4000, 'x') + "</body></html>";
    auto r = web::SyncFromServer(ftp, prompts, remote, mandate);
    EXPECT_EQ(r.outcome, web::SyncOutcome::Foreign);
    EXPECT_EQ(ReadFileBytes(mandate), "%PDF-1.4 signed");
    EXPECT_FALSE(fs::exists(mandate + ".part"));

    ftp.files[remote] = "%PDF-1.7 signed by the operator";
    r = web::SyncFromServer(ftp, prompts, remote, mandate);
    EXPECT_EQ(r.outcome, web::SyncOutcome::Replaced);
    EXPECT_EQ(ReadFileBytes(mandate), "%PDF-1.7 signed by the operator");
}

TEST(DataSave, OneWriteOwnerOnlyThroughLinksAndNoLeftovers) {
    TempDir dir;
    const std::string real = dir.File("real/000NZFAP");
    fs::create_directories(dir.File("real"));
    fs::create_directories(dir.File("data"));
    const std::string link = dir.File("data/000NZFAP");
    ASSERT_TRUE(WriteAccount(real, "a@b.ch", "secret1"));
    fs::create_symlink(real, link);

    std::vector<PlaceRecord> spots;
    for (int i = 0; i < 4000; ++i)
        spots.push_back({"P" + std::to_string(i), "Rue " + std::to_string(i), "0"});
    ASSERT_TRUE(WritePlaces(link, spots));
    EXPECT_TRUE(fs::is_symlink(link));
    const auto places = ReadPlaces(link);
    ASSERT_EQ(places.size(), 4000u);
    EXPECT_EQ(places[3999].adresse, "Rue 3999");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Leftovers of a crash beside the file go at the next start; other files stay.
    WriteFileBytes(real + ".~tmpAbC123", "half");
    WriteFileBytes(real + ".part", "half");
    WriteFileBytes(real + ".unsynced.~tmpXy12ab", "1"); // the owed mark, cut off as it was written
    WriteFileBytes(dir.File("real/keep.txt"), "mine");
    web::RemoveLeftovers(link);
    web::RemoveLeftovers(real);
    EXPECT_FALSE(fs::exists(real + ".~tmpAbC123"));
    EXPECT_FALSE(fs::exists(real + ".part"));
    EXPECT_FALSE(fs::exists(real + ".unsynced.~tmpXy12ab"));
    EXPECT_TRUE(fs::exists(dir.File("real/keep.txt")));
    EXPECT_TRUE(fs::exists(real));
}

TEST_F(DataSync, BackupsAreDatedAndAtMostTwenty) {
    Server() = MakeDataFile(local, 0);
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(WriteIndemnite(local, i, SampleTicket(i, "T" + std::to_string(i))));
        // A ticket another computer sent: the merge rewrites the local file every time.
        WriteFileBytes(scratch, Server());
        ASSERT_TRUE(WriteIndemnite(scratch, 1000 + i, SampleTicket(1000 + i, "O")));
        Server() = ReadFileBytes(scratch);
        ASSERT_TRUE(Upload());
        const auto count = std::distance(fs::directory_iterator(web::BackupFolder(local)),
                                         fs::directory_iterator());
        EXPECT_EQ(count, std::min(i + 1, 20));
        if (i == 9) {
            // Ten synchronisations, ten dated copies, each a complete earlier local file.
            for (const auto& e : fs::directory_iterator(web::BackupFolder(local))) {
                EXPECT_EQ(e.path().filename().string().rfind("000NZFAP-2", 0), 0u);
                EXPECT_EQ(ReadInfos(e.path().string()).mail, "a@b.ch");
            }
        }
    }
}

// Section names are matched between the copies as stored: a name that differs from this
// computer's only in case, which shares its hash, is another section, kept from the server's copy
// and written before this computer's.
TEST(DataMerge, NamesThatDifferOnlyInCaseStayApart) {
    const std::string local = "[Ab]\r\nk=1\r\n";
    const std::string server = "[aB]\r\nk=2\r\n[Ab]\r\nk=1\r\n";
    EXPECT_EQ(MergeDataFiles(store::Document::Parse(local), store::Document::Parse(server)),
              "[aB]\r\nk=2\r\n[Ab]\r\nk=1\r\n");
}

// The start-up compares the merge's bytes with the local file's as they come: a file that differs
// only at its end, by its length or by a line end is still written over with the merge, and one
// equal to the merge is left as it is, with no dated copy.
TEST_F(DataSync, AFileThatDiffersOnlyAtItsEndOrItsLineEndsIsWrittenOver) {
    const std::string normal = MakeDataFile(local, 3);
    const std::string lf = [&] {
        std::string bytes = normal;
        bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
        return bytes;
    }();
    struct Case {
        const char* name;
        std::string bytes;
        std::string server;
    };
    const Case cases[] = {
        {"the merge itself", normal, normal},
        {"a blank line after it", normal + "\r\n", normal},
        {"a blank line on the server's side only", normal, normal + "\r\n"},
        {"its last line end cut off", normal.substr(0, normal.size() - 2), normal},
        {"its line ends LF alone", lf, normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(web::BackupFolder(local));
        WriteFileBytes(local, c.bytes);
        Server() = c.server;
        const std::string merged =
            MergeDataFiles(store::Document::Parse(c.bytes), store::Document::Parse(Server()));
        if (&c == &cases[0]) ASSERT_EQ(merged, normal);
        const auto sync = web::SyncDataFile(ftp, nullptr, local, kKey, /*upload=*/false);
        EXPECT_EQ(sync.outcome, web::SyncOutcome::Merged);
        EXPECT_EQ(ReadFileBytes(local), merged);
        EXPECT_EQ(fs::exists(web::BackupFolder(local)), merged != c.bytes);
    }
}

} // namespace
} // namespace kerbolt::store
