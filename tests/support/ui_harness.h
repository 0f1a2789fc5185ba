// A whole client for one window test: temporary data and temporary folders, the real FTP
// stand-in (or a port where nothing listens), scripted message boxes, an exit that records,
// a fixed clock and printers that print into a PDF file.
#pragma once

#include "app/platform/curl_ftp.h"
#include "app/platform/notifier.h"
#include "app/platform/qt/printers.h"
#include "app/ui/app_context.h"
#include "tests/support/fake_ports.h"
#include "tests/support/ftp_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/web_fakes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using namespace kerbolt;

struct Prompt {
    std::string text;
    MessageIcon icon;
    bool question;
    bool operator==(const Prompt&) const = default;
};

// Message boxes recorded in order; questions answered from a script (No when it runs out).
class ScriptedPrompts : public IPrompts {
public:
    void Show(const std::string& text, MessageIcon icon) override {
        prompts.push_back({text, icon, false});
    }
    bool Ask(const std::string& text, MessageIcon icon) override {
        prompts.push_back({text, icon, true});
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Prompt& p : prompts)
            texts.push_back(p.text);
        return texts;
    }
    std::vector<Prompt> prompts;
    std::deque<bool> answers;
};

// The FTP stand-in running, no server at all, or a server that accepts and then never answers.
enum class Server { Running, Stopped, Hung };

class UiHarness {
public:
    // `faults` go to the stand-in it starts; `shared_ftp_port` makes it use the stand-in of
    // another harness instead (a second computer of one account). A hung server is given up
    // after `hung_timeout_s` seconds.
    explicit UiHarness(Server server = Server::Running, testing_support::FtpFaults faults = {},
                       int shared_ftp_port = 0, long hung_timeout_s = 2)
        : paths_(dir.File("data/Kerbolt"), dir.File("tmp")),
          printers({"Ticket A", "Ticket B"}, dir.File("ticket.pdf")) {
        std::filesystem::create_directories(dir.Path() / "tmp");
        ServerConfig config;
        config.ftp_host = "127.0.0.1";
        config.ftp_connect_timeout_s = 5;
        config.ftp_response_timeout_s = 5;
        if (shared_ftp_port > 0) {
            config.ftp_port = shared_ftp_port;
        } else if (server != Server::Stopped) {
            faults.hang = server == Server::Hung;
            ftp_server = std::make_unique<testing_support::FtpServer>(
                dir.File("ftp"), dir.File("ftp.log"), 300, faults);
            config.ftp_port = ftp_server->Port();
            if (faults.hang) {
                config.ftp_connect_timeout_s = hung_timeout_s;
                config.ftp_response_timeout_s = hung_timeout_s;
                config.ftp_transfer_timeout_s = hung_timeout_s;
            }
        } else {
            config.ftp_port = testing_support::ClosedLoopbackPort();
        }
        ftp = std::make_unique<CurlFtp>(config);
        context = std::make_unique<ui::AppContext>(
            ui::AppContext{paths_, *ftp, clock, prompts, shell, exit, printers, notifier, config});
    }

    // The server's copy of an account's data file.
    std::string ServerFile(const std::string& key) const {
        return dir.File("ftp/web/ctrl/KB/" + key);
    }

    // The state a signed-in user has, without going through the start-up.
    void SignedIn(std::int16_t language) {
        store::State& state = context->state;
        state.DataFolder = dir.File("data/Kerbolt");
        std::filesystem::create_directories(state.DataFolder);
        state.IniPath = state.DataFolder + "/Param.ini";
        state.TempFolder = dir.File("tmp");
        state.Language = language;
        store::SetAccount(state, "a@b.ch");
        store::LoadDefaultTexts(state, context->config);
    }

    testing_support::TempDir dir;
    std::unique_ptr<testing_support::FtpServer> ftp_server;
    std::unique_ptr<CurlFtp> ftp;
    FixedClock clock;
    ScriptedPrompts prompts;
    RecordingShell shell;
    RecordingExit exit;
    PdfFilePrinters printers;
    RecordingNotifier notifier;
    std::unique_ptr<ui::AppContext> context;

private:
    testing_support::FixedPaths paths_;
};

// Child widgets by their control names.
template <typename T> T* Control(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) ADD_FAILURE() << "no control " << name;
    return control;
}

// A left click as the user makes it: press and release inside the widget.
inline void Click(QWidget* target) {
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// Runs the application's events (queued replies included) until `done` holds; false after 20 s.
inline bool ProcessEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 20000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace testing_support
