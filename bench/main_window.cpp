// The main window under Qt's offscreen platform, with 0, 1,000 and 10,000 compensation records in
// the data file:
// - a keystroke in the plates box: the preview rebuilt, its labels set and the window repainted;
// - the start-up to the main window, from reading the settings to the shown and painted window,
//   with the server holding the same copy of the data file (the synchronisation then reads and
//   merges both copies) or with the server unreachable, also with 100,000 records. Each start
//   finds the data file with a new time stamp, as a new process finds nothing of it in memory.
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
#include "bench/client_ports.h"
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

using bench_support::BenchFtp;
using bench_support::BenchPaths;

class BenchClock final : public IClock {
public:
    DateTime Now() override { return {2026, 3, 14, 9, 30, 0}; }
};

using bench_support::SilentPrompts;

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
        data_file = bench_support::SignedInAccount(paths, folder, records);
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
    ->ArgsProduct({{0, 1000, 10000, 100000}, {1, 0}})
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
