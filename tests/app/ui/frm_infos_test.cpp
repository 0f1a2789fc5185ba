#include "app/ui/frm_infos.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/infos_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/ui/frm_places.h"
#include "tests/app/ui/dialog_fixture.h"
#include "tests/support/ini_dump.h"

#include <QPointer>

namespace kerbolt::ui::testing {
namespace {

class FrmInfos : public DialogTest {
protected:
    void Fill(frmInfos* window, const char* iban) {
        Type(window, "txtNom", QStringLiteral("Jean Muster"));
        Type(window, "txtRue", QStringLiteral("Rue du Lac"));
        Type(window, "txtNum", QStringLiteral("1"));
        Type(window, "txtCodeP", QStringLiteral("1000"));
        Type(window, "txtLocalite", QStringLiteral("Lausanne"));
        Type(window, "txtIBAN", QString::fromUtf8(iban));
    }
};

TEST_F(FrmInfos, SavesTheDetailsInOrderUploadsAndCloses) {
    ASSERT_TRUE(store::WriteAccount(state.DataFile, "a@b.ch", "secret1"));
    QPointer<frmInfos> window = new frmInfos(Context());
    OpenModal(window);
    Fill(window, "CH93 0076 2011 6238 5295 7");
    Type(window, "txtNom", QStringLiteral(" ")); // a blank alone counts as a name
    Click(window, "cmdSave");
    EXPECT_TRUE(prompts.shown.empty());
    // The keys as they stand in the file, in order after the account's.
    EXPECT_EQ(testing_support::DumpIni(state.DataFile),
              (std::vector<std::string>{"[INFOS]", "mail=a@b.ch", "pwd=secret1",
                                        "Nom= ", "rue=Rue du Lac", "no=1", "npa=1000",
                                        "ville=Lausanne", "IBAN=CH93 0076 2011 6238 5295 7"}));
    EXPECT_EQ(ServerCopy(), testing_support::ReadFileBytes(state.DataFile));
    EXPECT_NE(server->Log().find("STOR /web/ctrl/KB/000NZFAP"), std::string::npos);
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FrmInfos, RequiredFieldsAndTheIbanQuestion) {
    QPointer<frmInfos> window = new frmInfos(Context());
    OpenModal(window);
    Fill(window, "CH93 0076 2011 6238 5295 8");
    Type(window, "txtCodeP", QString());
    Click(window, "cmdSave");
    ASSERT_EQ(prompts.shown,
              std::vector<std::string>{texts::frmInfos::Message(1, texts::frmInfos::kMsgRequired)});
    EXPECT_EQ(prompts.icons[0], MessageIcon::Information);
    EXPECT_FALSE(std::filesystem::exists(state.DataFile));

    // An invalid IBAN: No keeps the window and writes nothing.
    Type(window, "txtCodeP", QStringLiteral("1000"));
    prompts.shown.clear();
    prompts.answer = false;
    Click(window, "cmdSave");
    const std::string question = "L'IBAN n'est pas valable, voulez-vous continuer sans IBAN ?\n"
                                 "Kerbolt ne sera pas en mesure de vous verser vos indemnités";
    EXPECT_EQ(prompts.shown, std::vector<std::string>{question});
    EXPECT_FALSE(std::filesystem::exists(state.DataFile));
    EXPECT_TRUE(window->isVisible());

    // Yes saves with an empty IBAN.
    prompts.answer = true;
    Click(window, "cmdSave");
    EXPECT_EQ(store::ReadInfos(state.DataFile).IBAN, "");
    EXPECT_EQ(store::ReadInfos(state.DataFile).ville, "Lausanne");
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FrmInfos, FirstRunStartsEmptyAndLeadsOnToTheSpots) {
    store::InfosRecord stored;
    stored.Nom = "Old Name";
    stored.npa = "1200";
    stored.ville = "Genève";
    ASSERT_TRUE(store::WriteContactDetails(state.DataFile, stored));
    state.NewInstall = true;
    QPointer<frmInfos> window = new frmInfos(Context());
    OpenModal(window);
    EXPECT_EQ(Child<QLineEdit>(window, "txtNom")->text(), QString());
    EXPECT_EQ(Child<QLineEdit>(window, "txtLocalite")->text(), QString());
    Fill(window, "LI21 0881 0000 2324 013A A");
    Click(window, "cmdSave");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(state.NewInstall);
    EXPECT_EQ(store::ReadInfos(state.DataFile).Nom, "Jean Muster");

    // The spots window is open before the contact window goes.
    QPointer<frmPlaces> places = window->SpotsWindow();
    ASSERT_FALSE(places.isNull());
    EXPECT_TRUE(places->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->IsUnloaded());
    places->lblUndo_Click();
    Settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(places.isNull());
}

TEST_F(FrmInfos, AFailedUploadIsReportedAndTheDetailsStay) {
    UseFtp(false);
    state.Language = texts::kGerman;
    QPointer<frmInfos> window = new frmInfos(Context());
    EXPECT_EQ(Child<QLabel>(window, "lblTitre")->text(), QStringLiteral("Ihre Kontaktdaten"));
    Fill(window, "CH93 0076 2011 6238 5295 7");
    prompts.answer = false; // no second try
    Click(window, "cmdSave");
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"Die Daten konnten nicht auf unserem Server aktualisiert "
                                       "werden\nJetzt erneut versuchen?"});
    EXPECT_EQ(store::ReadInfos(state.DataFile).Nom, "Jean Muster");
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FrmInfos, DetailsThatCannotBeWrittenKeepTheWindowOpenAndGoNowhere) {
    // A folder where the data file should be: the file cannot be replaced.
    std::filesystem::create_directories(state.DataFile);
    QPointer<frmInfos> window = new frmInfos(Context());
    OpenModal(window);
    Fill(window, "CH93 0076 2011 6238 5295 7");
    Click(window, "cmdSave");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{
                                 kerbolt::texts::frmMain::DataNotSavedMessage(state.Language)});
    EXPECT_EQ(prompts.icons, std::vector<MessageIcon>{MessageIcon::Critical});
    EXPECT_EQ(server->Log().find("STOR"), std::string::npos);
    Settle();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(Child<QLineEdit>(window, "txtNom")->text(), QStringLiteral("Jean Muster"));
    window->lblUndo_Click();
}

TEST_F(FrmInfos, CloseLabelSavesNothing) {
    state.Language = texts::kNoLanguage; // the design captions stay
    QPointer<frmInfos> window = new frmInfos(Context());
    EXPECT_EQ(Child<QLabel>(window, "lblLocalite")->text(), QString::fromUtf8("Localité"));
    Fill(window, "CH93 0076 2011 6238 5295 7");
    window->lblUndo_Click();
    Settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(std::filesystem::exists(state.DataFile));
}

} // namespace
} // namespace kerbolt::ui::testing
