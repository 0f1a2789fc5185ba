// Transfers with the server beside the windows: a silent server never freezes the window, a
// ticket never waits for its upload, and the start-up need not wait for the server.
#include "app/core/store/records.h"
#include "app/core/texts/connect_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/core/texts/transfer_texts.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/application.h"
#include "app/ui/frm_connect.h"
#include "app/ui/frm_main.h"
#include "app/ui/transfer_runner.h"
#include "tests/support/ui_harness.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace kerbolt::ui {
namespace {

using testing_support::Control;
using testing_support::ProcessEventsUntil;
using testing_support::ReadFileBytes;
using testing_support::Server;
using testing_support::UiHarness;

// A signed-in user with an account and a spot, and transfers beside the windows.
class Transfers : public ::testing::Test {
protected:
    explicit Transfers(Server server) : harness_(server) {}
    void SetUp() override {
        harness_.SignedIn(Module1::kFrench);
        ASSERT_TRUE(WriteAccount(DataFile(), "a@b.ch", "secret1"));
        ASSERT_TRUE(WritePlaces(DataFile(), {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"}}));
        harness_.context->transfers = &runner_;
    }
    void TearDown() override {
        // The windows' last reports arrive before the harness goes.
        EXPECT_TRUE(ProcessEventsUntil([this] { return !runner_.Busy(); }));
    }
    const std::string& DataFile() const { return harness_.context->state.DataFile; }
    void Print(frmMain& window, const char* plates) {
        Control<QComboBox>(&window, "cmbPlace")->setCurrentIndex(0);
        Control<QLineEdit>(&window, "txtPlaques")->setText(QString::fromUtf8(plates));
        Control<QPushButton>(&window, "cmdPrint")->click();
    }

    UiHarness harness_;
    TransferRunner runner_;
};

class TransfersToAHungServer : public Transfers {
protected:
    TransfersToAHungServer() : Transfers(Server::Hung) {}
};

class TransfersToAWorkingServer : public Transfers {
protected:
    TransfersToAWorkingServer() : Transfers(Server::Running) {}
};

TEST_F(TransfersToAHungServer, TheTicketIsRecordedAndPrintedAndTheWindowLivesOn) {
    QElapsedTimer clock;
    clock.start();
    // The window opens at once and fetches the signed mandate beside it.
    frmMain window(*harness_.context);
    window.show();
    EXPECT_LT(clock.elapsed(), 1000) << "the window waited for the server";
    qint64 timer_fired_at = -1;
    const qint64 timer_set_at = clock.elapsed();
    QTimer::singleShot(200, [&] { timer_fired_at = clock.elapsed() - timer_set_at; });

    const qint64 click_at = clock.elapsed();
    Print(window, "VD 1");
    const qint64 click_took = clock.elapsed() - click_at;
    EXPECT_LT(click_took, 1000) << "the click waited for the server";
    const std::vector<IndemniteRecord> tickets = ReadIndemnites(DataFile());
    ASSERT_EQ(tickets.size(), 1u);
    EXPECT_EQ(tickets[0].nPlaques, "VD 1");
    EXPECT_EQ(harness_.printers.pages_printed, 1);
    EXPECT_TRUE(runner_.Busy());

    // The event loop runs while the upload waits: the timer fires on time...
    ASSERT_TRUE(ProcessEventsUntil([&] { return timer_fired_at >= 0; }));
    EXPECT_LT(timer_fired_at, 700);
    // ...and past a second a small dialog names the step, without a button to stop it: first
    // the mandate's fetch, then the ticket's upload.
    ASSERT_TRUE(ProcessEventsUntil([&] { return runner_.ProgressDialog() != nullptr; }));
    EXPECT_GE(clock.elapsed(), 1000);
    QProgressDialog* dialog = runner_.ProgressDialog();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->labelText().toStdString(),
              transfers::StepText(Module1::kFrench, transfers::Step::Synchronise));
    EXPECT_EQ(dialog->findChild<QPushButton*>(), nullptr);
    const std::string upload = transfers::StepText(Module1::kFrench, transfers::Step::Upload);
    ASSERT_TRUE(ProcessEventsUntil([&] {
        return runner_.ProgressDialog() == nullptr ||
               runner_.ProgressDialog()->labelText().toStdString() == upload;
    }));
    ASSERT_NE(runner_.ProgressDialog(), nullptr);
    EXPECT_TRUE(harness_.prompts.prompts.empty());

    // When the server's time is up the user learns that the server's copy is behind, the
    // ticket is notified, and the upload stays owed to the next save.
    ASSERT_TRUE(ProcessEventsUntil([&] { return !runner_.Busy(); }));
    EXPECT_EQ(harness_.prompts.Texts(), std::vector<std::string>{kerbolt::frmMain::Message(
                                            Module1::kFrench, kerbolt::frmMain::kMsgUploadFailed)});
    EXPECT_EQ(harness_.notifier.references, std::vector<std::string>{"000NZFAP-0"});
    EXPECT_TRUE(modUpload::UploadOwed(DataFile()));
    EXPECT_EQ(runner_.ProgressDialog(), nullptr);
}

TEST_F(TransfersToAHungServer, TheStartUpNeedNotWaitForTheServer) {
    // A user of the German texts whose address is remembered: the start-up synchronises.
    Module1::State& state = harness_.context->state;
    ASSERT_TRUE(SaveLanguage(state.IniPath, Module1::kGerman));
    ASSERT_TRUE(SaveRememberedMail(state.IniPath, "a@b.ch"));
    const std::string before = ReadFileBytes(DataFile());

    QElapsedTimer clock;
    clock.start();
    qint64 dialog_at = -1;
    std::string label, button;
    // The user clicks the dialog's button as soon as it shows.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QProgressDialog* dialog = runner_.ProgressDialog();
        if (dialog == nullptr || !dialog->isVisible() || dialog_at >= 0) return;
        dialog_at = clock.elapsed();
        label = dialog->labelText().toStdString();
        auto* skip = dialog->findChild<QPushButton*>();
        if (skip == nullptr) return;
        button = skip->text().toStdString();
        skip->click();
    });
    poll.start(20);

