// GetInfo on a 2,000-page file with object streams and on a 50 MB file of 20,000 pages,
// beside `qpdf --show-npages` on the same files. Time per call, and the peak resident memory of
// a process that does one call (counter peak_rss_kb; the peer's process is measured the same
// way). The files are made by tools/make-reader-bench-files into $TMPDIR/reader-bench.
//
// Run pinned to one core with the default allocator settings, for example:
//   taskset -c 2 build/bench/bench/bench_get_info
#include "bench/child_process.h"
#include "pdf/writer/Pagora.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Folder() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/reader-bench";
}

std::string File(const char* name) {
    static const bool made = [] {
        const std::string command =
            "/usr/bin/python3 " KERBOLT_SOURCE_DIR "/tools/make-reader-bench-files " + Folder();
        return std::system(command.c_str()) == 0;
    }();
    if (!made) std::abort();
    return Folder() + "/" + name;
}

void RunQpdf(const std::string& file) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        execlp("qpdf", "qpdf", "--show-npages", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

void GetInfo(benchmark::State& state, const char* name) {
    const std::string file = File(name);
    std::int32_t pages = 0;
    for (auto _ : state) {
        pagora::Pagora pdf; // a fresh cache: every call reads the file
        pages = pdf.GetInfo(file);
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
    state.counters["peak_rss_kb"] = static_cast<double>(bench_support::ChildPeakKb([&] {
        pagora::Pagora pdf;
        pdf.GetInfo(file);
    }));
}

void Qpdf(benchmark::State& state, const char* name) {
    const std::string file = File(name);
    for (auto _ : state)
        RunQpdf(file);
    state.counters["peak_rss_kb"] = static_cast<double>(bench_support::ChildPeakKb([&] {
        std::freopen("/dev/null", "w", stdout);
        execlp("qpdf", "qpdf", "--show-npages", file.c_str(), static_cast<char*>(nullptr));
    }));
}

BENCHMARK_CAPTURE(GetInfo, pages2000_objstm, "pages2000_os.pdf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Qpdf, pages2000_objstm, "pages2000_os.pdf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GetInfo, big50mb, "big50.pdf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Qpdf, big50mb, "big50.pdf")->Unit(benchmark::kMillisecond);

} // namespace
