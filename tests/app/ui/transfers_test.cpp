// Transfers with the server beside the windows: a silent server never freezes the window, a
// ticket waits for its number beside the window, and the start-up need not wait for the server.
// Nothing here is timed against the clock but the server's own time-outs and the dialog's delay.
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
    explicit Transfers(Server server, long hung_timeout_s = 2)
        : harness_(server, {}, 0, hung_timeout_s) {}
    void SetUp() override {
        harness_.SignedIn(texts::kFrench);
        ASSERT_TRUE(store::WriteAccount(DataFile(), "a@b.ch", "secret1"));
        ASSERT_TRUE(store::WritePlaces(DataFile(), {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"}}));
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

// A server silent for longer than any delay of a loaded machine: the user stops waiting first.
class TransfersToALongHungServer : public Transfers {
protected:
    TransfersToALongHungServer() : Transfers(Server::Hung, 8) {}
};

class TransfersToAWorkingServer : public Transfers {
protected:
    TransfersToAWorkingServer() : Transfers(Server::Running) {}
};

TEST_F(TransfersToAHungServer, TheTicketIsRecordedAndPrintedAndTheWindowLivesOn) {
    // The window opens while the signed mandate's fetch still waits for the server.
    frmMain window(*harness_.context);
    window.show();
    EXPECT_TRUE(runner_.Busy()) << "the window waited for the server";
    // The steps the progress dialog names, in the order it shows them.
    std::vector<std::string> steps_shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QProgressDialog* dialog = runner_.ProgressDialog();
        if (dialog == nullptr || !dialog->isVisible()) return;
        EXPECT_EQ(dialog->findChild<QPushButton*>(), nullptr);
        const std::string step = dialog->labelText().toStdString();
        if (steps_shown.empty() || steps_shown.back() != step) steps_shown.push_back(step);
    });
    watch.start(20);
    QElapsedTimer clock;
    clock.start();
    // Fires long before the server's time-out, if the event loop runs meanwhile.
    bool fired_while_waiting = false;
    QTimer::singleShot(200, [&] { fired_while_waiting = runner_.Busy(); });

    // The click returns at once: the ticket's number waits for the server, beside the window.
    Print(window, "VD 1");
    EXPECT_TRUE(runner_.Busy()) << "the click waited for the server";
    EXPECT_EQ(harness_.printers.pages_printed, 0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return fired_while_waiting; }));

    // When the server's time is up the ticket is numbered from this computer's file, recorded,
    // printed and notified; the user learns that the server's copy is behind and may try again
    // (here: no), and the upload stays owed to the next save.
    ASSERT_TRUE(ProcessEventsUntil([&] { return !runner_.Busy(); }));
    watch.stop();
    const std::vector<store::IndemniteRecord> tickets = store::ReadIndemnites(DataFile());
    ASSERT_EQ(tickets.size(), 1u);
    EXPECT_EQ(tickets[0].nPlaques, "VD 1");
    EXPECT_EQ(harness_.printers.pages_printed, 1);
    const std::string not_updated = kerbolt::texts::frmMain::Message(
                                        texts::kFrench, kerbolt::texts::frmMain::kMsgUploadFailed) +
                                    "\n" + texts::RetryQuestion(texts::kFrench);
    ASSERT_EQ(harness_.prompts.prompts.size(), 1u);
    EXPECT_EQ(harness_.prompts.prompts[0].text, not_updated);
    EXPECT_TRUE(harness_.prompts.prompts[0].question);
    EXPECT_EQ(harness_.notifier.references, std::vector<std::string>{"000NZFAP-0"});
    EXPECT_TRUE(web::UploadOwed(DataFile()));
    EXPECT_EQ(runner_.ProgressDialog(), nullptr);
    // No transfer ends before the server's time-out; the dialog shows past its delay, naming
    // the mandate's fetch and then the ticket's transfer, in the order they were handed in.
    EXPECT_GE(clock.elapsed(), 2 * 1000 - 100);
    const std::string fetch = texts::StepText(texts::kFrench, texts::Step::Synchronise);
    const std::string upload = texts::StepText(texts::kFrench, texts::Step::Upload);
    ASSERT_FALSE(steps_shown.empty());
    EXPECT_EQ(steps_shown.back(), upload);
    for (const std::string& step : steps_shown)
        EXPECT_TRUE(step == fetch || step == upload) << step;
    EXPECT_LE(steps_shown.size(), 2u);
}

