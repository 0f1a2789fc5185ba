// Importing every page of a 500-page file (two fonts all pages share, a content stream each)
// into a new document, one page per sheet at its own size, beside
// `qpdf --empty --pages src.pdf 1-z -- out.pdf` on the same file. Time per whole import, and the
// peak resident memory of a process that does one (counter peak_rss_kb; the peer's process is
// measured the same way). The file is made by bench/make-import-bench-file into
// $TMPDIR/import-bench.
//
// Run pinned to one core with the default allocator settings, for example:
//   taskset -c 2 build/bench/bench/bench_import_page
#include "bench/child_process.h"
#include "pdf/writer/Pagora.h"

#include <benchmark/benchmark.h>

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

std::string Source() {
    static const bool made = [] {
        const std::string command =
            "/usr/bin/python3 " KERBOLT_SOURCE_DIR "/bench/make-import-bench-file " + Folder();
        return std::system(command.c_str()) == 0;
    }();
    if (!made) std::abort();
    return Folder() + "/pages500.pdf";
}

std::string Output() {
    return Folder() + "/out.pdf";
}

int ImportAll(const std::string& source, const std::string& out) {
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
    if (pdf.ErrNumber() != 0) std::abort();
    return pages;
}

void ExecQpdf(const std::string& source, const std::string& out) {
    execlp("qpdf", "qpdf", "--empty", "--pages", source.c_str(), "1-z", "--", out.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
}

void ImportPages(benchmark::State& state) {
    const std::string source = Source();
    int pages = 0;
    for (auto _ : state)
        pages = ImportAll(source, Output());
    state.counters["pages"] = pages;
    state.counters["peak_rss_kb"] =
        static_cast<double>(bench_support::ChildPeakKb([&] { ImportAll(source, Output()); }));
}

void Qpdf(benchmark::State& state) {
    const std::string source = Source();
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) ExecQpdf(source, Output());
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    }
    state.counters["peak_rss_kb"] =
        static_cast<double>(bench_support::ChildPeakKb([&] { ExecQpdf(source, Output()); }));
}

BENCHMARK(ImportPages)->Name("ImportPage/pages500")->Unit(benchmark::kMillisecond);
BENCHMARK(Qpdf)->Name("Qpdf/pages500")->Unit(benchmark::kMillisecond);

} // namespace
