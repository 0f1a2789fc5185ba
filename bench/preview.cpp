// The ticket preview that every keystroke in the main window rebuilds, with 0, 1,000 and 10,000
// compensation records in the data file: the draft (next number, spot address, labels, QR-bill
// payload) and the QR picture, which is what the window computes before it sets its labels.
// The window itself, with its start-up, is measured by bench_main_window.
//
// Run pinned to one core with glibc's default allocator settings (MALLOC_TRIM_THRESHOLD_ unset),
// for example:
//   taskset -c 2 build/bench/bench/bench_preview
#include "app/core/store/app_state.h"
#include "app/core/ticket/qr_picture.h"
#include "app/core/ticket/ticket_draft.h"
#include "tests/support/data_file_sample.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A data folder under TMPDIR holding an account with `records` compensations.
kerbolt::store::State Account(int records) {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path folder =
        fs::path(tmp ? tmp : "/tmp") / ("kerbolt-preview-bench-" + std::to_string(records));
    fs::remove_all(folder);
    fs::create_directories(folder);
    kerbolt::store::State state;
    state.DataFolder = folder.string();
    state.IniPath = (folder / "Param.ini").string();
    state.Language = kerbolt::texts::kFrench;
    kerbolt::store::SetAccount(state, "a@b.ch");
    state.TicketAmount = "50";
    state.TicketTitle = "Stationnement interdit";
    state.TicketText = "Votre v\xC3\xA9hicule stationne sans droit sur la place {adresse}.";
    state.TicketFooter = "Merci de votre compr\xC3\xA9hension.";
    if (!testing_support::WriteSampleDataFile(state.DataFile, "a@b.ch", state.AccountKey, records))
        std::abort();
    return state;
}

void BM_PreviewRebuild(benchmark::State& bench) {
    const int records = static_cast<int>(bench.range(0));
    const kerbolt::store::State state = Account(records);
    const kerbolt::DateTime now{2026, 3, 14, 9, 30, 0};
    const std::string plates = "VD 123456";
    std::size_t typed = 0;
    for (auto _ : bench) {
        // One more character of the plates, as the user types them.
        typed = typed % plates.size() + 1;
        const kerbolt::ticket::TicketDraft draft =
            kerbolt::ticket::BuildTicketDraft(state, {1, plates.substr(0, typed)}, now);
        const auto qr = kerbolt::ticket::CreateTicketQrPicture(draft.preview.payload);
        benchmark::DoNotOptimize(qr);
        if (draft.number != records) bench.SkipWithError("wrong next number");
    }
    bench.counters["file_kb"] = static_cast<double>(fs::file_size(state.DataFile)) / 1024.0;
    fs::remove_all(state.DataFolder);
}
BENCHMARK(BM_PreviewRebuild)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The draft alone: what the data file's size can weigh on.
void BM_PreviewDraft(benchmark::State& bench) {
    const int records = static_cast<int>(bench.range(0));
    const kerbolt::store::State state = Account(records);
    const kerbolt::DateTime now{2026, 3, 14, 9, 30, 0};
    for (auto _ : bench) {
        const kerbolt::ticket::TicketDraft draft =
            kerbolt::ticket::BuildTicketDraft(state, {1, "VD 1234"}, now);
        benchmark::DoNotOptimize(draft);
    }
    fs::remove_all(state.DataFolder);
}
BENCHMARK(BM_PreviewDraft)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
