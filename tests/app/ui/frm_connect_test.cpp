#include "app/ui/frm_connect.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/connect_texts.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/ui/application.h"
#include "app/ui/frm_main.h"
#include "tests/support/ini_dump.h"
#include "tests/support/ui_harness.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace kerbolt::ui {
namespace {

namespace fs = std::filesystem;
using testing_support::Click;
using testing_support::Control;
using testing_support::Prompt;
using testing_support::Server;
using testing_support::UiHarness;

// Runs the deletions that windows asked for once their handlers returned.
void ProcessDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SignInWith(QWidget* window, const char* mail, const char* password) {
    Control<QLineEdit>(window, "txtMail")->setText(QString::fromUtf8(mail));
    Control<QLineEdit>(window, "txtPwd")->setText(QString::fromUtf8(password));
    Control<QPushButton>(window, "cmdOpen")->click();
}

TEST(FirstStart, LanguageFrameThenGermanCaptionsAndNewUserNote) {
    UiHarness harness(Server::Stopped);
    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    EXPECT_TRUE(fs::is_directory(harness.dir.File("data/Kerbolt")));
    frmConnect* window = application.ConnectWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(application.MainWindow(), nullptr);
    auto* frame = Control<QGroupBox>(window, "fraLangue");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->title(), QStringLiteral("Select your Language"));
    EXPECT_EQ(frame->y(), Px(2040));
    // The design captions are the French ones until a language is picked.
    EXPECT_EQ(Control<QLabel>(window, "lblMail")->text(), QStringLiteral("Adresse Email :"));

    Control<QPushButton>(window, "cmdLangue1")->click();
    EXPECT_EQ(testing_support::DumpIni(harness.dir.File("data/Kerbolt/Param.ini")),
              (std::vector<std::string>{"[Param]", "Langue=2"}));
    EXPECT_EQ(Control<QLabel>(window, "lblMail")->text(), QStringLiteral("E-Mail-Adresse:"));
    EXPECT_EQ(Control<QPushButton>(window, "cmdOpen")->text(), QStringLiteral("Öffnen"));
    EXPECT_FALSE(frame->isVisible());
    auto* note = Control<QLabel>(window, "lblNewUser");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text().toStdString(),
              kerbolt::texts::frmConnect::CaptionText(
                  texts::kGerman, kerbolt::texts::frmConnect::Caption::lblNewUser));
    EXPECT_EQ(harness.context->state.TicketTitle,
              "Entschädigung für die Nutzung eines privaten Parkplatzes");
    EXPECT_TRUE(harness.prompts.prompts.empty());
}

// A settings file that cannot be written: the language holds for this run, and the user is
// told in it that it will not be kept; a password the data file cannot store is refused in it.
TEST(FirstStart, UnsavedLanguageIsToldAndCyrillicPasswordsRefused) {
    UiHarness harness(Server::Stopped);
    store::State& state = harness.context->state;
    state.DataFolder = harness.dir.File("data/Kerbolt");
    state.IniPath = state.DataFolder + "/Param.ini";
    fs::create_directories(state.IniPath); // a folder where the settings file belongs
    frmConnect window(*harness.context);
    Control<QPushButton>(&window, "cmdLangue2")->click();
    EXPECT_EQ(state.Language, texts::kEnglish);
    EXPECT_EQ(Control<QPushButton>(&window, "cmdOpen")->text(), QStringLiteral("Open"));
    EXPECT_EQ(harness.prompts.prompts,
              (std::vector<Prompt>{{texts::SettingNotSavedMessage(texts::kEnglish, state.IniPath),
                                    MessageIcon::Exclamation, false}}));

    harness.prompts.prompts.clear();
    SignInWith(&window, "a@b.ch",
               "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"
               "12");
    EXPECT_EQ(harness.prompts.Texts(),
              std::vector<std::string>{kerbolt::texts::frmConnect::LoginMessage(
                  texts::kEnglish, kerbolt::texts::frmConnect::kPasswordNotStorableMessage)});
    EXPECT_TRUE(harness.exit.codes.empty());
}

TEST(FirstStart, FlagsChangeTheLanguageAndThePasswordBoxMasksWithStars) {
    UiHarness harness(Server::Stopped);
    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    frmConnect* window = application.ConnectWindow();
    Click(Control<QLabel>(window, "imgLangue3"));
    EXPECT_EQ(harness.context->state.Language, texts::kItalian);
    EXPECT_EQ(store::ReadIni("Param", "Langue", harness.context->state.IniPath), "4");
    EXPECT_EQ(Control<QPushButton>(window, "cmdOpen")->text(), QStringLiteral("Apri"));

    auto* password = Control<QLineEdit>(window, "txtPwd");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    Control<QCheckBox>(window, "chkPwd")->click();
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
    Control<QCheckBox>(window, "chkPwd")->click();
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);

    Click(Control<QLabel>(window, "lblUndo"));
    EXPECT_EQ(harness.exit.codes, std::vector<int>{0});
    // Closed by the window manager, it ends the program the same way.
    window->close();
    EXPECT_EQ(harness.exit.codes, (std::vector<int>{0, 0}));
}

