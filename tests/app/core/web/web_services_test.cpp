#include "app/core/web/web_services.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/platform/curl_http.h"
#include "tests/support/fake_ports.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"
#include "tests/support/ui_queue.h"
#include "tests/support/web_fakes.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

namespace {

using namespace kerbolt;
using testing_support::FixedClock;
using testing_support::HttpServer;
using testing_support::ReadFileBytes;
using testing_support::RecordingExit;
using testing_support::RecordingPrompts;
using testing_support::RecordingShell;
using testing_support::TempDir;
using testing_support::UiQueue;
using testing_support::WriteFileBytes;

// The main window as the web services see it.
struct MainWindow {
    bool shown = true;
    bool dialog_open = false;
    web::MainWindowHooks Hooks() {
        return {[this] { shown = false; }, [this] { shown = true; },
                [this] { return shown && !dialog_open; },
                [] { return std::string("Une nouvelle version est disponible"); }};
    }
};

// The ports but HTTP, and the main window, as the web services see them.
struct FakeWebPorts {
    web::WebPorts Ports(IHttp& http) { return {http, prompts_, shell_, exit_, clock_}; }
    RecordingPrompts prompts_;
    RecordingShell shell_;
    RecordingExit exit_;
    FixedClock clock_;
    store::State state_;
    MainWindow window_;
};

ServerConfig LoopbackConfig(const HttpServer& server) {
    ServerConfig config;
    config.web_url = server.BaseUrl();
    config.notify_url = server.BaseUrl();
    config.product_url = server.BaseUrl();
    config.installer_path = "/downloads/Kerbolt.exe";
    return config;
}

// The web services against the loopback web server, with its files under root/.
KERBOLT_TEST_LABEL(net, "WebServicesAgainstServer.*");
class WebServicesAgainstServer : public ::testing::Test, protected FakeWebPorts {
protected:
    WebServicesAgainstServer() {
        std::filesystem::create_directories(dir_.Path() / "root/ctrl");
        std::filesystem::create_directories(dir_.Path() / "root/downloads");
        std::filesystem::create_directories(dir_.Path() / "temp");
        state_.TempFolder = dir_.File("temp");
        state_.IniPath = dir_.File("Param.ini");
        web_.SetMainWindow(window_.Hooks());
    }
    void Serve(const std::string& path, const std::string& bytes) {
        WriteFileBytes(dir_.Path() / "root" / path, bytes);
    }
    bool Drain() {
        return queue_.RunUntil([this] { return !http_.Busy(); });
    }

    TempDir dir_;
    HttpServer server_{dir_.File("root"), dir_.File("http.log"), 120};
    UiQueue queue_;
    CurlHttp http_{queue_.Poster()};
    web::WebServices web_{Ports(http_), state_, LoopbackConfig(server_), "1.18"};
};

TEST_F(WebServicesAgainstServer, NewerVersionAskedOnceAndNoDownloadsNothing) {
    Serve("ctrl/kb.txt", "Version1.20\r\n");
    prompts_.answer = false;
    web_.Form_Activate();
    ASSERT_TRUE(Drain());
    EXPECT_EQ(web_.ServerVersion(), "1.20");
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0], "Une nouvelle version est disponible");
    EXPECT_EQ(prompts_.icons[0], MessageIcon::None);

    web_.Form_Activate(); // the version is known: nothing is fetched or asked again
    ASSERT_TRUE(Drain());
    EXPECT_EQ(prompts_.shown.size(), 1u);
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/ctrl/kb.txt");
    EXPECT_TRUE(window_.shown);
    EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(WebServicesAgainstServer, YesWritesTheInstallerStartsItSilentlyAndEnds) {
    Serve("ctrl/kb.txt", "Version1.20");
    const std::string installer = std::string("MZ\0\x01\xff installer bytes", 21);
    Serve("downloads/Kerbolt.exe", installer);
    WriteFileBytes(dir_.Path() / "temp/Kerbolt.exe", "an older installer");
    web_.Form_Activate();
    ASSERT_TRUE(Drain());
    const std::string target = dir_.File("temp/Kerbolt.exe");
    EXPECT_EQ(ReadFileBytes(target), installer);
    EXPECT_FALSE(std::filesystem::exists(target + ".part"));
    EXPECT_EQ(shell_.calls,
              std::vector<std::string>{"start " + target + " /SILENT in " + dir_.File("temp")});
    EXPECT_EQ(exit_.codes, std::vector<int>{0});
    EXPECT_FALSE(window_.shown);
    const auto perms = std::filesystem::status(target).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
}

