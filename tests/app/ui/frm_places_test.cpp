#include "app/ui/frm_places.h"

#include "app/core/lists/place_lines.h"
#include "app/core/lists/text_columns.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/main_texts.h"
#include "app/core/texts/transfer_texts.h"
#include "tests/app/ui/dialog_fixture.h"
#include "tests/support/ini_dump.h"

#include <QComboBox>
#include <QFrame>
#include <QListWidget>
#include <QPointer>

namespace kerbolt::ui::testing {
namespace {

class FrmPlaces : public DialogTest {
protected:
    // PLACE0 and PLACE2 without PLACE1.
    void StoreSpotsWithAGap() {
        ASSERT_TRUE(store::WriteIni("PLACE0", "IdPlace", "A12", state.DataFile));
        ASSERT_TRUE(
            store::WriteIni("PLACE0", "adresse", "Rue du Lac 1, 1000 Lausanne", state.DataFile));
        ASSERT_TRUE(store::WriteIni("PLACE0", "Proprietaire", "0", state.DataFile));
        ASSERT_TRUE(store::WriteIni("PLACE2", "IdPlace", "C3", state.DataFile));
        ASSERT_TRUE(store::WriteIni("PLACE2", "adresse", "Quai 3", state.DataFile));
        ASSERT_TRUE(store::WriteIni("PLACE2", "Proprietaire", "2", state.DataFile));
    }
    static void Select(frmPlaces* window, int row) {
        Child<QListWidget>(window, "List1")->setCurrentRow(row);
    }
};

TEST_F(FrmPlaces, LoadsTheStoredSpotsAsFixedColumns) {
    StoreSpotsWithAGap();
    QPointer<frmPlaces> window = new frmPlaces(Context());
    const std::vector<std::string> lines = window->Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "A12          Rue du Lac 1, 1000 Lausanne                                  "
                        "Proprietaire     0");
    EXPECT_EQ(lists::CharCount(lines[0]), 92u);
    EXPECT_EQ(lines[1],
              std::string(12, ' ') + " " + std::string(60, ' ') + " " + "Proprietaire     0");
    EXPECT_EQ(lists::CharSlice(lines[2], 74, 15), "Gérance        ");
    EXPECT_EQ(Child<QListWidget>(window, "List1")->font().family(), QStringLiteral("Courier New"));
    auto* status = Child<QComboBox>(window, "cmbStatut");
    EXPECT_EQ(status->count(), 3);
    EXPECT_EQ(status->currentIndex(), -1);
    EXPECT_FALSE(Child<QFrame>(window, "fraPlace")->isVisibleTo(window));
    window->lblUndo_Click();
}

TEST_F(FrmPlaces, EditsAndSavesInListOrderThenUploads) {
    StoreSpotsWithAGap();
    QPointer<frmPlaces> window = new frmPlaces(Context());
    OpenModal(window);
    auto* status = Child<QComboBox>(window, "cmbStatut");

    // Changing without a chosen line only tells the user to choose one.
    Click(window, "cmdModifyPlace");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"Sélectionnez la place à modifier"});
    EXPECT_FALSE(Child<QFrame>(window, "fraPlace")->isVisible());

    // Changing the management spot: its status is chosen, its fields show the values without
    // the list's padding, and saving them untouched gives the line it was.
    const std::string management_line = window->Lines()[2];
    Select(window, 2);
    Click(window, "cmdModifyPlace");
    EXPECT_TRUE(Child<QFrame>(window, "fraPlace")->isVisible());
    EXPECT_FALSE(Child<QListWidget>(window, "List1")->isEnabled());
    EXPECT_EQ(status->currentIndex(), 2);
    EXPECT_EQ(Child<QLineEdit>(window, "txtNPlace")->text(), QStringLiteral("C3"));
    EXPECT_EQ(Child<QLineEdit>(window, "txtAdressePlace")->text(), QStringLiteral("Quai 3"));
    Click(window, "cmdSavePlace");
    EXPECT_EQ(window->Lines()[2], management_line);
    Select(window, 2);
    Click(window, "cmdModifyPlace");
    Type(window, "txtNPlace", QStringLiteral("  C4  "));
    Click(window, "cmdSavePlace");
    EXPECT_FALSE(Child<QFrame>(window, "fraPlace")->isVisible());

    // Adding right after keeps the fields; with no status chosen the index is -1.
    Click(window, "cmdAddPlace");
    EXPECT_EQ(Child<QLineEdit>(window, "txtNPlace")->text(), QStringLiteral("  C4  "));
    status->setCurrentIndex(-1);
    Type(window, "txtNPlace", QStringLiteral("D5"));
    Type(window, "txtAdressePlace", QStringLiteral("Avenue 5"));
    Click(window, "cmdSavePlace");
    ASSERT_EQ(window->Lines().size(), 4u);
    EXPECT_EQ(lists::CharCount(window->Lines()[3]), 93u);

    // An add that is cancelled changes nothing.
    Click(window, "cmdAddPlace");
    Click(window, "cmdUndo");
    ASSERT_EQ(window->Lines().size(), 4u);

    Click(window, "cmdSave");
    const std::vector<store::PlaceRecord> saved = store::ReadPlaces(state.DataFile);
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[0].IdPlace, "A12");
    EXPECT_EQ(saved[1].IdPlace, "");
    EXPECT_EQ(saved[1].Proprietaire, "0");
    EXPECT_EQ(saved[2].IdPlace, "C4");
    EXPECT_EQ(saved[2].adresse, "Quai 3");
    EXPECT_EQ(saved[2].Proprietaire, "2");
    EXPECT_EQ(saved[3].IdPlace, "D5");
    EXPECT_EQ(saved[3].Proprietaire, "-1");
    const std::vector<std::string> dump = testing_support::DumpIni(state.DataFile);
    const std::vector<std::string> last(dump.end() - 4, dump.end());
    EXPECT_EQ(last, (std::vector<std::string>{"[PLACE3]", "IdPlace=D5", "adresse=Avenue 5",
                                              "Proprietaire=-1"}));
    EXPECT_EQ(ServerCopy(), testing_support::ReadFileBytes(state.DataFile));
    EXPECT_EQ(liste_places, 1);
    EXPECT_EQ(prompts.shown.size(), 1u);
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FrmPlaces, EmptyListSavesNothingButUploadsAndCloseLabelDiscards) {
    ASSERT_TRUE(store::WriteAccount(state.DataFile, "a@b.ch", "secret1"));
    const std::string before = testing_support::ReadFileBytes(state.DataFile);
    QPointer<frmPlaces> window = new frmPlaces(Context());
    EXPECT_TRUE(window->Lines().empty());
    Click(window, "cmdSave");
    EXPECT_EQ(testing_support::ReadFileBytes(state.DataFile), before);
    EXPECT_EQ(ServerCopy(), before);
    EXPECT_EQ(liste_places, 1);

    QPointer<frmPlaces> again = new frmPlaces(Context());
    Click(again, "cmdAddPlace");
    Type(again, "txtNPlace", QStringLiteral("Z9"));
    Click(again, "cmdSavePlace");
    again->lblUndo_Click();
    EXPECT_EQ(testing_support::ReadFileBytes(state.DataFile), before);
    EXPECT_EQ(liste_places, 1);
}

