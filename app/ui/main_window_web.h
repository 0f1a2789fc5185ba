// Ties the web services to the main window: the window's side of the update check (hiding and
// showing it around the installer, whether a question may be asked now) and the check itself
// each time the main window is shown (first, and again after each of its dialogs), never on a
// mere change of focus.
#pragma once

#include "app/core/web/web_services.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace kerbolt::ui {

class frmMain;

// The main window's hooks for the web services; `main_window` gives the window while it exists.
web::MainWindowHooks MakeMainWindowHooks(const std::function<QWidget*()>& main_window,
                                         std::function<std::string()> update_question);

// Runs `on_shown` once the handler that showed a window accepted by `is_main_window` has
// returned (a queued call), so the check never runs in the middle of another handler.
class MainWindowActivation : public QObject {
    Q_OBJECT
public:
    MainWindowActivation(std::function<bool(QObject*)> is_main_window,
                         std::function<void()> on_shown, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(QObject*)> is_main_window_;
    std::function<void()> on_shown_;
};

// Connects the web services to the main window (`main_window` gives it while it exists): hiding
// and showing it, the update question in the current language, and the check after each showing
// of the main window, for as long as the returned watcher lives.
std::unique_ptr<MainWindowActivation> AttachWebServices(web::WebServices& web,
                                                        std::function<frmMain*()> main_window,
                                                        const store::State& state);

} // namespace kerbolt::ui
