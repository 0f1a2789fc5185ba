// What the dialog tests share: a data folder, the FTP stand-in behind the real FTP adapter,
// recorded message boxes and shell calls, and the main window's routines as counters.
#pragma once

#include "app/core/store/app_state.h"
#include "app/platform/curl_ftp.h"
#include "app/ui/dialog_window.h"
#include "tests/support/fake_ports.h"
#include "tests/support/ftp_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/web_fakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kerbolt::ui::testing {

inline ServerConfig FtpConfig(int port) {
    ServerConfig config;
    config.ftp_host = "127.0.0.1";
    config.ftp_port = port;
    config.ftp_connect_timeout_s = 5;
    config.ftp_response_timeout_s = 5;
    return config;
}

class DialogTest : public ::testing::Test {
protected:
    static constexpr const char* kKey = "000NZFAP";

    DialogTest() {
        std::filesystem::create_directories(dir.Path() / "data");
        state.DataFolder = dir.File("data");
        state.AccountKey = kKey;
        state.DataFile = dir.File("data/" + std::string(kKey));
        state.IniPath = dir.File("data/Param.ini");
        state.TempFolder = dir.File("");
        state.Language = texts::kFrench;
    }

    // The FTP stand-in and the adapter that reaches it; `reachable` false gives an adapter
    // pointed at a port where nothing listens.
    void UseFtp(bool reachable = true) {
        if (reachable) {
            server.emplace(dir.File("ftp"), dir.File("ftp.log"));
            ftp.emplace(FtpConfig(server->Port()));
        } else {
            ftp.emplace(FtpConfig(testing_support::ClosedLoopbackPort()));
        }
    }
    std::string ServerCopy() const {
        return testing_support::ReadFileBytes(dir.Path() / "ftp/web/ctrl/KB" / kKey);
    }

    DialogContext Context() {
        if (!ftp) UseFtp();
        return {state,
                prompts,
                *ftp,
                shell,
                config,
                [this] { ++liste_places; },
                [this] { ++creer; },
                [](int n) { return n == 4 ? std::string("main message 4") : std::string(); }};
    }

    template <typename T> static T* Child(QWidget* window, const char* name) {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static void Click(QWidget* window, const char* name) {
        Child<QPushButton>(window, name)->click();
    }
    static void Type(QWidget* window, const char* name, const QString& text) {
        Child<QLineEdit>(window, name)->setText(text);
    }
    // Lets deferred deletions of unloaded windows happen.
    static void Settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    testing_support::TempDir dir;
    store::State state;
    testing_support::RecordingPrompts prompts;
    testing_support::RecordingShell shell;
    ServerConfig config;
    std::optional<testing_support::FtpServer> server;
    std::optional<CurlFtp> ftp;
    int liste_places = 0;
    int creer = 0;
};

} // namespace kerbolt::ui::testing
