// The sign-in of the sign-in window: the address check, the synchronisation of the data file,
// the three cases (the server's copy arrived, a local copy only, a new account) and the counter
// of failed attempts that ends the program at the third.
#pragma once

#include "app/core/store/app_state.h"
#include "app/core/web/data_transfers.h"
#include "app/platform/ports.h"

#include <functional>
#include <string>

namespace kerbolt::session {

// What the typed text must look like: an at sign, a point after it, and at least two
// characters after that point.
bool IsWellFormedAddress(const std::string& address);

// What the window does after an attempt.
enum class SignInNext {
    Stay,       // a message was shown; the user may try again
    OpenMain,   // signed in: the main window opens and the sign-in window goes
    EndProcess, // the last message was shown; the program ends
};

class SignIn {
public:
    SignIn(store::State& state, IFtp& ftp, IPrompts& prompts)
        : state_(state), ftp_(ftp), prompts_(prompts) {}

    // One press of the open button with the texts of the boxes as typed and the state of the
    // "remember me" box. Messages go through the prompts port.
    SignInNext Attempt(const std::string& mail_text, const std::string& password_text,
                       bool remember_address);

    int FailedAttempts() const { return failed_attempts_; }

    // Runs the synchronisation of each attempt and returns its result (the windows run it beside
    // their event loop). The synchronisation then shows no message box itself.
    using SyncRunner = std::function<web::SyncResult(const std::function<web::SyncResult()>& sync)>;
    void SetSyncRunner(SyncRunner run_sync) { run_sync_ = std::move(run_sync); }

private:
    SignInNext Fail(int message_number, int final_message_number);
    SignInNext Succeed(const std::string& address, bool remember_address);

    store::State& state_;
    IFtp& ftp_;
    IPrompts& prompts_;
    int failed_attempts_ = 0;
    SyncRunner run_sync_;
    // The account whose data file a sign-in of this window fetched from the server. Nothing
    // else writes the file while the window is open, so it stays the server's copy.
    std::string fetched_account_;
};

} // namespace kerbolt::session
