#include "app/ui/frm_main.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/default_texts.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/core/texts/transfer_texts.h"
#include "tests/support/ini_dump.h"
#include "tests/support/qr_bill_rules.h"
#include "tests/support/ui_harness.h"

#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
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
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::Server;
using testing_support::UiHarness;

// A signed-in user with an account and three spots.
class MainWindow : public ::testing::Test {
protected:
    explicit MainWindow(Server server = Server::Running) : harness_(server) {}
    void SetUp() override {
        harness_.SignedIn(texts::kFrench);
        store::WriteAccount(DataFile(), "a@b.ch", "secret1");
        store::WritePlaces(DataFile(), {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"},
                                        {"B2", "Rue du Port 2, 1000 Lausanne", "1"},
                                        {"C3", "Quai 3, 1000 Lausanne", "2"}});
    }
    const std::string& DataFile() const { return harness_.context->state.DataFile; }
    frmMain& Open() {
        window_ = std::make_unique<frmMain>(*harness_.context);
        window_->show();
        return *window_;
    }
    template <typename T> T* Get(const char* name) { return Control<T>(window_.get(), name); }
    void Print(int place, const char* plates) {
        Get<QComboBox>("cmbPlace")->setCurrentIndex(place);
        Get<QLineEdit>("txtPlaques")->setText(QString::fromUtf8(plates));
        Get<QPushButton>("cmdPrint")->click();
    }

    UiHarness harness_;
    std::unique_ptr<frmMain> window_;
};

class MainWindowOffline : public MainWindow {
protected:
    MainWindowOffline() : MainWindow(Server::Stopped) {}
};

TEST_F(MainWindowOffline, SpotsWithoutChoiceAndActiveMandateInGreen) {
    store::WriteIni("INFOS", "Mandat", "x", DataFile());
    Open();
    auto* spots = Get<QComboBox>("cmbPlace");
    ASSERT_EQ(spots->count(), 3);
    EXPECT_EQ(spots->itemText(2), QStringLiteral("C3"));
    EXPECT_EQ(spots->currentIndex(), -1);
    auto* mandate = Get<QLabel>("lblMandat");
    EXPECT_EQ(mandate->text(), QStringLiteral("Mandat actif"));
    EXPECT_EQ(mandate->palette().color(QPalette::WindowText), QColor(192, 255, 192));
    EXPECT_EQ(Get<QPushButton>("cmdMandat")->text(), QStringLiteral("Generér le mandat"));
    // A signed-in user who is no new one is asked nothing.
    EXPECT_TRUE(harness_.prompts.prompts.empty());
    EXPECT_TRUE(harness_.notifier.references.empty());
}

TEST_F(MainWindowOffline, NoSpotsNoMandateAndAnExistingMandateDocument) {
    store::WriteAccount(DataFile() + "-empty", "a@b.ch", "x");
    harness_.context->state.DataFile = DataFile() + "-empty";
    const std::string mandate = harness_.context->state.DataFolder + "/Mandat_" +
                                harness_.context->state.AccountKey + ".pdf";
    testing_support::WriteFileBytes(mandate, "%PDF-1.4\n");
    Open();
    EXPECT_EQ(Get<QComboBox>("cmbPlace")->count(), 0);
    EXPECT_EQ(Get<QLabel>("lblMandat")->text(), QStringLiteral("Pas de mandat actif"));
    EXPECT_EQ(Get<QLabel>("lblMandat")->palette().color(QPalette::WindowText),
              QColor(255, 192, 192));
    EXPECT_EQ(Get<QPushButton>("cmdMandat")->text(), QStringLiteral("Voir le mandat"));
    Get<QPushButton>("cmdMandat")->click();
    EXPECT_EQ(harness_.shell.calls, std::vector<std::string>{"document " + mandate});
}

TEST_F(MainWindowOffline, NewUserIsAskedOnceAndOnlyYesOpensTheContactDialog) {
    for (const bool answer : {false, true}) {
        harness_.prompts = {};
        harness_.notifier.references.clear();
        harness_.prompts.answers = {answer};
        harness_.context->state.NewInstall = true;
        std::vector<Dialog> opened;
        harness_.context->hooks.show_dialog = [&](DialogRequest request, frmMain& main) {
            EXPECT_FALSE(main.isVisible());
            opened.push_back(request.dialog);
        };
        Open();
        EXPECT_EQ(harness_.prompts.prompts,
                  (std::vector<Prompt>{{kerbolt::texts::frmMain::Message(texts::kFrench, 3),
                                        MessageIcon::None, true}}));
        EXPECT_EQ(harness_.notifier.references, std::vector<std::string>{"000NZFAP"});
        EXPECT_EQ(opened, answer ? std::vector<Dialog>{Dialog::frmInfos} : std::vector<Dialog>{});
    }
}

