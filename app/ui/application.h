// The windows' side of the start-up: shows the first window that the start-up decision chose,
// and the main window after a sign-in.
#pragma once

#include "app/ui/app_context.h"

#include <QApplication>
#include <QPointer>

#include <functional>

namespace kerbolt::ui {

class frmConnect;
class frmMain;

// Lets the program live on while the main window is hidden behind a dialog: it ends only
// through the exit port.
void ConfigureApplication();

// Runs one delivery of an event. An error that escapes it is shown in an error box with its own
// text and ends the program through the exit port: Qt cannot carry an exception through its
// event loop, and the process would otherwise vanish without a word. False after such an error.
bool DeliverGuarded(const std::function<bool()>& deliver, IPrompts& prompts, IExit& exit);

// The program's QApplication, with every event delivered through DeliverGuarded.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv, IPrompts& prompts, IExit& exit)
        : QApplication(argc, argv), prompts_(prompts), exit_(exit) {}
    bool notify(QObject* receiver, QEvent* event) override;

private:
    IPrompts& prompts_;
    IExit& exit_;
};

class Application {
public:
    explicit Application(AppContext& context) : context_(context) {}
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The start-up: fixes the folders, reads the settings, synchronises when the sign-in may be
    // skipped and shows the first window. False when the program cannot go on (it has then
    // shown why and asked the exit port to end the process).
    bool Start();

    // The windows while they are loaded (null otherwise).
    frmConnect* ConnectWindow() const;
    frmMain* MainWindow() const;

private:
    void ShowConnect();
    void ShowMain();

    AppContext& context_;
    QPointer<frmConnect> connect_;
    QPointer<frmMain> main_;
};

} // namespace kerbolt::ui
