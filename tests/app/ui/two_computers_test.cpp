// Two computers of one account against the FTP stand-in, slowed so that their transfers overlap:
// every printed ticket reaches the server's copy once, and every printed payment reference names
// one ticket, on paper (the QR code read back from the printed page) and in the server's copy.
#include "app/core/store/records.h"
#include "app/core/texts/transfer_texts.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/frm_main.h"
#include "app/ui/transfer_runner.h"
#include "tests/support/ui_harness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace kerbolt::ui {
namespace {

namespace fs = std::filesystem;
using testing_support::Control;
using testing_support::FtpFaults;
using testing_support::ProcessEventsUntil;
using testing_support::RunCommand;
using testing_support::Server;
using testing_support::UiHarness;

constexpr const char* kKey = "000NZFAP"; // the key of a@b.ch

FtpFaults Slowed() {
    FtpFaults faults;
    faults.slow_ms = 600; // before each download and upload
    return faults;
}

// One computer: its data folder, its printer, its transfers and its main window.
struct Computer {
    explicit Computer(UiHarness& its_harness) : harness(its_harness) {
        harness.SignedIn(texts::kFrench);
        harness.context->transfers = &runner;
    }
    void Open() {
        window = std::make_unique<frmMain>(*harness.context);
        window->show();
        EXPECT_TRUE(ProcessEventsUntil([this] { return !runner.Busy(); }));
    }
    // Clicks print for plates on the first spot; the ticket prints once it is numbered.
    void Click(const std::string& plates) {
        Control<QComboBox>(window.get(), "cmbPlace")->setCurrentIndex(0);
        Control<QLineEdit>(window.get(), "txtPlaques")->setText(QString::fromStdString(plates));
        Control<QPushButton>(window.get(), "cmdPrint")->click();
    }
    bool Done() const { return !runner.Busy(); }
    // The reference and plates the QR code on the last printed page carries.
    std::string PrintedMessage() const {
        const std::string pdf = harness.dir.File("ticket.pdf");
        const std::string png = harness.dir.File("ticket");
        EXPECT_EQ(RunCommand("pdftoppm -r 300 -png -singlefile " + pdf + " " + png).status, 0);
        const auto decoded = RunCommand("ZXingReader -bytes -format QRCode " + png + ".png");
        EXPECT_EQ(decoded.status, 0);
        // The unstructured message, line 30 of the payload: "reference / plates".
        std::size_t start = 0;
        for (int line = 1; line < 30 && start != std::string::npos; ++line) {
            start = decoded.out.find("\r\n", start);
            if (start != std::string::npos) start += 2;
        }
        if (start == std::string::npos) return {};
        return decoded.out.substr(start, decoded.out.find("\r\n", start) - start);
    }
    std::string DataFile() const { return harness.context->state.DataFile; }

    UiHarness& harness;
    TransferRunner runner;
    std::unique_ptr<frmMain> window;
};

class TwoComputers : public ::testing::Test {
protected:
    TwoComputers()
        : first_harness_(Server::Running, Slowed()),
          second_harness_(Server::Running, {}, first_harness_.ftp_server->Port()),
          first_(first_harness_), second_(second_harness_) {}