TEST_F(MainWindowOffline, DialogButtonsHideTheWindowWhileTheirHookRuns) {
    Open();
    // Without the dialogs the buttons open nothing and the window stays.
    Get<QPushButton>("cmdPlaces")->click();
    EXPECT_TRUE(window_->isVisible());

    std::vector<DialogRequest> opened;
    harness_.context->hooks.show_dialog = [&](DialogRequest request, frmMain& main) {
        EXPECT_FALSE(main.isVisible());
        opened.push_back(request);
    };
    Get<QPushButton>("cmdInfos")->click();
    Get<QPushButton>("cmdPlaces")->click();
    Get<QPushButton>("cmdParam")->click();
    Get<QPushButton>("cmdIndemn")->click();
    Click(Get<QLabel>("lblInfos"));
    EXPECT_TRUE(window_->isVisible());
    using Mode = IndemnitesMode;
    const std::vector<DialogRequest> expected = {{Dialog::frmInfos, Mode::List},
                                                 {Dialog::frmPlaces, Mode::List},
                                                 {Dialog::frmIndemnites, Mode::Settings},
                                                 {Dialog::frmIndemnites, Mode::List},
                                                 {Dialog::frmLicence, Mode::List}};
    EXPECT_EQ(opened, expected);
}

TEST_F(MainWindowOffline, EnglishFlagStoresTheLanguageAndRefreshesCaptionsAndPreview) {
    Open();
    // The title shows whole, on the lines its box breaks it into.
    const auto title = [this] {
        return Get<QLabel>("lblBV0")->text().replace(QLatin1Char('\n'), QLatin1Char(' '));
    };
    EXPECT_EQ(title(), QString::fromStdString(texts::DefaultTitle(texts::kFrench)));
    Click(Get<QLabel>("imgLangue2"));
    EXPECT_EQ(store::ReadIni("Param", "Langue", harness_.context->state.IniPath), "3");
    EXPECT_EQ(Get<QLabel>("lblTitre")->text(), QStringLiteral("Create a compensation:"));
    EXPECT_EQ(Get<QGroupBox>("Frame2")->title(), QStringLiteral("Settings"));
    EXPECT_EQ(Get<QLabel>("lblBV7")->text(), QStringLiteral("Currency / Amount"));
    EXPECT_EQ(title(), QStringLiteral("Compensation for the use of a private parking spot"));
    EXPECT_EQ(Get<QLabel>("lblMandat")->text(), QStringLiteral("No active mandate"));
}

TEST_F(MainWindowOffline, PreviewFollowsTheSpotAndThePlates) {
    Open();
    Get<QComboBox>("cmbPlace")->setCurrentIndex(1);
    Get<QLineEdit>("txtPlaques")->setText(QStringLiteral("GE 42"));
    EXPECT_TRUE(Get<QLabel>("lblBV1")->text().contains(QStringLiteral("Rue du Port 2")));
    EXPECT_EQ(Get<QLabel>("lblBV13")->text(), QStringLiteral("GE 42"));
    EXPECT_EQ(Get<QLabel>("lblBV11")->text(), QStringLiteral("000NZFAP-0"));
    EXPECT_TRUE(window_->QrCode().has_value());
    EXPECT_NE(window_->Preview().payload.find("GE 42"), std::string::npos);
}

// Plates typed with a character the QR-bill cannot carry: the field leaves it out, so the
// preview, the QR-bill and the record hold the same plates.
TEST_F(MainWindowOffline, PlatesHoldOnlyWhatTheQrBillCarries) {
    Open();
    Get<QComboBox>("cmbPlace")->setCurrentIndex(0);
    auto* plates = Get<QLineEdit>("txtPlaques");
    QInputMethodEvent typed;
    typed.setCommitString(QString::fromUtf8("VD 1\xF0\x9F\x98\x80\xD0\x96 \xC3\xA9"));
    QApplication::sendEvent(plates, &typed);
    EXPECT_EQ(plates->text(), QString::fromUtf8("VD 1 \xC3\xA9"));
    EXPECT_EQ(Get<QLabel>("lblBV13")->text(), plates->text());
    EXPECT_NE(window_->Preview().payload.find("\r\n000NZFAP-0 / VD 1 \xC3\xA9\r\nEPD"),
              std::string::npos)
        << window_->Preview().payload;
    Get<QPushButton>("cmdPrint")->click();
    EXPECT_EQ(store::ReadIndemnite(DataFile(), 0).nPlaques, "VD 1 \xC3\xA9");
}