TEST_F(WebServicesAgainstServer, FailedDownloadsShowTheirDescriptionAndTheWindowAgain) {
    struct Case {
        const char* served; // nullptr: not on the server (404)
        const char* expected_in_message;
    };
    for (const Case& c : {Case{nullptr, "404"}, Case{"", "empty"}}) {
        if (c.served != nullptr) Serve("downloads/Kerbolt.exe", c.served);
        prompts_.shown.clear();
        web_.DownloadAndInstallUpdate();
        EXPECT_FALSE(window_.shown);
        ASSERT_TRUE(Drain());
        ASSERT_EQ(prompts_.shown.size(), 1u);
        EXPECT_NE(prompts_.shown[0].find(c.expected_in_message), std::string::npos)
            << prompts_.shown[0];
        EXPECT_TRUE(window_.shown);
        EXPECT_FALSE(std::filesystem::exists(dir_.File("temp/Kerbolt.exe")));
    }
    EXPECT_TRUE(shell_.calls.empty());
    EXPECT_TRUE(exit_.codes.empty());
}

TEST_F(WebServicesAgainstServer, NotificationPostsTheFormBodyInTransferOrder) {
    Serve("ctrl/kb.txt", "Version1.18");
    web_.NotifyServer("000NZFAP-0");
    web_.Form_Activate();
    ASSERT_TRUE(store::WriteIni(store::kParamSection, "Mail", "a+b@x.ch", state_.IniPath));
    web_.NotifyServer("000NZFAP-1");
    ASSERT_TRUE(Drain());
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/ctrl/kb.php?");
    EXPECT_EQ(requests[0].content_type, "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].body, "&M=&F=000NZFAP-0&V=1.18&D=03.02.2025");
    EXPECT_EQ(requests[1].path, "/ctrl/kb.txt");
    EXPECT_EQ(requests[2].body, "&M=a%2Bb@x.ch&F=000NZFAP-1&V=1.18&D=03.02.2025");
    EXPECT_EQ(web_.ServerVersion(), "1.18");
    EXPECT_TRUE(prompts_.shown.empty());
}

// An HTTP port whose transfers the test completes by hand, in order.
class ScriptedHttp : public IHttp {
public:
    void Start(HttpRequest request, HttpHandler on_done) override {
        pending.push_back({std::move(request), std::move(on_done)});
    }
    bool Busy() const override { return !pending.empty(); }
    void Complete(long status, const std::string& body) {
        auto [request, handler] = std::move(pending.front());
        pending.pop_front();
        HttpReply reply;
        reply.completed = status > 0;
        reply.status = status;
        reply.body = body;
        reply.error = status > 0 ? "" : "Could not connect to server";
        handler(reply);
    }
    std::deque<std::pair<HttpRequest, HttpHandler>> pending;
};

class WebServicesLogic : public ::testing::Test, protected FakeWebPorts {
protected:
    WebServicesLogic() { web_.SetMainWindow(window_.Hooks()); }
    ScriptedHttp http_;
    web::WebServices web_{Ports(http_), state_, ServerConfig{}, "1.18"};
};

TEST_F(WebServicesLogic, FailuresAndErrorPagesAreRetriedAtTheNextActivation) {
    prompts_.answer = false;
    web_.Form_Activate();
    web_.Form_Activate(); // while the request runs, no second one
    ASSERT_EQ(http_.pending.size(), 1u);
    http_.Complete(0, "");
    EXPECT_EQ(web_.ServerVersion(), "");
    web_.Form_Activate();
    http_.Complete(404, "<h1>Version 9.99 of this page was not found</h1>");
    EXPECT_EQ(web_.ServerVersion(), "");
    web_.Form_Activate();
    http_.Complete(200, "Version1.19");
    EXPECT_EQ(prompts_.shown.size(), 1u);
    web_.Form_Activate();
    EXPECT_TRUE(http_.pending.empty());
}

TEST_F(WebServicesLogic, TheQuestionWaitsUntilNoDialogIsOpen) {
    prompts_.answer = false;
    web_.Form_Activate();
    window_.dialog_open = true; // a dialog opened before the reply came
    window_.shown = false;
    http_.Complete(200, "Version2.00");
    EXPECT_TRUE(prompts_.shown.empty());
    window_.dialog_open = false;
    window_.shown = true;
    web_.Form_Activate(); // the dialog closed
    EXPECT_EQ(prompts_.shown.size(), 1u);
    web_.Form_Activate();
    EXPECT_EQ(prompts_.shown.size(), 1u);
    EXPECT_TRUE(http_.pending.empty());
}

TEST_F(WebServicesLogic, ANotificationReplyMaySetTheVersionButOffersNothing) {
    web_.NotifyServer("KEY-0");
    http_.Complete(200, "OK Version3.00");
    EXPECT_EQ(web_.ServerVersion(), "3.00");
    web_.Form_Activate();
    EXPECT_TRUE(http_.pending.empty());
    EXPECT_TRUE(prompts_.shown.empty());
}

} // namespace