TEST(SignInWindow, NewAccountOnTheServerOpensTheMainWindowAndAsksForDetails) {
    UiHarness harness;
    harness.prompts.answers = {false};
    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    Control<QPushButton>(application.ConnectWindow(), "cmdLangue2")->click();
    Control<QCheckBox>(application.ConnectWindow(), "chkNoPwd")->setChecked(true);
    SignInWith(application.ConnectWindow(), "a@b.ch", "secret1");

    const std::string data_file = harness.dir.File("data/Kerbolt/000NZFAP");
    EXPECT_EQ(testing_support::DumpIni(data_file),
              (std::vector<std::string>{"[INFOS]", "mail=a@b.ch", "pwd=secret1"}));
    EXPECT_EQ(store::ReadIni("Param", "Mail", harness.context->state.IniPath), "a@b.ch");
    ASSERT_NE(application.MainWindow(), nullptr);
    EXPECT_TRUE(application.MainWindow()->isVisible());
    EXPECT_EQ(harness.prompts.prompts,
              (std::vector<Prompt>{{kerbolt::texts::frmMain::Message(texts::kEnglish, 3),
                                    MessageIcon::None, true}}));
    // The server hears of the new installation by the bare key, whatever the answer.
    EXPECT_EQ(harness.notifier.references, std::vector<std::string>{"000NZFAP"});
    ProcessDeferredDeletes();
    EXPECT_EQ(application.ConnectWindow(), nullptr);
    // Account creation uploads nothing.
    EXPECT_FALSE(fs::exists(harness.ServerFile("000NZFAP")));
}

TEST(SignInWindow, ServerDownCreatesNoAccount) {
    UiHarness harness(Server::Stopped);
    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    Control<QPushButton>(application.ConnectWindow(), "cmdLangue0")->click();
    SignInWith(application.ConnectWindow(), "a@b.ch", "secret1");
    EXPECT_EQ(harness.prompts.prompts,
              (std::vector<Prompt>{{"Le serveur est injoignable ; veuillez réessayer plus tard.",
                                    MessageIcon::Information, false}}));
    EXPECT_FALSE(fs::exists(harness.dir.File("data/Kerbolt/000NZFAP")));
    EXPECT_EQ(application.MainWindow(), nullptr);
    EXPECT_EQ(application.ConnectWindow()->FailedAttempts(), 0);
    EXPECT_TRUE(harness.exit.codes.empty());
}

TEST(SignInWindow, ThreeWrongPasswordsEndTheProgram) {
    UiHarness harness;
    fs::create_directories(harness.dir.File("data/Kerbolt"));
    store::WriteIni("Param", "Langue", "3", harness.dir.File("data/Kerbolt/Param.ini"));
    store::WriteAccount(harness.dir.File("data/Kerbolt/000NZFAP"), "a@b.ch", "secret1");
    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    for (int i = 0; i < 3; ++i)
        SignInWith(application.ConnectWindow(), "a@b.ch", "secret2");
    const std::string wrong = kerbolt::texts::frmConnect::LoginMessage(texts::kEnglish, 3);
    EXPECT_EQ(harness.prompts.prompts,
              (std::vector<Prompt>{
                  {wrong, MessageIcon::Information, false},
                  {wrong, MessageIcon::Information, false},
                  {"Too many attempts, the program will stop", MessageIcon::Critical, false}}));
    EXPECT_EQ(harness.exit.codes, std::vector<int>{0});
    EXPECT_EQ(application.MainWindow(), nullptr);
    EXPECT_TRUE(fs::exists(harness.dir.File("data/Kerbolt/000NZFAP")));
}

TEST(StartUp, RememberedAddressOpensTheMainWindowAfterSynchronising) {
    UiHarness harness;
    const std::string folder = harness.dir.File("data/Kerbolt");
    fs::create_directories(folder);
    store::WriteIni("Param", "Langue", "1", folder + "/Param.ini");
    store::WriteIni("Param", "Mail", "a@b.ch", folder + "/Param.ini");
    store::WriteAccount(folder + "/000NZFAP", "a@b.ch", "secret1");
    // The server's copy is larger: it holds a ticket this computer has not seen.
    store::WriteAccount(harness.ServerFile("000NZFAP"), "a@b.ch", "secret1");
    store::WriteIni("INDEMNITE0", "NumIndemn", "000NZFAP-0", harness.ServerFile("000NZFAP"));

    Application application(*harness.context);
    ASSERT_TRUE(application.Start());
    EXPECT_EQ(application.ConnectWindow(), nullptr);
    ASSERT_NE(application.MainWindow(), nullptr);
    EXPECT_TRUE(application.MainWindow()->isVisible());
    EXPECT_EQ(application.MainWindow()->Preview().reference, "000NZFAP-1");
    EXPECT_TRUE(harness.prompts.prompts.empty());
}

} // namespace
} // namespace kerbolt::ui