// The settings file cannot be written: a language or printer choice holds for this run, and the
// user is told so (in the language just chosen) instead of losing it without a word.
TEST_F(MainWindowOffline, SettingsThatCannotBeSavedAreTold) {
    const std::string ini = harness_.context->state.IniPath;
    fs::remove_all(ini);
    fs::create_directories(ini); // a folder where the settings file belongs
    Open();
    EXPECT_TRUE(harness_.prompts.prompts.empty());
    Click(Get<QLabel>("imgLangue1"));
    EXPECT_EQ(Get<QLabel>("lblTitre")->text(), QStringLiteral("Entschädigung erstellen:"));
    Get<QComboBox>("cmbPrinters")->setCurrentIndex(1);
    emit Get<QComboBox>("cmbPrinters")->activated(1);
    const Prompt told{texts::SettingNotSavedMessage(texts::kGerman, ini), MessageIcon::Exclamation,
                      false};
    EXPECT_EQ(harness_.prompts.prompts, (std::vector<Prompt>{told, told}));
    EXPECT_NE(told.text.find(ini), std::string::npos);
}

// Nothing on the desktop opens the document: the user learns where it is.
TEST_F(MainWindowOffline, AMandateThatDoesNotOpenIsToldWithItsPath) {
    const store::State& state = harness_.context->state;
    const std::string mandate = state.DataFolder + "/Mandat_" + state.AccountKey + ".pdf";
    testing_support::WriteFileBytes(mandate, "%PDF-1.4\n");
    harness_.shell.opens = false;
    Open();
    Get<QPushButton>("cmdMandat")->click();
    EXPECT_EQ(harness_.prompts.prompts,
              (std::vector<Prompt>{{texts::DocumentNotOpenedMessage(texts::kFrench, mandate),
                                    MessageIcon::Exclamation, false}}));
    EXPECT_NE(harness_.prompts.prompts.at(0).text.find(mandate), std::string::npos);
}

TEST_F(MainWindowOffline, RefusalsWriteNothing) {
    Open();
    Print(2, "");
    Print(-1, "VD 1");
    EXPECT_EQ(harness_.prompts.prompts,
              (std::vector<Prompt>{{"Indiquez le no de plaques", MessageIcon::Information, false},
                                   {"Aucune place spécifiée", MessageIcon::Information, false}}));
    EXPECT_EQ(store::LastSectionIndex("INDEMNITE", DataFile()), -1);
    EXPECT_EQ(harness_.printers.pages_printed, 0);
    EXPECT_TRUE(harness_.notifier.references.empty());
}

TEST_F(MainWindow, PrintRecordsUploadsPrintsClearsAndNotifies) {
    Open();
    Print(2, "VD 123456");
    const std::vector<std::string> expected = {"[INFOS]",
                                               "mail=a@b.ch",
                                               "pwd=secret1",
                                               "[PLACE0]",
                                               "IdPlace=A1",
                                               "adresse=Rue du Lac 1, 1000 Lausanne",
                                               "Proprietaire=0",
                                               "[PLACE1]",
                                               "IdPlace=B2",
                                               "adresse=Rue du Port 2, 1000 Lausanne",
                                               "Proprietaire=1",
                                               "[PLACE2]",
                                               "IdPlace=C3",
                                               "adresse=Quai 3, 1000 Lausanne",
                                               "Proprietaire=2",
                                               "[INDEMNITE0]",
                                               "IdPlace=2",
                                               "date=03.02.2025",
                                               "heure=09:05",
                                               "nPlaques=VD 123456",
                                               "Montant100=50",
                                               "Montant60=30",
                                               "NumIndemn=000NZFAP-0"};
    EXPECT_EQ(testing_support::DumpIni(DataFile()), expected);
    EXPECT_EQ(ReadFileBytes(harness_.ServerFile("000NZFAP")), ReadFileBytes(DataFile()));
    EXPECT_NE(harness_.ftp_server->Log().find("STOR /web/ctrl/KB/000NZFAP"), std::string::npos);

    EXPECT_EQ(harness_.printers.pages_printed, 1);
    const std::string pdf = harness_.dir.File("ticket.pdf");
    EXPECT_NE(RunCommand("pdfinfo " + pdf).out.find("Pages:           1"), std::string::npos);
    const std::string text = RunCommand("pdftotext -layout " + pdf + " -").out;
    for (const char* word : {"000NZFAP-0", "VD 123456", "Quai 3, 1000 Lausanne", "CHF"})
        EXPECT_NE(text.find(word), std::string::npos) << word;

    EXPECT_EQ(Get<QLabel>("lblBV11")->text(), QStringLiteral("000NZFAP-1"));
    EXPECT_EQ(Get<QLabel>("lblBV13")->text(), QString());
    EXPECT_EQ(Get<QLineEdit>("txtPlaques")->text(), QString());
    EXPECT_EQ(Get<QComboBox>("cmbPlace")->currentIndex(), -1);
    EXPECT_EQ(harness_.notifier.references, std::vector<std::string>{"000NZFAP-0"});
    EXPECT_TRUE(harness_.prompts.prompts.empty());

    Print(0, "  ");
    EXPECT_EQ(store::ReadIndemnite(DataFile(), 1).nPlaques, "  ");
    EXPECT_EQ(harness_.notifier.references.back(), "000NZFAP-1");
}

