#include "app/ui/main_window_web.h"

#include "app/core/texts/main_texts.h"
#include "app/ui/frm_main.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace kerbolt::ui {

web::MainWindowHooks MakeMainWindowHooks(const std::function<QWidget*()>& main_window,
                                         std::function<std::string()> update_question) {
    web::MainWindowHooks hooks;
    hooks.hide = [main_window] {
        if (QWidget* window = main_window()) window->hide();
    };
    hooks.show = [main_window] {
        if (QWidget* window = main_window()) window->show();
    };
    hooks.ready = [main_window] {
        QWidget* window = main_window();
        return window != nullptr && window->isVisible() &&
               QApplication::activeModalWidget() == nullptr;
    };
    hooks.update_question = std::move(update_question);
    return hooks;
}

MainWindowActivation::MainWindowActivation(std::function<bool(QObject*)> is_main_window,
                                           std::function<void()> on_shown, QObject* parent)
    : QObject(parent), is_main_window_(std::move(is_main_window)), on_shown_(std::move(on_shown)) {
    QApplication::instance()->installEventFilter(this);
}

bool MainWindowActivation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() && is_main_window_(watched)) {
        QTimer::singleShot(0, this, [this] { on_shown_(); });
    }
    return false;
}

std::unique_ptr<MainWindowActivation> AttachWebServices(web::WebServices& web,
                                                        std::function<frmMain*()> main_window,
                                                        const store::State& state) {
    web.SetMainWindow(MakeMainWindowHooks(
        [main_window = std::move(main_window)]() -> QWidget* { return main_window(); },
        [&state] {
            return kerbolt::texts::frmMain::Message(state.Language,
                                                    kerbolt::texts::frmMain::kMsgNewVersion);
        }));
    return std::make_unique<MainWindowActivation>(
        [](QObject* object) { return qobject_cast<frmMain*>(object) != nullptr; },
        [&web] { web.Form_Activate(); });
}

} // namespace kerbolt::ui
