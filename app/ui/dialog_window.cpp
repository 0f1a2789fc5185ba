#include "app/ui/dialog_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

namespace kerbolt::ui {

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, QRect where) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect where) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(where);
    return button;
}

QLineEdit* MakeField(QWidget* parent, const char* name, QRect where) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(where);
    return field;
}

QLabel* MakeTitle(QWidget* parent, const char* text, QRect where, const char* name) {
    QLabel* title = MakeLabel(parent, name, text, where);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(12);
    title->setFont(font);
    return title;
}

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

std::vector<std::string> ListLines(const QListWidget* list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list->count(); ++i)
        lines.push_back(S(list->item(i)->text()));
    return lines;
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
