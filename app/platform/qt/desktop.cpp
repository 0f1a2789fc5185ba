#include "app/platform/qt/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include <cstdlib>

namespace kerbolt {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPrompts::Show(const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQt(icon), QString::fromUtf8(kApplicationTitle), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtPrompts::Ask(const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQt(icon), QString::fromUtf8(kApplicationTitle), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

bool QtShell::OpenDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtShell::OpenUrl(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool QtShell::StartProgram(const std::string& path, const std::string& arguments,
                           const std::string& working_folder) {
    QStringList args;
    if (!arguments.empty()) args = QProcess::splitCommand(QString::fromStdString(arguments));
    return QProcess::startDetached(QString::fromStdString(path), args,
                                   QString::fromStdString(working_folder));
}

void ProcessExit::Exit(int code) {
    // Every change was saved when it was made; the process ends at once.
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace kerbolt
