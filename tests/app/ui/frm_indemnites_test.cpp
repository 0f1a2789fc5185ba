#include "app/ui/frm_indemnites.h"

#include "app/core/lists/text_columns.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/store/stored_text.h"
#include "app/core/texts/indemnites_texts.h"
#include "app/core/texts/main_texts.h"
#include "tests/app/ui/dialog_fixture.h"
#include "tests/support/data_file_sample.h"

#include <QClipboard>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTreeWidget>

#include <set>

namespace kerbolt::ui::testing {
namespace {

using namespace store; // the data file, as the program reads and writes it
using lists::CharSlice;

void Press(QWidget* target, Qt::Key key, const QString& text,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

class FrmIndemnites : public DialogTest {
protected:
    void StoreTicket(int n, const std::string& reference, const std::string& mark) {
        // The payment mark is the operator's: the program writes it only through the INI store.
        ASSERT_TRUE(WriteIndemnite(
            state.DataFile, n,
            testing_support::ListedTicket(reference, "", "VD 12345" + std::to_string(n))));
        if (!mark.empty()) {
            ASSERT_TRUE(store::WriteIni(IndemniteSection(n), "datepaiement", mark, state.DataFile));
        }
    }
    static std::vector<std::string> References(const frmIndemnites* window) {
        std::vector<std::string> refs;
        for (const std::string& line : window->Lines()) {
            refs.push_back(TrimBlanks(CharSlice(line, 0, 15)));
        }
        return refs;
    }
};

TEST_F(FrmIndemnites, ListModeFiltersTheCompensations) {
    StoreTicket(0, "000NZFAP-0", "");
    StoreTicket(1, "000NZFAP-1", "12.03.2025");
    StoreTicket(2, "000NZFAP-2", "ANNULE-x");
    StoreTicket(3, "000NZFAP-3", "annule-x");
    // A section without a reference.
    ASSERT_TRUE(store::WriteIni("INDEMNITE4", "date", "01.01.2025", state.DataFile));
    QPointer<frmIndemnites> window = new frmIndemnites(Context(), IndemnitesMode::List);
    OpenModal(window);
    EXPECT_EQ(window->width(), 821);
    EXPECT_EQ(Child<QLabel>(window, "lblIndemnite")->text(),
              QString::fromUtf8("Liste de vos Indemnités"));
    EXPECT_FALSE(Child<QFrame>(window, "fraReglagle")->isVisible());
    EXPECT_TRUE(Child<QRadioButton>(window, "optSelect0")->isChecked());
    using Refs = std::vector<std::string>;
    EXPECT_EQ(References(window), (Refs{"000NZFAP-0", "000NZFAP-1", "000NZFAP-3"}));
    Child<QRadioButton>(window, "optSelect1")->click();
    EXPECT_EQ(References(window), Refs{"000NZFAP-0"});
    EXPECT_EQ(window->Lines()[0],
              "000NZFAP-0     0     03.02.2025 14:05    VD 123450      50        ");
    Child<QRadioButton>(window, "optSelect2")->click();
    EXPECT_EQ(References(window), (Refs{"000NZFAP-1", "000NZFAP-3"}));
    EXPECT_EQ(window->Lines()[0].substr(66), "12.03.2025");

    // Saving does nothing in this mode.
    window->cmdSave_Click();
    EXPECT_FALSE(window->IsUnloaded());
    EXPECT_FALSE(std::filesystem::exists(state.IniPath));
    window->lblUndo_Click();
}

TEST_F(FrmIndemnites, ListColumnsAreAsWideAsTheirHeadingsAndEntriesInEveryLanguage) {
    StoreTicket(0, "000NZFAP-0", "12.03.2025");
    // Plates longer than any fixed column.
    ASSERT_TRUE(store::WriteIni(IndemniteSection(0), "nPlaques", "VD 123456 / GE 987654 / FR 1",
                                state.DataFile));
    for (int language = texts::kFrench; language <= texts::kItalian; ++language) {
        SCOPED_TRACE(language);
        state.Language = static_cast<std::int16_t>(language);
        QPointer<frmIndemnites> window = new frmIndemnites(Context(), IndemnitesMode::List);
        OpenModal(window);
        auto* list = Child<QTreeWidget>(window, "List1");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        const QTreeWidgetItem* item = list->topLevelItem(0);
        EXPECT_EQ(item->text(3), QStringLiteral("VD 123456 / GE 987654 / FR 1"));
        const QHeaderView* header = list->header();
        const QFontMetrics heading_metrics(header->font());
        const QFontMetrics entry_metrics(list->font());
        using kerbolt::texts::frmIndemnites::Caption;
        const Caption headings[] = {Caption::lblId,      Caption::lblPlace, Caption::lblDate,
                                    Caption::lblPlaques, Caption::lblBrut,  Caption::lblPaye};
        int right = 0;
        for (int column = 0; column < 6; ++column) {
            const QString heading = QString::fromStdString(
                kerbolt::texts::frmIndemnites::CaptionText(language, headings[column]));
            EXPECT_EQ(list->headerItem()->text(column), heading);
            // Each section begins where the one before ends, and holds its heading and entry.
            EXPECT_EQ(header->sectionPosition(column), right) << column;
            EXPECT_GE(header->sectionSize(column), heading_metrics.horizontalAdvance(heading))
                << column;
            EXPECT_GE(header->sectionSize(column),
                      entry_metrics.horizontalAdvance(item->text(column)))
                << column;
            right += header->sectionSize(column);
        }
        // The fixed-column line of the record is what the list stands for.
        EXPECT_EQ(window->Lines().size(), 1u);
        window->lblUndo_Click();
        Settle();
    }
}

TEST_F(FrmIndemnites, AmountKeysAreFiltered) {
    state.TicketAmount = "";
    QPointer<frmIndemnites> window = new frmIndemnites(Context(), IndemnitesMode::Settings);
    OpenModal(window);
    auto* amount = Child<QLineEdit>(window, "txtMontant");
    amount->setFocus();
    const struct {
        Qt::Key key;
        const char* text;
    } keys[] = {{Qt::Key_1, "1"},     {Qt::Key_A, "a"},     {Qt::Key_2, "2"}, {Qt::Key_Comma, ","},
                {Qt::Key_Minus, "-"}, {Qt::Key_Space, " "}, {Qt::Key_5, "5"}, {Qt::Key_0, "0"}};
    for (const auto& k : keys)
        Press(amount, k.key, QString::fromLatin1(k.text));
    EXPECT_EQ(amount->text(), QStringLiteral("12.50"));
    Press(amount, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(amount->text(), QStringLiteral("12.5"));
    // Pasting is refused, by its control character and by its other shortcut.
    QApplication::clipboard()->setText(QStringLiteral("77abc"));
    Press(amount, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
    EXPECT_EQ(amount->text(), QStringLiteral("12.5"));
    Press(amount, Qt::Key_Insert, QString(), Qt::ShiftModifier);
    EXPECT_EQ(amount->text(), QStringLiteral("12.5"));
    Press(amount, Qt::Key_Left, QString());
    Press(amount, Qt::Key_9, QStringLiteral("9"));
    EXPECT_EQ(amount->text(), QStringLiteral("12.95"));
    Press(amount, Qt::Key_Delete, QString(QChar(127)));
    EXPECT_EQ(amount->text(), QStringLiteral("12.9"));
    window->lblUndo_Click();
}

TEST_F(FrmIndemnites, SettingsModeSavesTheTicketTexts) {
    ASSERT_TRUE(WriteAccount(state.DataFile, "a@b.ch", "secret1"));
    state.Language = texts::kItalian;
    state.TicketAmount = "50";
    state.TicketTitle = "Old title";
    state.TicketText = "line 1\r\nline 2";
    QPointer<frmIndemnites> window = new frmIndemnites(Context(), IndemnitesMode::Settings);
    OpenModal(window);
    EXPECT_EQ(window->width(), 641);
    EXPECT_EQ(Child<QLabel>(window, "lblUndo")->x(), kerbolt::ui::Px(9615 - 375));
    EXPECT_EQ(Child<QLabel>(window, "lblIndemnite")->text(), QStringLiteral("Testi e importo"));
    EXPECT_EQ(Child<QPushButton>(window, "cmdSave")->text(), QStringLiteral("Salva"));
    EXPECT_EQ(Child<QRadioButton>(window, "optSelect1")->text(), QStringLiteral("In sospeso"));
    EXPECT_EQ(Child<QPlainTextEdit>(window, "txtTexte")->toPlainText(),
              QStringLiteral("line 1\nline 2"));
    Type(window, "txtMontant", QStringLiteral("12.50"));
    Type(window, "txtTitre", QStringLiteral("New title"));
    Child<QPlainTextEdit>(window, "txtTexte")->setPlainText(QStringLiteral("a\nb"));
    Click(window, "cmdSave");
    EXPECT_EQ(state.TicketAmount, "12.50");
    EXPECT_EQ(state.TicketTitle, "New title");
    EXPECT_EQ(state.TicketText, "a\r\nb");
    const ParamSettings param = ReadParamSettings(state.IniPath);
    EXPECT_EQ(param.Montant, "12.50");
    EXPECT_EQ(param.Titre, "New title");
    EXPECT_EQ(param.Texte, "a\r\nb");
    // The data file goes up (not the settings file), then the preview is rebuilt.
    EXPECT_NE(server->Log().find("STOR /web/ctrl/KB/000NZFAP"), std::string::npos);
    EXPECT_EQ(server->Log().find("Param"), std::string::npos);
    EXPECT_EQ(creer, 1);
    EXPECT_TRUE(prompts.shown.empty());
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FrmIndemnites, SettingsThatCannotBeWrittenChangeNothingAndKeepTheWindowOpen) {
    state.TicketAmount = "50";
    state.TicketTitle = "Old title";
    // A folder where the settings file should be: the file cannot be replaced.
    std::filesystem::create_directories(state.IniPath);
    QPointer<frmIndemnites> window = new frmIndemnites(Context(), IndemnitesMode::Settings);
    OpenModal(window);
    Type(window, "txtTitre", QStringLiteral("New title"));
    Click(window, "cmdSave");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{
                                 kerbolt::texts::frmMain::DataNotSavedMessage(state.Language)});
    EXPECT_EQ(state.TicketTitle, "Old title");
    EXPECT_EQ(creer, 0);
    EXPECT_EQ(server->Log().find("STOR"), std::string::npos);
    Settle();
    ASSERT_FALSE(window.isNull());
    window->lblUndo_Click();
}

TEST_F(FrmIndemnites, OnlyAmountsAQrBillCarriesAreSaved) {
    ASSERT_TRUE(WriteAccount(state.DataFile, "a@b.ch", "secret1"));
    const struct {
        const char* typed;
        bool kept;
    } cases[] = {
        {"", false},          {"abc", false},   {"0", false},           {"0.004", false},
        {"0.01", true},       {"12,50", false}, {"999999999.99", true}, {"999999999.995", false},
        {"1000000000", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        for (int language = texts::kFrench; language <= texts::kItalian; ++language) {
            state.Language = language;
            state.TicketAmount = "50";
            prompts.shown.clear();
            QPointer<frmIndemnites> window = new frmIndemnites(Context(), IndemnitesMode::Settings);
            OpenModal(window);
            // Set directly: the key filter alone already keeps letters and commas out.
            Child<QLineEdit>(window, "txtMontant")->setText(QString::fromLatin1(c.typed));
            Click(window, "cmdSave");
            if (c.kept) {
                EXPECT_TRUE(prompts.shown.empty());
                EXPECT_EQ(state.TicketAmount, c.typed);
                EXPECT_EQ(ReadParamSettings(state.IniPath).Montant, c.typed);
                Settle();
                EXPECT_TRUE(window.isNull());
            } else {
                EXPECT_EQ(prompts.shown,
                          std::vector<std::string>{kerbolt::texts::frmIndemnites::Message(
                              language, kerbolt::texts::frmIndemnites::kMsgAmountRefused)});
                EXPECT_EQ(state.TicketAmount, "50");
                Settle();
                ASSERT_FALSE(window.isNull());
                window->lblUndo_Click();
                Settle();
            }
        }
    }
    // Each language has its own words for the refusal.
    std::set<std::string> words;
    for (int language = texts::kFrench; language <= texts::kItalian; ++language)
        words.insert(kerbolt::texts::frmIndemnites::Message(
            language, kerbolt::texts::frmIndemnites::kMsgAmountRefused));
    EXPECT_EQ(words.size(), 4u);
}

} // namespace
} // namespace kerbolt::ui::testing
