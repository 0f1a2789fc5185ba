#include "app/ui/qt_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QString>
#include <QTranslator>

namespace kerbolt::ui {

namespace {

// The suffix of Qt's translation files for a language number; nothing for English.
const char* QtLanguageCode(int language) {
    switch (language) {
    case 1:
        return "fr";
    case 2:
        return "de";
    case 4:
        return "it";
    default:
        return nullptr;
    }
}

// Only one translation speaks at a time; a language chosen later replaces it.
QPointer<QTranslator>& Installed() {
    static QPointer<QTranslator> installed;
    return installed;
}

} // namespace

bool ApplyQtLanguage(int language) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return false;
    if (QTranslator* previous = Installed()) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
    const char* code = QtLanguageCode(language);
    if (code == nullptr) return true;

    auto* translator = new QTranslator(app);
    const QString name = QStringLiteral("qtbase_") + QString::fromLatin1(code);
    // Qt's own folder where Qt is installed system-wide; beside the program where it is deployed
    // with the program (the Windows installer's layout).
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString& folder : folders) {
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator);
            Installed() = translator;
            return true;
        }
    }
    delete translator;
    return false;
}

} // namespace kerbolt::ui
