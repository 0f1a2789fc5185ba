// Importing every page of files of 500 to 8,000 pages (a flat page tree: every page a kid of
// one node; two fonts all pages share, a content stream each) into a new document, one page per
// sheet at its own size, beside `qpdf --empty --pages src.pdf 1-z -- out.pdf` on the same file.
// Both run in a fresh child process; the time is the child's CPU time (user and system), which
// a machine shared with other work disturbs far less than the wall time (wall_ms beside it).
// Counters: per_page (the time over the page count, flat when importing n pages costs O(n)),
// peak_mb (the child's peak resident memory).
//
// Also a page whose 2 KB content stream, compressed twice, expands past a gigabyte: the page
// query and the import refuse it; time and peak memory of a fresh process that tries once.
//
// The files are made by bench/make-import-bench-file into $TMPDIR/import-bench. Run pinned to
// one core, for example:
//   taskset -c 2 build/bench/bench/bench_import_page --benchmark_repetitions=3 \
//       --benchmark_enable_random_interleaving=true
#include "bench/child_process.h"
#include "pdf/writer/Pagora.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Folder() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/import-bench";
}

std::string File(const std::string& name) {
    static const bool made = [] {
        const std::string command =
            "/usr/bin/python3 " KERBOLT_SOURCE_DIR "/bench/make-import-bench-file " + Folder();
        return std::system(command.c_str()) == 0;
    }();
    if (!made) std::abort();
    return Folder() + "/" + name;
}

std::string Source(const benchmark::State& state) {
    return File("pages" + std::to_string(state.range(0)) + ".pdf");
}

std::string Output() {
    return Folder() + "/out.pdf";
}

bool ImportAll(const std::string& source, const std::string& out) {
    pagora::Pagora pdf;
    const std::int32_t pages = pdf.GetInfo(source);
    pdf.SetPaperSize(255, 612, 792);
    pdf.BeginDoc(out);
    for (std::int32_t page = 1; page <= pages; ++page) {
        pdf.BeginPage();
        pdf.ImportPage(source, page, 0, 0);
        pdf.EndPage();
    }
    pdf.EndDoc();
    return pdf.ErrNumber() == 0 && pages > 0;
}

void PerPage(benchmark::State& state) {
    state.counters["per_page"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void ImportPages(benchmark::State& state) {
    const std::string source = Source(state);
    bench_support::MeasureInChildren(state, [&] { return ImportAll(source, Output()); });
    PerPage(state);
}

// qpdf as a program: its CPU time and peak memory, taken from the child it ran in.
void Qpdf(benchmark::State& state) {
    const std::string source = Source(state);
    double peak_kb = 0;
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            execlp("qpdf", "qpdf", "--empty", "--pages", source.c_str(), "1-z", "--",
                   Output().c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("qpdf failed");
            break;
        }
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        state.SetIterationTime(seconds(usage.ru_utime) + seconds(usage.ru_stime));
        peak_kb = std::max(peak_kb, static_cast<double>(usage.ru_maxrss));
    }
    state.counters["peak_mb"] = peak_kb / 1024;
    PerPage(state);
}

bool ReadBomb(bool import) {
    const std::string bomb = File("bomb.pdf");
    pagora::Pagora pdf;
    if (pdf.GetInfo(bomb) != 1) return false;
    try {
        if (import) {
            pdf.BeginDoc(Output());
            pdf.BeginPage();
            pdf.ImportPage(bomb, 1, 0, 0);
        } else {
            pdf.GetContentPage(bomb, 1);
        }
    } catch (const pagora::PdfError& error) {
        return error.Number() == 7; // refused, as it must be
    }
    return false;
}

void RefuseBomb(benchmark::State& state) {
    const bool import = state.range(0) != 0;
    bench_support::MeasureInChildren(state, [import] { return ReadBomb(import); });
}

void PageCounts(benchmark::internal::Benchmark* b) {
    for (const int pages : {500, 1000, 2000, 4000, 8000})
        b->Arg(pages);
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(ImportPages)->Name("ImportPage/flat")->Apply(PageCounts);
BENCHMARK(Qpdf)->Name("Qpdf/flat")->Apply(PageCounts);
BENCHMARK(RefuseBomb)
    ->Name("Bomb/GetContentPage")
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(RefuseBomb)
    ->Name("Bomb/ImportPage")
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
