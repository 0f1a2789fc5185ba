#include "app/platform/qt/desktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
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
    return Open(QUrl::fromLocalFile(QString::fromStdString(path)), path, true);
}

bool QtShell::OpenUrl(const std::string& url) {
    return Open(QUrl(QString::fromStdString(url)), url, false);
}

bool QtShell::Open(const QUrl& url, const std::string& target, bool document) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // The system's own opener answers at once whether it found an application.
    (void)target;
    (void)document;
    return QDesktopServices::openUrl(url);
#else
    // xdg-open runs as long as the viewer it starts, and only its exit tells that it found
    // none, so it runs beside the window and a failure is reported when it ends.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return false;
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    // A document goes by its path, which every version of the opener takes as it stands.
    process->setArguments(
        {document ? QString::fromStdString(target) : url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    const auto failed = [report = report_, target, document] {
        if (report) report(target, document);
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) failed();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         failed();
                         process->deleteLater();
                     });
    process->start();
    return true;
#endif
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