TEST_F(TransfersToAHungServer, TheUserMayTryTheUploadAgain) {
    frmMain window(*harness_.context);
    window.show();
    // Yes to the first offer, no to the second.
    harness_.prompts.answers = {true, false};
    Print(window, "VD 1");
    ASSERT_TRUE(ProcessEventsUntil([&] { return harness_.prompts.prompts.size() == 2; }));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !runner_.Busy(); }));
    EXPECT_EQ(harness_.prompts.prompts[0], harness_.prompts.prompts[1]);
    EXPECT_TRUE(harness_.prompts.prompts[1].question);
    // The second offer came once the second try had failed too.
    EXPECT_EQ(harness_.printers.pages_printed, 1);
    EXPECT_TRUE(web::UploadOwed(DataFile()));
}

TEST_F(TransfersToALongHungServer, TheStartUpNeedNotWaitForTheServer) {
    // A user of the German texts whose address is remembered: the start-up synchronises.
    store::State& state = harness_.context->state;
    ASSERT_TRUE(store::SaveLanguage(state.IniPath, texts::kGerman));
    ASSERT_TRUE(store::SaveRememberedMail(state.IniPath, "a@b.ch"));
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
    poll.stop();

    // The dialog never shows before its delay; the start-up went on while the synchronisation
    // still waited for the server's time-out.
    EXPECT_GE(dialog_at, 1000);
    EXPECT_TRUE(runner_.Busy()) << "the start-up waited for the server's time-out";
    EXPECT_EQ(label, texts::StepText(texts::kGerman, texts::Step::Synchronise));
    EXPECT_EQ(button, texts::SkipServerCaption(texts::kGerman));
    ASSERT_NE(application.MainWindow(), nullptr);
    EXPECT_TRUE(application.MainWindow()->isVisible());
    EXPECT_EQ(harness_.prompts.Texts(),
              std::vector<std::string>{texts::ServerSkippedMessage(texts::kGerman)});
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
    // Fires long before the server's time-out, if the event loop runs while the click waits.
    bool timer_fired = false;
    std::string step;
    QTimer::singleShot(200, [&] {
        timer_fired = true;
        step = runner.CurrentStep();
    });
    Control<QLineEdit>(window, "txtMail")->setText(QStringLiteral("a@b.ch"));
    Control<QLineEdit>(window, "txtPwd")->setText(QStringLiteral("secret1"));
    Control<QPushButton>(window, "cmdOpen")->click();

    // The click waited for the server's time-out, with the event loop running all along.
    EXPECT_GE(clock.elapsed(), 2 * 1000 - 100);
    EXPECT_TRUE(timer_fired);
    EXPECT_EQ(step, texts::StepText(texts::kFrench, texts::Step::Synchronise));
    EXPECT_FALSE(runner.Busy());
    EXPECT_EQ(harness.prompts.Texts(),
              std::vector<std::string>{kerbolt::texts::frmConnect::LoginMessage(
                  texts::kFrench, kerbolt::texts::frmConnect::kServerUnreachableMessage)});
    EXPECT_FALSE(std::filesystem::exists(harness.dir.File("data/Kerbolt/000NZFAP")));
    EXPECT_EQ(application.MainWindow(), nullptr);
}

TEST_F(TransfersToAWorkingServer, TicketsClickedInARowAreNumberedPrintedAndSentInTurn) {
    frmMain window(*harness_.context);
    window.show();
    Print(window, "VD 1");
    Print(window, "VD 2");
    ASSERT_TRUE(ProcessEventsUntil([&] { return !runner_.Busy(); }));
    EXPECT_EQ(harness_.printers.pages_printed, 2);
    EXPECT_EQ(store::ReadIndemnites(harness_.ServerFile("000NZFAP")).size(), 2u);
    EXPECT_EQ(ReadFileBytes(harness_.ServerFile("000NZFAP")), ReadFileBytes(DataFile()));
    EXPECT_EQ(harness_.notifier.references, (std::vector<std::string>{"000NZFAP-0", "000NZFAP-1"}));
    EXPECT_TRUE(harness_.prompts.prompts.empty());
    EXPECT_FALSE(web::UploadOwed(DataFile()));
}

} // namespace
} // namespace kerbolt::ui
