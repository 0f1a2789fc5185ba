// The main window under Qt's offscreen platform, with 0, 1,000 and 10,000 compensation records in
// the data file:
// - a keystroke in the plates box: the preview rebuilt, its labels set and the window repainted;
// - the start-up to the main window, from reading the settings to the shown and painted window,
//   with the server holding the same copy of the data file (the synchronisation then reads and
//   merges both copies) or with the server unreachable. Each start finds the data file with a new
//   time stamp, as a new process finds nothing of it in memory.
//
// Run pinned to one core with glibc's default allocator settings (MALLOC_TRIM_THRESHOLD_ unset),
// for example:
//   taskset -c 2 build/bench/bench/bench_main_window
#include "app/core/store/records.h"
#include "app/platform/notifier.h"
#include "app/platform/qt/printers.h"
#include "app/ui/app_context.h"
#include "app/ui/application.h"
#include "app/ui/frm_main.h"
#include "tests/support/data_file_sample.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace kerbolt;

class BenchPaths final : public IPaths {
public:
    explicit BenchPaths(std::string folder) : folder_(std::move(folder)) {}
    std::string DataFolder() override { return folder_ + "/data"; }
    std::string TempFolder() override { return folder_ + "/tmp"; }

private:
    std::string folder_;
};

// A server that holds a copy of the local data file, or none reachable.
class BenchFtp final : public IFtp {
public:
    FtpStatus Upload(const std::string&, const std::string&) override { return FtpStatus::Ok; }
    FtpStatus Download(const std::string& remote, const std::string& local) override {
        if (!reachable) return FtpStatus::Unreachable;
        if (remote.find("Mandats") != std::string::npos) return FtpStatus::NotFound;
        std::error_code ec;
        fs::copy_file(server_copy, local, fs::copy_options::overwrite_existing, ec);
        return ec ? FtpStatus::Failed : FtpStatus::Ok;
    }
    bool reachable = true;
    std::string server_copy;
};

class BenchClock final : public IClock {
public:
    DateTime Now() override { return {2026, 3, 14, 9, 30, 0}; }
};

class SilentPrompts final : public IPrompts {
public:
    void Show(const std::string&, MessageIcon) override {}
    bool Ask(const std::string&, MessageIcon) override { return false; }
};

class NoShell final : public IShell {
public:
    bool OpenDocument(const std::string&) override { return true; }
    bool OpenUrl(const std::string&) override { return true; }
    bool StartProgram(const std::string&, const std::string&, const std::string&) override {
        return true;
    }
};

class NoExit final : public IExit {
public:
    void Exit(int) override {}
};

class NoNotifier final : public INotifier {
public:
    void NotifyServer(const std::string&) override {}
};

// A signed-in user's folders with `records` compensations, and the ports a start needs.
struct Client {
    explicit Client(int records, bool server_reachable)
        : folder(Folder(records)), paths(folder),
          printers({"Ticket A", "Ticket B"}, folder + "/ticket.pdf") {
        fs::remove_all(folder);
        fs::create_directories(paths.DataFolder());
        fs::create_directories(paths.TempFolder());
        const std::string ini = paths.DataFolder() + "/Param.ini";
        if (!SaveLanguage(ini, 1) || !SaveRememberedMail(ini, "a@b.ch")) std::abort();
        Module1::State probe;
        probe.DataFolder = paths.DataFolder();
        Module1::SetAccount(probe, "a@b.ch");
        data_file = probe.DataFile;
        if (!testing_support::WriteSampleDataFile(data_file, "a@b.ch", probe.AccountKey, records))
            std::abort();
        ftp.server_copy = folder + "/server-copy";
        fs::copy_file(data_file, ftp.server_copy);
        ftp.reachable = server_reachable;
        context = std::make_unique<ui::AppContext>(
            ui::AppContext{paths, ftp, clock, prompts, shell, exit, printers, notifier});
    }
    ~Client() { fs::remove_all(folder); }

    static std::string Folder(int records) {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp ? tmp : "/tmp") + "/kerbolt-window-bench-" + std::to_string(records);
    }

    // The data file as a new process finds it: nothing of it is in memory yet.
    void Touch() {
        stamp += std::chrono::seconds(1);
        fs::last_write_time(data_file, stamp);
    }

    std::string folder;
    BenchPaths paths;
    BenchFtp ftp;
    BenchClock clock;
    SilentPrompts prompts;
    NoShell shell;
    NoExit exit;
    PdfFilePrinters printers;
    NoNotifier notifier;
    std::unique_ptr<ui::AppContext> context;
    std::string data_file;
    fs::file_time_type stamp = fs::file_time_type::clock::now() - std::chrono::hours(1);
};

void BM_Keystroke(benchmark::State& bench) {
    const int records = static_cast<int>(bench.range(0));
    Client client(records, /*server_reachable=*/false);
    ui::Application application(*client.context);
    if (!application.Start() || application.MainWindow() == nullptr) std::abort();
    ui::frmMain& window = *application.MainWindow();
    QApplication::processEvents();
    auto* plates = window.findChild<QLineEdit*>(QStringLiteral("txtPlaques"));
    const QString text = QStringLiteral("VD 123456");
    int typed = 0;
    for (auto _ : bench) {
        // One more character of the plates, as the user types them, and the repaint.
        typed = typed % static_cast<int>(text.size()) + 1;
        plates->setText(text.left(typed));
        QApplication::processEvents();
    }
    if (window.Preview().reference !=
        client.context->state.AccountKey + "-" + std::to_string(records))
        bench.SkipWithError("wrong reference");
}
BENCHMARK(BM_Keystroke)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_StartupToMainWindow(benchmark::State& bench) {
    const int records = static_cast<int>(bench.range(0));
    const bool server = bench.range(1) != 0;
    Client client(records, server);
    for (auto _ : bench) {
        bench.PauseTiming();
        client.Touch();
        client.context->state = {};
        bench.ResumeTiming();
        {
            ui::Application application(*client.context);
            if (!application.Start() || application.MainWindow() == nullptr) std::abort();
            QApplication::processEvents();
            bench.PauseTiming();
        }
        QApplication::processEvents();
        bench.ResumeTiming();
    }
    bench.SetLabel(server ? "server holds the same copy" : "server unreachable");
}
BENCHMARK(BM_StartupToMainWindow)
    ->ArgsProduct({{0, 1000, 10000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::ConfigureApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