    Application application(*harness_.context);
    ASSERT_TRUE(application.Start());
    const qint64 started_after = clock.elapsed();
    poll.stop();

    EXPECT_GE(dialog_at, 1000);
    EXPECT_LT(started_after, 4000) << "the start-up waited for the server's time-out";
    EXPECT_EQ(label, transfers::StepText(Module1::kGerman, transfers::Step::Synchronise));
    EXPECT_EQ(button, transfers::SkipServerCaption(Module1::kGerman));
    ASSERT_NE(application.MainWindow(), nullptr);
    EXPECT_TRUE(application.MainWindow()->isVisible());
    EXPECT_EQ(harness_.prompts.Texts(),
              std::vector<std::string>{transfers::ServerSkippedMessage(Module1::kGerman)});
    EXPECT_EQ(ReadFileBytes(DataFile()), before);
}

TEST(SignInToAHungServer, TheWindowLivesOnWhileTheServerIsAsked) {
    UiHarness harness(Server::Hung);
    TransferRunner runner;
    harness.context->transfers = &runner;
    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    frmConnect* window = application.ConnectWindow();
    ASSERT_NE(window, nullptr);
    Control<QPushButton>(window, "cmdLangue0")->click();

    QElapsedTimer clock;
    clock.start();
    qint64 timer_fired_at = -1;
    std::string step;
    QTimer::singleShot(200, [&] { timer_fired_at = clock.elapsed(); });
    QTimer::singleShot(1300, [&] { step = runner.CurrentStep(); });
    Control<QLineEdit>(window, "txtMail")->setText(QStringLiteral("a@b.ch"));
    Control<QLineEdit>(window, "txtPwd")->setText(QStringLiteral("secret1"));
    Control<QPushButton>(window, "cmdOpen")->click();

    // The click waited for the server's time-out, with the event loop running all along.
    EXPECT_GE(clock.elapsed(), 1300);
    EXPECT_GE(timer_fired_at, 0);
    EXPECT_LT(timer_fired_at, 700);
    EXPECT_EQ(step, transfers::StepText(Module1::kFrench, transfers::Step::Synchronise));
    EXPECT_FALSE(runner.Busy());
    EXPECT_EQ(harness.prompts.Texts(),
              std::vector<std::string>{kerbolt::frmConnect::LoginMessage(
                  Module1::kFrench, kerbolt::frmConnect::kServerUnreachableMessage)});
    EXPECT_FALSE(std::filesystem::exists(harness.dir.File("data/Kerbolt/000NZFAP")));
    EXPECT_EQ(application.MainWindow(), nullptr);
}

TEST_F(TransfersToAWorkingServer, TheTicketsUploadArrivesAfterThePrint) {
    frmMain window(*harness_.context);
    window.show();
    Print(window, "VD 1");
    Print(window, "VD 2");
    EXPECT_EQ(harness_.printers.pages_printed, 2);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !runner_.Busy(); }));
    EXPECT_EQ(ReadIndemnites(harness_.ServerFile("000NZFAP")).size(), 2u);
    EXPECT_EQ(ReadFileBytes(harness_.ServerFile("000NZFAP")), ReadFileBytes(DataFile()));
    EXPECT_EQ(harness_.notifier.references, (std::vector<std::string>{"000NZFAP-0", "000NZFAP-1"}));
    EXPECT_TRUE(harness_.prompts.prompts.empty());
    EXPECT_FALSE(modUpload::UploadOwed(DataFile()));
}

} // namespace
} // namespace kerbolt::ui
