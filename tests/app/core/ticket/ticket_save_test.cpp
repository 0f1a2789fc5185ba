#include "app/core/ticket/ticket_save.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/main_texts.h"
#include "app/core/web/data_transfers.h"
#include "tests/support/fake_ports.h"
#include "tests/support/ini_dump.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kerbolt::ticket {
namespace {

class FixedClock : public IClock {
public:
    DateTime Now() override { return {2025, 2, 3, 9, 5, 41}; }
};

TEST(PrintEntry, RefusalsComeBeforeAnyWrite) {
    EXPECT_EQ(CheckPrintEntry("", 0), texts::frmMain::kMsgNoPlates);
    EXPECT_EQ(CheckPrintEntry("", -1), texts::frmMain::kMsgNoPlates);
    EXPECT_EQ(CheckPrintEntry("VD 1", -1), texts::frmMain::kMsgNoSpot);
    EXPECT_EQ(CheckPrintEntry("   ", 0), 0);
}

class TicketSave : public ::testing::Test {
protected:
    void SetUp() override {
        state_.DataFolder = dir_.Path().string();
        state_.AccountKey = "000NZFAP";
        state_.DataFile = dir_.File("000NZFAP");
        state_.TicketAmount = "50";
        store::WriteAccount(state_.DataFile, "a@b.ch", "secret1");
    }
    testing_support::TempDir dir_;
    store::State state_;
    testing_support::MemoryFtp ftp_;
    FixedClock clock_;
};

TEST_F(TicketSave, RecordsInOrderThenUploads) {
    const SavedTicket first = SaveTicket(state_, ftp_, clock_, 2, "VD 123456");
    EXPECT_EQ(first.number, 0);
    EXPECT_EQ(first.reference, "000NZFAP-0");
    EXPECT_TRUE(first.written);
    EXPECT_TRUE(first.uploaded);
    const std::vector<std::string> expected = {
        "[INFOS]",       "mail=a@b.ch",     "pwd=secret1",         "[INDEMNITE0]",
        "IdPlace=2",     "date=03.02.2025", "heure=09:05",         "nPlaques=VD 123456",
        "Montant100=50", "Montant60=30",    "NumIndemn=000NZFAP-0"};
    EXPECT_EQ(testing_support::DumpIni(state_.DataFile), expected);
    EXPECT_EQ(ftp_.files[web::DataFileUploadPath("000NZFAP")],
              testing_support::ReadFileBytes(state_.DataFile));

    EXPECT_EQ(SaveTicket(state_, ftp_, clock_, 0, "  ").reference, "000NZFAP-1");
}

TEST_F(TicketSave, AmountThatIsNoNumberLeavesMontant60EmptyAndAFailedUploadIsReported) {
    state_.TicketAmount = "";
    ftp_.status = FtpStatus::Unreachable;
    const SavedTicket saved = SaveTicket(state_, ftp_, clock_, 1, "GE 1");
    EXPECT_FALSE(saved.uploaded);
    EXPECT_TRUE(saved.written);
    const store::IndemniteRecord record = store::ReadIndemnite(state_.DataFile, 0);
    EXPECT_EQ(record.Montant100, "");
    EXPECT_EQ(record.Montant60, "");
    EXPECT_EQ(record.NumIndemn, "000NZFAP-0");
}

TEST_F(TicketSave, RecordThatCannotBeWrittenIsNotUploaded) {
    // A folder where the data file should be: the file cannot be replaced.
    std::filesystem::remove(state_.DataFile);
    std::filesystem::create_directory(state_.DataFile);
    const SavedTicket saved = SaveTicket(state_, ftp_, clock_, 0, "VD 1");
    EXPECT_FALSE(saved.written);
    EXPECT_FALSE(saved.uploaded);
    EXPECT_TRUE(ftp_.files.empty());
    EXPECT_TRUE(std::filesystem::is_empty(state_.DataFile)) << "no temporary file left";
}

TEST_F(TicketSave, NoRecordUnderTheLargestNumber) {
    // It would not count as the last record, and the ticket after it would overwrite it.
    ASSERT_TRUE(store::WriteIni("INDEMNITE2147483646", "NumIndemn", "000NZFAP-2147483646",
                                state_.DataFile));
    const std::string before = testing_support::ReadFileBytes(state_.DataFile);
    const SavedTicket saved = SaveTicket(state_, ftp_, clock_, 0, "VD 1");
    EXPECT_FALSE(saved.written);
    EXPECT_FALSE(saved.uploaded);
    EXPECT_EQ(testing_support::ReadFileBytes(state_.DataFile), before);
}

TEST(MainTexts, MessagesAndCaptionsByLanguage) {
    EXPECT_EQ(texts::frmMain::Message(3, texts::frmMain::kMsgMandateActive), "Active mandate");
    EXPECT_EQ(texts::frmMain::Message(1, texts::frmMain::kMsgBuildMandate), "Generér le mandat");
    for (const int n : {0, 10})
        EXPECT_EQ(texts::frmMain::Message(1, n), "");
    EXPECT_EQ(texts::frmMain::Message(0, 1), "");
    EXPECT_EQ(texts::frmMain::CaptionText(4, texts::frmMain::Caption::lblBV10), "Causale");
    EXPECT_EQ(texts::frmMain::CaptionText(2, texts::frmMain::Caption::cmdPrint),
              "Drucken und speichern");
    EXPECT_EQ(texts::frmMain::CaptionText(5, texts::frmMain::Caption::cmdPrint), "");
}

} // namespace
} // namespace kerbolt::ticket