TEST_F(MainWindowOffline, FailedUploadAndFailedPrintAreShownAfterTheRecordStands) {
    // The printer's output cannot be created: the page fails.
    PdfFilePrinters broken({"Ticket A"}, harness_.dir.File("missing/ticket.pdf"));
    ui::AppContext& ctx = *harness_.context;
    ui::AppContext with_broken{ctx.paths, ctx.ftp, ctx.clock,    ctx.prompts, ctx.shell,
                               ctx.exit,  broken,  ctx.notifier, ctx.config,  ctx.state};
    frmMain window(with_broken);
    Control<QComboBox>(&window, "cmbPlace")->setCurrentIndex(0);
    Control<QLineEdit>(&window, "txtPlaques")->setText(QStringLiteral("VS 7"));
    Control<QPushButton>(&window, "cmdPrint")->click();

    EXPECT_EQ(store::ReadIndemnite(DataFile(), 0).NumIndemn, "000NZFAP-0");
    ASSERT_EQ(harness_.prompts.prompts.size(), 2u);
    EXPECT_EQ(harness_.prompts.prompts[0].icon, MessageIcon::Critical);
    EXPECT_EQ(harness_.prompts.prompts[1],
              (Prompt{"Les données n'ont pas pu être mises à jour sur notre serveur\n" +
                          texts::RetryQuestion(texts::kFrench),
                      MessageIcon::Information, true}));
    EXPECT_EQ(harness_.notifier.references, std::vector<std::string>{"000NZFAP-0"});
    EXPECT_EQ(Control<QLabel>(&window, "lblBV11")->text(), QStringLiteral("000NZFAP-1"));
}

TEST_F(MainWindow, RecordThatCannotBeWrittenStopsThePrintAndKeepsTheEntry) {
    Open();
    // A folder where the data file should be: the record cannot be written.
    fs::remove(DataFile());
    fs::create_directory(DataFile());
    Print(1, "VD 9");

    ASSERT_EQ(harness_.prompts.prompts.size(), 1u);
    EXPECT_EQ(harness_.prompts.prompts[0].icon, MessageIcon::Critical);
    EXPECT_EQ(harness_.prompts.prompts[0].text,
              kerbolt::texts::frmMain::RecordNotSavedMessage(texts::kFrench));
    EXPECT_EQ(harness_.printers.pages_printed, 0);
    EXPECT_TRUE(harness_.notifier.references.empty());
    EXPECT_FALSE(fs::exists(harness_.ServerFile("000NZFAP")));
    EXPECT_EQ(Get<QLineEdit>("txtPlaques")->text(), QStringLiteral("VD 9"));
    EXPECT_EQ(Get<QComboBox>("cmbPlace")->currentIndex(), 1);
}

