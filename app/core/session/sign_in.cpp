#include "app/core/session/sign_in.h"

#include "app/core/lists/text_columns.h"
#include "app/core/store/records.h"
#include "app/core/store/stored_text.h"
#include "app/core/texts/connect_texts.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/web/data_transfers.h"

#include <algorithm>
#include <filesystem>

namespace kerbolt::session {

namespace {

constexpr int kMaxAttempts = 3;
constexpr std::size_t kMinPasswordLength = 6;

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

} // namespace

bool IsWellFormedAddress(const std::string& address) {
    const std::size_t at = address.find('@');
    if (at == std::string::npos) return false;
    const std::size_t point = address.find('.', at + 1);
    if (point == std::string::npos) return false;
    return address.size() - point - 1 >= 2;
}

SignInNext SignIn::Attempt(const std::string& mail_text, const std::string& password_text,
                           bool remember_address) {
    const std::string password = store::TrimBlanks(password_text);
    // The data file keeps the password in Windows-1252: any other character would be stored as
    // "?", and the account then opened with question marks. Such a password can match no stored
    // one either, so it is no attempt.
    if (!store::IsWindows1252Text(password)) {
        prompts_.Show(texts::frmConnect::LoginMessage(
                          state_.Language, texts::frmConnect::kPasswordNotStorableMessage),
                      MessageIcon::Information);
        return SignInNext::Stay;
    }
    const std::string address = LowerAscii(mail_text);
    if (!IsWellFormedAddress(address)) return Fail(6, 5);

    store::SetAccount(state_, address);
    const web::SyncResult sync =
        run_sync_ ? run_sync_([&ftp = ftp_, file = state_.DataFile, key = state_.AccountKey] {
            return web::SyncDataFile(ftp, nullptr, file, key, /*upload=*/false);
        })
                  : web::SyncDataFile(ftp_, &prompts_, state_.DataFile, state_.AccountKey,
                                      /*upload=*/false);
    const auto credentials_match = [&] {
        const store::InfosRecord infos = store::ReadInfos(state_.DataFile);
        // The stored password is read by the rule it was written by: a file written when only
        // spaces were trimmed may keep a tab at an end of it.
        return infos.mail == address && store::TrimBlanks(infos.pwd) == password;
    };
    if (sync.local_is_server_copy()) fetched_account_ = state_.AccountKey;
    std::error_code ec;
    const bool local_exists = std::filesystem::is_regular_file(state_.DataFile, ec);

    if (sync.size > 0) {
        if (credentials_match()) {
            state_.NewInstall = false;
            return Succeed(address, remember_address);
        }
        const SignInNext next = Fail(3, 2);
        // A local file that was kept because it is larger may hold tickets the server has not
        // seen yet: only a copy that a sign-in of this window fetched goes.
        if (next == SignInNext::EndProcess && fetched_account_ == state_.AccountKey)
            std::filesystem::remove(state_.DataFile, ec);
        return next;
    }
    if (local_exists) {
        if (credentials_match()) return Succeed(address, remember_address);
        return Fail(3, 5);
    }
    // Without an answer from the server the address may well have an account there; a new one
    // made now would overwrite it at its first upload.
    if (sync.outcome != web::SyncOutcome::NotOnServer) {
        prompts_.Show(texts::frmConnect::LoginMessage(state_.Language,
                                                      texts::frmConnect::kServerUnreachableMessage),
                      MessageIcon::Information);
        return SignInNext::Stay;
    }
    // Characters, not bytes: "ééé" is three characters however many bytes UTF-8 gives them.
    if (lists::CharCount(password) < kMinPasswordLength) {
        prompts_.Show(texts::frmConnect::LoginMessage(state_.Language, 4),
                      MessageIcon::Information);
        return SignInNext::Stay;
    }
    store::WriteAccount(state_.DataFile, address, password);
    state_.NewInstall = true;
    return Succeed(address, remember_address);
}

SignInNext SignIn::Fail(int message_number, int final_message_number) {
    ++failed_attempts_;
    if (failed_attempts_ >= kMaxAttempts) {
        prompts_.Show(texts::frmConnect::LoginMessage(state_.Language, final_message_number),
                      MessageIcon::Critical);
        return SignInNext::EndProcess;
    }
    prompts_.Show(texts::frmConnect::LoginMessage(state_.Language, message_number),
                  MessageIcon::Information);
    return SignInNext::Stay;
}

SignInNext SignIn::Succeed(const std::string& address, bool remember_address) {
    // The sign-in holds; only the choice to be remembered (or forgotten) is lost.
    if (!store::SaveRememberedMail(state_.IniPath, remember_address ? address : std::string()))
        prompts_.Show(texts::SettingNotSavedMessage(state_.Language, state_.IniPath),
                      MessageIcon::Exclamation);
    return SignInNext::OpenMain;
}

} // namespace kerbolt::session
