#include "app/ui/application.h"

#include "app/core/session/startup.h"
#include "app/core/texts/transfer_texts.h"
#include "app/ui/frm_connect.h"
#include "app/ui/frm_main.h"
#include "app/ui/transfer_runner.h"

#include <QApplication>
#include <QScreen>

#include <exception>
#include <memory>

namespace kerbolt::ui {

void ConfigureApplication() {
    QApplication::setQuitOnLastWindowClosed(false);
}

bool DeliverGuarded(const std::function<bool()>& deliver, IPrompts& prompts, IExit& exit) {
    std::string description;
    try {
        return deliver();
    } catch (const std::exception& error) {
        description = error.what();
    } catch (...) {
        description = "Unknown error";
    }
    prompts.Show(description, MessageIcon::Critical);
    exit.Exit(1);
    return false;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverGuarded([&] { return QApplication::notify(receiver, event); }, prompts_, exit_);
}

namespace {

// The windows open in the middle of the screen.
void Centre(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

} // namespace

Application::~Application() {
    delete connect_.data();
    delete main_.data();
}

frmConnect* Application::ConnectWindow() const {
    return connect_;
}
frmMain* Application::MainWindow() const {
    return main_;
}

bool Application::Start() {
    session::SyncRunner run_sync;
    if (context_.transfers != nullptr) {
        // A silent server must not keep the program from starting: after a second the user may
        // go on with the data of this computer.
        run_sync =
            [this](const std::function<web::SyncResult()>& sync) -> std::optional<web::SyncResult> {
            const int language = context_.state.Language;
            const auto result = std::make_shared<web::SyncResult>();
            const std::optional<bool> finished =
                context_.transfers->WaitOrSkip(texts::StepText(language, texts::Step::Synchronise),
                                               texts::SkipServerCaption(language), [result, sync] {
                                                   *result = sync();
                                                   return true;
                                               });
            if (!finished) {
                context_.prompts.Show(texts::ServerSkippedMessage(language),
                                      MessageIcon::Information);
                return std::nullopt;
            }
            return *result;
        };
    }
    const session::StartupDecision decision = session::Main(
        context_.state, context_.paths, context_.ftp, context_.prompts, context_.config, run_sync);
    if (!decision.error.empty()) {
        context_.prompts.Show(decision.error, MessageIcon::Critical);
        context_.exit.Exit(1);
        return false;
    }
    // A ticket printed while this computer could not reach the server may share its reference
    // with another computer's: the user is to tell the operator.
    if (decision.sync && !decision.sync->shared_references.empty()) {
        context_.prompts.Show(texts::SharedReferenceMessage(context_.state.Language,
                                                            decision.sync->shared_references),
                              MessageIcon::Exclamation);
    }
    if (decision.window == session::FirstWindow::frmMain)
        ShowMain();
    else
        ShowConnect();
    return true;
}

void Application::ShowConnect() {
    if (connect_ == nullptr) {
        connect_ = new frmConnect(context_);
        QObject::connect(connect_, &frmConnect::SignedIn, connect_, [this] {
            connect_->hide();
            ShowMain();
            // The sign-in window goes once its own handler has returned.
            connect_->deleteLater();
        });
        Centre(*connect_);
    }
    connect_->show();
}

void Application::ShowMain() {
    if (main_ == nullptr) {
        main_ = new frmMain(context_);
        Centre(*main_);
    }
    main_->show();
}

} // namespace kerbolt::ui
