// The sign-in window: language choice on first use, sign-in and account creation.
#pragma once

#include "app/core/session/sign_in.h"
#include "app/ui/app_context.h"
#include "app/ui/window_common.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kerbolt::ui {

class frmConnect : public KerboltWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load step.
    explicit frmConnect(AppContext& context, QWidget* parent = nullptr);

    // Sets the captions for the current language, then reloads the ticket's default texts.
    void ApplyLanguage();

    int FailedAttempts() const { return sign_in_.FailedAttempts(); }

signals:
    // The user is signed in: the main window is to open and this window to go.
    void SignedIn();

protected:
    // Closed by any other means than the close label, the window ends the program as that label
    // does: with no window left, the process would run on unseen.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdOpen_Click();
    void cmdLangue_Click(int index);
    void imgLangue_Click(int index);
    void chkPwd_Click();
    void lblUndo_Click();
    void ChooseLanguage(int index);

    AppContext& context_;
    kerbolt::session::SignIn sign_in_;
    QLabel* lblNewUser_ = nullptr;
    QLabel* lblMail_ = nullptr;
    QLabel* lblPwd_ = nullptr;
    QLineEdit* txtMail_ = nullptr;
    QLineEdit* txtPwd_ = nullptr;
    QCheckBox* chkPwd_ = nullptr;
    QCheckBox* chkNoPwd_ = nullptr;
    QPushButton* cmdOpen_ = nullptr;
    QGroupBox* fraLangue_ = nullptr;
};

} // namespace kerbolt::ui
