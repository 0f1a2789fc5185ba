#include "app/core/session/sign_in.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/connect_texts.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/web/data_transfers.h"
#include "tests/support/fake_ports.h"
#include "tests/support/ini_dump.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kerbolt::session {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;

TEST(SignInAddress, FormCheck) {
    const struct {
        const char* address;
        bool ok;
    } cases[] = {
        {"a@b.ch", true},  {"a@b.c", false},   {"ab.ch", false},
        {"a.b@ch", false}, {"a.b@c.de", true}, {"@.ab", true},
        {"a@b.c.d", true}, {"", false},        {"a@b..", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWellFormedAddress(c.address), c.ok) << c.address;
}

class SignInTest : public ::testing::Test {
protected:
    void SetUp() override {
        state_.DataFolder = dir_.Path().string();
        state_.IniPath = dir_.File("Param.ini");
        state_.Language = texts::kEnglish;
    }
    std::string DataFile() const { return dir_.File("000NZFAP"); }
    std::string RemotePath() const { return web::DataFileDownloadPath("000NZFAP"); }
    SignInNext Attempt(const std::string& mail, const std::string& pwd, bool remember = false) {
        return sign_in_.Attempt(mail, pwd, remember);
    }
    std::string Msg(int n) const { return texts::frmConnect::LoginMessage(texts::kEnglish, n); }

    testing_support::TempDir dir_;
    store::State state_;
    testing_support::MemoryFtp ftp_;
    testing_support::RecordingPrompts prompts_;
    SignIn sign_in_{state_, ftp_, prompts_};
};

TEST_F(SignInTest, NewAccountWritesOnlyTheAddressAndTrimmedPassword) {
    EXPECT_EQ(Attempt("A@B.CH", "  secret1 ", true), SignInNext::OpenMain);
    EXPECT_EQ(state_.AccountKey, "000NZFAP");
    EXPECT_TRUE(state_.NewInstall);
    EXPECT_EQ(testing_support::DumpIni(DataFile()),
              (std::vector<std::string>{"[INFOS]", "mail=a@b.ch", "pwd=secret1"}));
    EXPECT_EQ(store::ReadIni("Param", "Mail", state_.IniPath), "a@b.ch");
    // Account creation uploads nothing.
    EXPECT_EQ(ftp_.calls.size(), 1u);
    EXPECT_TRUE(prompts_.shown.empty());
}

// Spaces and tabs at the ends of a typed password are trimmed alike; a data file whose
// password kept a tab or a space at an end still opens with it, typed or not.
TEST_F(SignInTest, StoredPasswordWithBlanksAtItsEndsStillSignsIn) {
    const struct {
        const char* stored;
        const char* typed;
    } cases[] = {
        {"\tsecret1", "\tsecret1"},
        {"\tsecret1", "secret1"},
        {"secret1\t", " secret1 \t"},
        {" secret1", "secret1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        // The file as a client that trimmed only spaces wrote it: the INI value is scrambled, so
        // its tab is part of the password, not of the line.
        ASSERT_TRUE(store::WriteIniKeys("INFOS", {{"mail", "a@b.ch"}, {"pwd", c.stored}},
                                        DataFile(), /*owner_only=*/true));
        EXPECT_EQ(Attempt("a@b.ch", c.typed), SignInNext::OpenMain);
    }
    EXPECT_EQ(sign_in_.FailedAttempts(), 0);
}

TEST_F(SignInTest, TabsAroundANewPasswordAreTrimmedLikeSpaces) {
    EXPECT_EQ(Attempt("a@b.ch", "\t secret1\t"), SignInNext::OpenMain);
    EXPECT_EQ(store::ReadInfos(DataFile()).pwd, "secret1");
}

TEST_F(SignInTest, ShortPasswordForANewAccountCountsNothing) {
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Attempt("a@b.ch", " 12345 "), SignInNext::Stay);
    EXPECT_EQ(sign_in_.FailedAttempts(), 0);
    EXPECT_EQ(prompts_.shown, std::vector<std::string>(4, Msg(4)));
    EXPECT_FALSE(fs::exists(DataFile()));
}

TEST_F(SignInTest, UnreachableServerWithoutLocalFileCreatesNoAccount) {
    for (const FtpStatus status : {FtpStatus::Unreachable, FtpStatus::Failed}) {
        prompts_.shown.clear();
        ftp_.status = status;
        EXPECT_EQ(Attempt("a@b.ch", "secret1"), SignInNext::Stay);
        EXPECT_EQ(prompts_.shown.back(), "The server cannot be reached; please try again later.");
        EXPECT_EQ(prompts_.icons.back(), MessageIcon::Information);
        EXPECT_FALSE(fs::exists(DataFile()));
        EXPECT_EQ(sign_in_.FailedAttempts(), 0);
    }
}

TEST_F(SignInTest, ServersCopySignsInAndRemembersOnlyWhenAsked) {
    store::WriteAccount(dir_.File("server"), "a@b.ch", "secret1");
    ftp_.files[RemotePath()] = ReadFileBytes(dir_.File("server"));
    store::WriteIni("Param", "Mail", "old@x.ch", state_.IniPath);
    state_.NewInstall = true;
    EXPECT_EQ(Attempt("a@b.ch", "secret1", false), SignInNext::OpenMain);
    EXPECT_FALSE(state_.NewInstall);
    EXPECT_EQ(store::ReadIni("Param", "Mail", state_.IniPath), "");
    EXPECT_EQ(ReadFileBytes(DataFile()), ftp_.files[RemotePath()]);
}

TEST_F(SignInTest, MalformedAddressesAndWrongPasswordsShareTheCounter) {
    store::WriteAccount(DataFile(), "a@b.ch", "secret1");
    EXPECT_EQ(Attempt("a@b", "secret1"), SignInNext::Stay);
    EXPECT_EQ(Attempt("a@b.ch", "Secret1"), SignInNext::Stay);
    EXPECT_EQ(Attempt("a@b.ch", "wrong"), SignInNext::EndProcess);
    EXPECT_EQ(prompts_.shown, (std::vector<std::string>{Msg(6), Msg(3), Msg(5)}));
    EXPECT_EQ(prompts_.icons,
              (std::vector<MessageIcon>{MessageIcon::Information, MessageIcon::Information,
                                        MessageIcon::Critical}));
    // No copy came from the server: the local file stays.
    EXPECT_TRUE(fs::exists(DataFile()));
}

// The third failure after a copy arrived from the server: message 2 as an error box, and the
// local file goes only when it is the copy that was just fetched.
TEST_F(SignInTest, ThirdFailureDeletesOnlyAFetchedCopy) {
    store::WriteAccount(dir_.File("server"), "a@b.ch", "secret1");
    const std::string server_copy = ReadFileBytes(dir_.File("server"));
    ftp_.files[RemotePath()] = server_copy;
    for (int i = 0; i < 3; ++i)
        Attempt("a@b.ch", "wrong");
    EXPECT_EQ(prompts_.shown.back(), Msg(2));
    EXPECT_EQ(prompts_.icons.back(), MessageIcon::Critical);
    EXPECT_FALSE(fs::exists(DataFile()));

    // A larger local file, kept by the synchronisation, may hold tickets not yet uploaded.
    SignIn again(state_, ftp_, prompts_);
    const std::string local = server_copy + "[x]\r\n";
    testing_support::WriteFileBytes(DataFile(), local);
    for (int i = 0; i < 3; ++i)
        again.Attempt("a@b.ch", "wrong", false);
    EXPECT_EQ(prompts_.shown.back(), Msg(2));
    EXPECT_EQ(ReadFileBytes(DataFile()), local);
}

// A password is counted in characters and must be one the data file can store: a letter
// Windows-1252 lacks would be stored as "?", and the account opened with question marks after.
TEST_F(SignInTest, PasswordsAreCountedInCharactersAndStoredAsTyped) {
    const std::string cyrillic = "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"; // 6 letters
    const std::string three_accented = "\xC3\xA9\xC3\xA8\xC3\xA0";                   // 6 bytes
    const std::string six_accented = three_accented + "\xC3\xAA\xC5\x93\xE2\x82\xAC";
    EXPECT_EQ(Attempt("a@b.ch", cyrillic), SignInNext::Stay);
    EXPECT_EQ(Attempt("a@b.ch", " " + cyrillic.substr(0, 6) + "abc "), SignInNext::Stay);
    EXPECT_EQ(Attempt("a@b.ch", three_accented), SignInNext::Stay);
    EXPECT_EQ(prompts_.shown, (std::vector<std::string>{
                                  Msg(texts::frmConnect::kPasswordNotStorableMessage),
                                  Msg(texts::frmConnect::kPasswordNotStorableMessage), Msg(4)}));
    EXPECT_EQ(sign_in_.FailedAttempts(), 0);
    EXPECT_FALSE(fs::exists(DataFile()));

    prompts_.shown.clear();
    EXPECT_EQ(Attempt("a@b.ch", six_accented), SignInNext::OpenMain);
    EXPECT_EQ(store::ReadInfos(DataFile()).pwd, six_accented);
    // The account opens again with what was typed, and only with that.
    SignIn next(state_, ftp_, prompts_);
    EXPECT_EQ(next.Attempt("a@b.ch", six_accented, false), SignInNext::OpenMain);
    EXPECT_EQ(next.Attempt("a@b.ch", "??????", false), SignInNext::Stay);
    EXPECT_EQ(next.Attempt("a@b.ch", cyrillic, false), SignInNext::Stay);
    EXPECT_EQ(next.FailedAttempts(), 1) << "a password that cannot be stored is no attempt";
    EXPECT_EQ(prompts_.shown, (std::vector<std::string>{
                                  Msg(3), Msg(texts::frmConnect::kPasswordNotStorableMessage)}));
    for (int language = texts::kFrench; language <= texts::kItalian; ++language)
        EXPECT_FALSE(texts::frmConnect::LoginMessage(language,
                                                     texts::frmConnect::kPasswordNotStorableMessage)
                         .empty())
            << language;
}

// The sign-in holds when the settings file cannot take the address; the user learns that it
// will not be remembered.
TEST_F(SignInTest, AnAddressThatCannotBeRememberedIsTold) {
    fs::create_directories(state_.IniPath); // a folder where the settings file belongs
    for (const bool remember : {true, false}) {
        SignIn attempt(state_, ftp_, prompts_);
        prompts_.shown.clear();
        EXPECT_EQ(attempt.Attempt("a@b.ch", "secret1", remember), SignInNext::OpenMain);
        EXPECT_EQ(prompts_.shown, std::vector<std::string>{texts::SettingNotSavedMessage(
                                      texts::kEnglish, state_.IniPath)});
        EXPECT_EQ(prompts_.icons.back(), MessageIcon::Exclamation);
    }
}

TEST(SignInTexts, MessagesAndCaptionsByLanguage) {
    EXPECT_EQ(texts::frmConnect::LoginMessage(2, 3), "E-Mail oder Passwort ist falsch");
    EXPECT_EQ(texts::frmConnect::LoginMessage(1, 1), texts::frmConnect::LoginMessage(1, 2));
    EXPECT_EQ(texts::frmConnect::LoginMessage(4, 5), "Troppi tentativi, il programma verrà chiuso");
    for (const int n : {0, 9})
        EXPECT_EQ(texts::frmConnect::LoginMessage(1, n), "");
    for (const int language : {0, 5})
        EXPECT_EQ(texts::frmConnect::LoginMessage(language, 3), "");
    EXPECT_EQ(texts::frmConnect::CaptionText(2, texts::frmConnect::Caption::cmdOpen), "Öffnen");
    EXPECT_EQ(texts::frmConnect::CaptionText(0, texts::frmConnect::Caption::cmdOpen), "");
}

} // namespace
} // namespace kerbolt::session