TEST_F(MainWindowOffline, RecordAddedAfterThePreviewGivesTheNextNumberToPaperAndRecordAlike) {
    Open();
    Get<QComboBox>("cmbPlace")->setCurrentIndex(1);
    Get<QLineEdit>("txtPlaques")->setText(QStringLiteral("VD 5"));
    ASSERT_EQ(Get<QLabel>("lblBV11")->text(), QStringLiteral("000NZFAP-0"));
    // A sync brings in the ticket another client printed meanwhile.
    const store::IndemniteRecord other = store::MakeIndemniteRecord(
        0, {2025, 1, 1, 8, 0, 0}, "GE 1", "50", harness_.context->state.AccountKey, 0);
    ASSERT_TRUE(store::WriteIndemnite(DataFile(), 0, other));
    const std::string before = ReadFileBytes(DataFile());

    Get<QPushButton>("cmdPrint")->click();
    ASSERT_EQ(harness_.printers.pages_printed, 1);

    // The reference the paper's QR code carries, read back from the printed page.
    const std::string pdf = harness_.dir.File("ticket.pdf");
    const std::string png = harness_.dir.File("ticket");
    ASSERT_EQ(RunCommand("pdftoppm -r 300 -png -singlefile " + pdf + " " + png).status, 0);
    const auto decoded = RunCommand("ZXingReader -bytes -format QRCode " + png + ".png");
    ASSERT_EQ(decoded.status, 0);
    const std::string suffix = " / VD 5";
    const std::size_t end = decoded.out.find(suffix + "\r\n");
    ASSERT_NE(end, std::string::npos) << decoded.out;
    const std::size_t begin = decoded.out.rfind('\n', end) + 1;
    const std::string printed_reference = decoded.out.substr(begin, end - begin);
    EXPECT_EQ(printed_reference, "000NZFAP-1");
    EXPECT_NE(RunCommand("pdftotext " + pdf + " -").out.find(printed_reference), std::string::npos);

    // The record under that number carries exactly that reference; the synced one is untouched.
    const store::IndemniteRecord written = store::ReadIndemnite(DataFile(), 1);
    EXPECT_EQ(written.NumIndemn, printed_reference);
    EXPECT_EQ(written.nPlaques, "VD 5");
    EXPECT_EQ(written.IdPlace, "1");
    EXPECT_EQ(store::ReadIndemnite(DataFile(), 0).nPlaques, "GE 1");
    EXPECT_EQ(ReadFileBytes(DataFile()).substr(0, before.size()), before);
    EXPECT_EQ(harness_.notifier.references, std::vector<std::string>{printed_reference});
}

TEST_F(MainWindowOffline, EveryAcceptedAmountIsPrintedInABankableCodeAndRecordedAlike) {
    Open();
    const std::string pdf = harness_.dir.File("ticket.pdf");
    const std::string png = harness_.dir.File("ticket");
    // The smallest, an ordinary and the largest amount a QR-bill carries.
    const std::vector<std::string> amounts = {"0.01", "12.50", "999999999.99"};
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        SCOPED_TRACE(amounts[i]);
        // As the settings window stores it.
        harness_.context->state.TicketAmount = amounts[i];
        Get<QComboBox>("cmbPlace")->setCurrentIndex(0);
        Get<QLineEdit>("txtPlaques")->setText(QStringLiteral("VD 7"));
        const QString shown = Get<QLabel>("lblBV9")->text();
        Get<QPushButton>("cmdPrint")->click();
        ASSERT_EQ(harness_.printers.pages_printed, static_cast<int>(i) + 1);

        ASSERT_EQ(RunCommand("pdftoppm -r 300 -png -singlefile " + pdf + " " + png).status, 0);
        const auto decoded = RunCommand("ZXingReader -bytes -format QRCode " + png + ".png");
        ASSERT_EQ(decoded.status, 0);
        // The reader may end the bytes with a line feed of its own.
        std::string payload = decoded.out;
        while (!payload.empty() && (payload.back() == '\n' || payload.back() == '\r'))
            payload.pop_back();
        std::string violations;
        for (const auto& violation : testing_support::QrBillViolations(payload))
            violations += violation + "\n";
        EXPECT_EQ(violations, "") << payload;
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = payload.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(payload.substr(start, end - start));
        ASSERT_GT(lines.size(), 19u) << payload;
        EXPECT_EQ(lines[18], amounts[i]);
        EXPECT_EQ(lines[19], "CHF");

        // The label sets a blank before the last three integer digits; its box holds the largest
        // amount whole, on screen and on paper.
        std::string grouped = amounts[i];
        const std::size_t whole = grouped.find('.');
        grouped.insert(whole > 3 ? whole - 3 : 0, " ");
        EXPECT_EQ(shown.toStdString(), grouped);
        const std::string paper = RunCommand("pdftotext " + pdf + " -").out;
        EXPECT_NE(paper.find(shown.trimmed().toStdString()), std::string::npos) << paper;

        const store::IndemniteRecord written =
            store::ReadIndemnite(DataFile(), static_cast<std::int32_t>(i));
        EXPECT_EQ(written.Montant100, amounts[i]);
        EXPECT_EQ(written.nPlaques, "VD 7");
    }
}

