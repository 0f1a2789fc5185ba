// The whole update path on the desktop adapters: the version file and the installer come from
// the loopback web server through the libcurl port, replies arrive as queued calls on the
// application's event loop, and the downloaded installer really runs.
#include "app/core/web/web_services.h"
#include "app/platform/curl_http.h"
#include "app/platform/qt/desktop.h"
#include "app/platform/qt/ui_post.h"
#include "tests/support/fake_ports.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui_harness.h"
#include "tests/support/web_fakes.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kerbolt {
namespace {

using testing_support::ProcessEventsUntil;

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

TEST(UpdateInstall, YesDownloadsStartsTheInstallerSilentlyInTheTempFolderAndEnds) {
    testing_support::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "web/ctrl");
    std::filesystem::create_directories(dir.Path() / "web/downloads");
    std::filesystem::create_directories(dir.Path() / "temp");
    WriteFileBytes(dir.Path() / "web/ctrl/kb.txt", "Version1.20\r\n");
    const std::string script = "#!/bin/sh\necho \"$*\" > \"$PWD/installer-ran.txt\"\n";
    WriteFileBytes(dir.Path() / ("web" + web::DefaultInstallerPath()), script);
    testing_support::HttpServer server(dir.File("web"), dir.File("http.log"), 120);

    ServerConfig config;
    config.web_url = server.BaseUrl();
    config.notify_url = server.BaseUrl();
    config.product_url = server.BaseUrl();
    store::State state;
    state.TempFolder = dir.File("temp");
    state.IniPath = dir.File("Param.ini");

    CurlHttp http(QtPostToUi());
    testing_support::RecordingPrompts prompts; // answers Yes
    QtShell shell;
    testing_support::RecordingExit exit;
    testing_support::FixedClock clock;
    web::WebServices web({http, prompts, shell, exit, clock}, state, config, "1.18");
    bool main_shown = true;
    web.SetMainWindow({[&] { main_shown = false; }, [&] { main_shown = true; },
                       [&] { return main_shown; }, [] { return std::string("msg 7"); }});

    web.Form_Activate();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !exit.codes.empty() || !http.Busy(); }));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"msg 7"});
    ASSERT_EQ(exit.codes, std::vector<int>{0});
    EXPECT_FALSE(main_shown);
    const std::filesystem::path installer =
        dir.Path() / "temp" / web::FileNameOfUrl(web::DefaultInstallerPath());
    EXPECT_EQ(ReadFileBytes(installer), script);

    const std::filesystem::path ran = dir.Path() / "temp/installer-ran.txt";
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return ReadFileBytes(ran).find('\n') != std::string::npos; }));
    EXPECT_EQ(ReadFileBytes(ran), "/SILENT\n");
}

} // namespace
} // namespace kerbolt