TEST_F(FrmPlaces, SpotsThatCannotBeWrittenKeepTheWindowOpenAndGoNowhere) {
    StoreSpotsWithAGap();
    QPointer<frmPlaces> window = new frmPlaces(Context());
    OpenModal(window);
    // A folder where the data file should be: the file cannot be replaced.
    std::filesystem::remove(state.DataFile);
    std::filesystem::create_directories(state.DataFile);
    Click(window, "cmdSave");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{
                                 kerbolt::texts::frmMain::DataNotSavedMessage(state.Language)});
    EXPECT_EQ(server->Log().find("STOR"), std::string::npos);
    EXPECT_EQ(liste_places, 0);
    Settle();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->Lines().size(), 3u);
    window->lblUndo_Click();
}

TEST_F(FrmPlaces, LimitsAndWordsOfTheCurrentLanguage) {
    state.Language = texts::kEnglish;
    UseFtp(false);
    QPointer<frmPlaces> window = new frmPlaces(Context());
    EXPECT_EQ(Child<QLineEdit>(window, "txtNPlace")->maxLength(), 12);
    EXPECT_EQ(Child<QLineEdit>(window, "txtAdressePlace")->maxLength(), 60);
    EXPECT_EQ(Child<QPushButton>(window, "cmdSave")->text(), QStringLiteral("Save / Close"));
    Click(window, "cmdAddPlace");
    Child<QComboBox>(window, "cmbStatut")->setCurrentIndex(1);
    Type(window, "txtNPlace", QStringLiteral("B1"));
    Click(window, "cmdSavePlace");
    EXPECT_EQ(lists::CharSlice(window->Lines()[0], 74, 15), lists::FitColumn("Tenant", 15));
    // The server is out of reach: the main window's message, with the offer to try again (no
    // here), and the spots stay saved.
    prompts.answer = false;
    Click(window, "cmdSave");
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"main message 4\n" + texts::RetryQuestion(state.Language)});
    EXPECT_EQ(store::ReadPlaces(state.DataFile).at(0).Proprietaire, "1");
}

} // namespace
} // namespace kerbolt::ui::testing