TEST_F(MainWindowOffline, AKeystrokeAndAPrintEachRebuildThePreviewOnce) {
    Open();
    Get<QComboBox>("cmbPlace")->setCurrentIndex(0);
    auto* plates = Get<QLineEdit>("txtPlaques");
    plates->setFocus();
    const auto type = [&](Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(plates, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(plates, &release);
    };
    int builds = window_->PreviewBuilds();
    type(Qt::Key_V, QStringLiteral("V"));
    EXPECT_EQ(plates->text(), QStringLiteral("V"));
    EXPECT_EQ(window_->PreviewBuilds(), builds + 1);
    builds = window_->PreviewBuilds();
    type(Qt::Key_D, QStringLiteral("D"));
    EXPECT_EQ(window_->PreviewBuilds(), builds + 1);

    builds = window_->PreviewBuilds();
    Get<QPushButton>("cmdPrint")->click();
    EXPECT_EQ(harness_.printers.pages_printed, 1);
    EXPECT_EQ(window_->PreviewBuilds(), builds + 1);
    // That one rebuild shows the cleared entry and the next number.
    EXPECT_EQ(Get<QLabel>("lblBV11")->text(), QStringLiteral("000NZFAP-1"));
    EXPECT_EQ(Get<QLabel>("lblBV13")->text(), QString());
    EXPECT_EQ(plates->text(), QString());
    EXPECT_EQ(Get<QComboBox>("cmbPlace")->currentIndex(), -1);
}

TEST_F(MainWindowOffline, PrinterChoiceIsStoredUsedAndRestoredOnClosing) {
    store::WriteIni("Param", "Printer", "Ticket B", harness_.context->state.IniPath);
    Open();
    auto* printers = Get<QComboBox>("cmbPrinters");
    ASSERT_EQ(printers->count(), 2);
    EXPECT_EQ(printers->currentText(), QStringLiteral("Ticket B"));
    EXPECT_EQ(harness_.context->state.SavedPrinterName, "Ticket A");
    Print(0, "VD 1");
    EXPECT_EQ(harness_.printers.CurrentName(), "Ticket B");

    Click(Get<QLabel>("lblUndo"));
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(harness_.printers.CurrentName(), "Ticket A");
    EXPECT_EQ(harness_.exit.codes, std::vector<int>{0});
}

TEST_F(MainWindowOffline, UnknownSavedPrinterShowsNoChoiceAndKeepsTheCurrentOne) {
    store::WriteIni("Param", "Printer", "Gone", harness_.context->state.IniPath);
    Open();
    EXPECT_EQ(Get<QComboBox>("cmbPrinters")->currentIndex(), -1);
    Print(0, "VD 1");
    EXPECT_EQ(harness_.printers.CurrentName(), "Ticket A");
    EXPECT_EQ(harness_.printers.pages_printed, 1);
    // Choosing a printer stores it at once.
    Get<QComboBox>("cmbPrinters")->setCurrentIndex(1);
    emit Get<QComboBox>("cmbPrinters")->activated(1);
    EXPECT_EQ(store::ReadIni("Param", "Printer", harness_.context->state.IniPath), "Ticket B");
}

TEST_F(MainWindowOffline, OnlyTheBareBackgroundDragsTheWindow) {
    Open();
    const QPoint start = window_->pos();
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button) {
        QMouseEvent event(type, QPointF(at), window_->mapToGlobal(QPointF(at)), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton
                                                             : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &event);
    };
    // The preview is a control of its own.
    const QPoint on_preview = Get<QWidget>("Frame3")->geometry().center();
    send(QEvent::MouseButtonPress, on_preview, Qt::LeftButton);
    send(QEvent::MouseMove, on_preview + QPoint(30, 30), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, on_preview + QPoint(30, 30), Qt::LeftButton);
    EXPECT_EQ(window_->pos(), start);

    const QPoint bare(Px(200), Px(7000));
    ASSERT_EQ(window_->childAt(bare), nullptr);
    send(QEvent::MouseButtonPress, bare, Qt::LeftButton);
    send(QEvent::MouseMove, bare + QPoint(25, -5), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, bare + QPoint(25, -5), Qt::LeftButton);
    EXPECT_EQ(window_->pos(), start + QPoint(25, -5));
}

} // namespace
} // namespace kerbolt::ui