    void SetUp() override {
        // The account as the first computer made it, on the server and on both computers.
        ASSERT_TRUE(store::WriteAccount(first_.DataFile(), "a@b.ch", "secret1"));
        ASSERT_TRUE(
            store::WritePlaces(first_.DataFile(), {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"}}));
        ASSERT_TRUE(web::UploadDataFile(*first_harness_.ftp, first_.DataFile(), kKey));
        fs::copy_file(first_.DataFile(), second_.DataFile());
        first_.Open();
        second_.Open();
    }
    void TearDown() override {
        EXPECT_TRUE(ProcessEventsUntil([this] { return first_.Done() && second_.Done(); }));
    }

    // Keeps what a computer's last page carries, by its plates.
    void Collect(const Computer& computer, const std::string& plates) {
        const std::string message = computer.PrintedMessage();
        const std::string suffix = " / " + plates;
        ASSERT_GT(message.size(), suffix.size()) << message;
        ASSERT_EQ(message.substr(message.size() - suffix.size()), suffix) << message;
        printed_[plates] = message.substr(0, message.size() - suffix.size());
    }

    // Every printed ticket is once on the server's copy, under the reference its paper carries,
    // and no reference names two tickets.
    void ExpectEveryTicketOnceUnderItsOwnReference() {
        std::set<std::string> references;
        for (const auto& [plates, reference] : printed_)
            EXPECT_TRUE(references.insert(reference).second) << reference << " printed twice";
        std::multimap<std::string, std::string> on_server;
        for (const store::IndemniteRecord& r :
             store::ReadIndemnites(first_harness_.ServerFile(kKey)))
            on_server.emplace(r.NumIndemn, r.nPlaques);
        EXPECT_EQ(on_server.size(), printed_.size());
        for (const auto& [plates, reference] : printed_) {
            EXPECT_EQ(on_server.count(reference), 1u) << reference;
            const auto found = on_server.find(reference);
            if (found != on_server.end()) EXPECT_EQ(found->second, plates) << reference;
        }
        for (const Computer* computer : {&first_, &second_}) {
            EXPECT_TRUE(computer->harness.prompts.prompts.empty());
            EXPECT_FALSE(web::UploadOwed(computer->DataFile()));
        }
    }

    UiHarness first_harness_;
    UiHarness second_harness_;
    Computer first_;
    Computer second_;
    std::map<std::string, std::string> printed_; // plates -> printed reference
};

TEST_F(TwoComputers, PrintingInTurnGivesEveryTicketItsOwnReference) {
    for (int round = 0; round < 2; ++round) {
        for (Computer* computer : {&first_, &second_}) {
            const std::string plates =
                (computer == &first_ ? "VD " : "GE ") + std::to_string(round + 1);
            computer->Click(plates);
            ASSERT_TRUE(ProcessEventsUntil([&] { return computer->Done(); }));
            Collect(*computer, plates);
        }
    }
    ExpectEveryTicketOnceUnderItsOwnReference();
}

TEST_F(TwoComputers, PrintingAtTheSameMomentGivesEveryTicketItsOwnReference) {
    for (int round = 0; round < 2; ++round) {
        const std::string first_plates = "VD " + std::to_string(round + 1);
        const std::string second_plates = "GE " + std::to_string(round + 1);
        // Both clicks are in before either computer has its number.
        first_.Click(first_plates);
        second_.Click(second_plates);
        EXPECT_FALSE(first_.Done());
        EXPECT_FALSE(second_.Done());
        ASSERT_TRUE(ProcessEventsUntil([&] { return first_.Done() && second_.Done(); }));
        Collect(first_, first_plates);
        Collect(second_, second_plates);
    }
    // The two synchronisations did overlap: the stand-in saw a computer wait for the lock.
    const std::string log = first_harness_.ftp_server->Log();
    std::size_t locks = 0;
    for (std::size_t at = log.find("MKD "); at != std::string::npos; at = log.find("MKD ", at + 1))
        ++locks;
    EXPECT_GT(locks, 4u) << log;
    ExpectEveryTicketOnceUnderItsOwnReference();
}

// A computer without the server prints with its own file's next number; another computer prints
// that number meanwhile. Back online, the next synchronisation keeps both tickets, the later
// under a free number with the reference printed on it, and names the shared reference.
TEST_F(TwoComputers, AnOfflineTicketSharingAReferenceIsKeptAndNamed) {
    UiHarness offline_harness(Server::Stopped);
    Computer offline(offline_harness);
    fs::create_directories(fs::path(offline.DataFile()).parent_path());
    fs::copy_file(second_.DataFile(), offline.DataFile());
    offline.Open();
    offline.Click("FR 1");
    ASSERT_TRUE(ProcessEventsUntil([&] { return offline.Done(); }));
    Collect(offline, "FR 1");
    EXPECT_TRUE(web::UploadOwed(offline.DataFile()));

    first_.Click("VD 1");
    ASSERT_TRUE(ProcessEventsUntil([&] { return first_.Done(); }));
    Collect(first_, "VD 1");
    ASSERT_EQ(printed_["FR 1"], printed_["VD 1"]);

    // The offline computer's file back on a computer that reaches the server.
    fs::copy_file(offline.DataFile(), second_.DataFile(), fs::copy_options::overwrite_existing);
    fs::copy_file(offline.DataFile() + ".unsynced", second_.DataFile() + ".unsynced");
    second_.Click("GE 1");
    ASSERT_TRUE(ProcessEventsUntil([&] { return second_.Done(); }));
    Collect(second_, "GE 1");

    EXPECT_EQ(second_harness_.prompts.Texts(),
              std::vector<std::string>{
                  texts::SharedReferenceMessage(texts::kFrench, {printed_["VD 1"]})});
    std::multimap<std::string, std::string> on_server;
    for (const store::IndemniteRecord& r : store::ReadIndemnites(first_harness_.ServerFile(kKey)))
        on_server.emplace(r.NumIndemn, r.nPlaques);
    EXPECT_EQ(on_server.size(), 3u);
    EXPECT_EQ(on_server.count(printed_["VD 1"]), 2u);
    EXPECT_EQ(on_server.count(printed_["GE 1"]), 1u);
    EXPECT_NE(printed_["GE 1"], printed_["VD 1"]);
    EXPECT_FALSE(web::UploadOwed(second_.DataFile()));
}

} // namespace
} // namespace kerbolt::ui
