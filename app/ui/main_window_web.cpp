#include "app/ui/main_window_web.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace kerbolt::ui {

MainWindowHooks MakeMainWindowHooks(std::function<QWidget*()> main_window,
                                    std::function<std::string()> update_question) {
    MainWindowHooks hooks;
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
    : QObject(parent), is_main_window_(std::move(is_main_window)),
      on_shown_(std::move(on_shown)) {
    QApplication::instance()->installEventFilter(this);
}

bool MainWindowActivation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() && is_main_window_(watched)) {
        QTimer::singleShot(0, this, [this] { on_shown_(); });
    }
    return false;
}

} // namespace kerbolt::ui
