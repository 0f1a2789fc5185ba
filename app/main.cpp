// The client's composition root: builds the real adapters and hands them to the windows.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QLabel window(QStringLiteral("Kerbolt"));
    window.setMinimumSize(320, 120);
    window.show();
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    return QApplication::exec();
}
