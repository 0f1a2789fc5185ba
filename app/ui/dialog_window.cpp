#include "app/ui/dialog_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>

namespace kerbolt::ui {

DialogWindow::DialogWindow(QWidget* parent) : KerboltWindow(parent) {
    setWindowModality(Qt::ApplicationModal);
}

void DialogWindow::Unload() {
    close();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (unloaded_) return;
    unloaded_ = true;
    hide();
    emit unloaded();
    deleteLater();
}

void OpenModal(DialogWindow* dialog, std::function<void()> after) {
    if (after) QObject::connect(dialog, &DialogWindow::unloaded, dialog, std::move(after));
    dialog->show();
    dialog->activateWindow();
}

void RunModal(DialogWindow* dialog) {
    QEventLoop loop;
    QPointer<DialogWindow> guard(dialog);
    QObject::connect(dialog, &DialogWindow::unloaded, &loop, &QEventLoop::quit);
    OpenModal(dialog);
    if (guard && !guard->IsUnloaded()) loop.exec();
}

} // namespace kerbolt::ui
