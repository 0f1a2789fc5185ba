// The client's start-up up to the main window's content, without the window: the settings read,
// the data file synchronised with a server that holds the same copy (download, both copies read
// and merged, nothing to write), and what the main window then reads (the spots, the details,
// the ticket draft with the next number), with 1,000, 10,000 and 100,000 compensation records.
// Each start finds the data file with a new time stamp, as a new process finds nothing of it in
// memory; the first start of each size, which puts the sample file in the program's order, is
// left out. The reporter prints the time per tenfold number of records (10 is linear). Run pinned
// to one core with glibc's default allocator settings (MALLOC_TRIM_THRESHOLD_ unset):
//   taskset -c 3 build/bench/bench/bench_startup --benchmark_repetitions=3
// bench_main_window measures the same start with the window shown, where the windows are built.
#include "app/core/session/startup.h"
#include "app/core/store/records.h"
#include "app/core/ticket/ticket_draft.h"
#include "bench/client_ports.h"
#include "bench/peer_ratios.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace kerbolt;

using bench_support::BenchFtp;
using bench_support::BenchPaths;
using bench_support::SilentPrompts;

void Startup(benchmark::State& bench) {
    const int records = static_cast<int>(bench.range(0));
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder =
        std::string(tmp ? tmp : "/tmp") + "/kerbolt-startup-bench-" + std::to_string(records);
    BenchPaths paths(folder);
    const std::string data_file = bench_support::SignedInAccount(paths, folder, records);
    BenchFtp ftp;
    ftp.server_copy = folder + "/server-copy";
    fs::copy_file(data_file, ftp.server_copy);
    SilentPrompts prompts;
    auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const DateTime now{2026, 3, 14, 9, 30, 0};

    {
        store::State state;
        session::Main(state, paths, ftp, prompts);
        fs::copy_file(data_file, ftp.server_copy, fs::copy_options::overwrite_existing);
    }
    for (auto _ : bench) {
        bench.PauseTiming();
        stamp += std::chrono::seconds(1);
        fs::last_write_time(data_file, stamp);
        store::State state;
        bench.ResumeTiming();
        const session::StartupDecision decision = session::Main(state, paths, ftp, prompts);
        if (decision.window != session::FirstWindow::frmMain || !decision.sync ||
            decision.sync->outcome != web::SyncOutcome::Merged) {
            bench.SkipWithError("no synchronised start");
            break;
        }
        benchmark::DoNotOptimize(store::ReadPlaces(state.DataFile));
        benchmark::DoNotOptimize(store::ReadInfos(state.DataFile));
        const ticket::TicketDraft draft = ticket::BuildTicketDraft(state, {1, "VD 1234"}, now);
        if (draft.number != records) {
            bench.SkipWithError("wrong next number");
            break;
        }
    }
    bench.counters["file_kb"] = static_cast<double>(fs::file_size(data_file)) / 1024.0;
    fs::remove_all(folder);
}
BENCHMARK(Startup)
    ->Name("kerbolt/startup_server_same_copy")
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "none");
}
