// A long document of plain text, written by Pagora and by libharu with their page contents
// compressed at zlib's default configuration: 1000 pages of 50 lines of Helvetica. Each run is a
// forked child, so "fresh" is the first document of a new process and "five_in_a_row" five
// documents written one after the other by one process; peak_mb is the child's peak resident
// memory, grown_mb what it added while writing. glibc's heap trimming changes libharu's time ten
// times over, so the setting is reported; the figures are taken with it off for both:
//   MALLOC_TRIM_THRESHOLD_=4294967296 taskset -c 3 build/bench/bench/bench_document \
//       --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true
#include "pdf/writer/Pagora.h"

#include "bench/child_process.h"
#include "bench/peer_ratios.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kPages = 1000;
constexpr int kLines = 50;

std::string Line(int page, int line) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "Page %d, line %d: compensation claimed for parking without right, CHF %d.00",
                  page + 1, line + 1, 40 + (page * 7 + line) % 60);
    return text;
}

std::string OutputPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

bool WriteWithPagora(const std::string& path) {
    pagora::Pagora pdf;
    // Level 2 has the configuration row of zlib's default, which libharu uses.
    pdf.SetCompression(0x002 | 2 << 8);
    pdf.BeginDoc(path);
    pdf.SetFont("Helvetica", 11);
    for (int page = 0; page < kPages; ++page) {
        pdf.BeginPage();
        for (int line = 0; line < kLines; ++line)
            pdf.DrawText(50, 60 + 14.5f * static_cast<float>(line), Line(page, line));
        pdf.EndPage();
    }
    pdf.EndDoc();
    return std::filesystem::file_size(path) > 0;
}

bool WriteWithLibharu(const std::string& path) {
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_TEXT);
    HPDF_Font font = HPDF_GetFont(pdf, "Helvetica", "WinAnsiEncoding");
    for (int page = 0; page < kPages; ++page) {
        HPDF_Page p = HPDF_AddPage(pdf);
        HPDF_Page_SetSize(p, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
        const HPDF_REAL height = HPDF_Page_GetHeight(p);
        HPDF_Page_BeginText(p);
        HPDF_Page_SetFontAndSize(p, font, 11);
        for (int line = 0; line < kLines; ++line)
            HPDF_Page_TextOut(p, 50, height - 60 - 14.5f * static_cast<float>(line),
                              Line(page, line).c_str());
        HPDF_Page_EndText(p);
    }
    const bool ok = HPDF_SaveToFile(pdf, path.c_str()) == HPDF_OK;
    HPDF_Free(pdf);
    return ok;
}

template <bool (*Write)(const std::string&)>
void Documents(benchmark::State& state, const char* file, int documents) {
    const std::string path = OutputPath(file);
    bench_support::MeasureInChildren(state, [&] {
        bool ok = true;
        for (int i = 0; i < documents; ++i)
            ok = Write(path) && ok;
        return ok;
    });
    if (std::filesystem::exists(path)) {
        state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
        std::filesystem::remove(path);
    }
}

const bool kRegistered = [] {
    benchmark::AddCustomContext("heap trimming", bench_support::TrimSetting());
    struct Run {
        const char* name;
        int documents;
    };
    for (const Run run : {Run{"1000_pages_fresh", 1}, Run{"1000_pages_five_in_a_row", 5}}) {
        benchmark::RegisterBenchmark((std::string("pagora/") + run.name).c_str(),
                                     Documents<WriteWithPagora>, "bench-pagora.pdf", run.documents)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("libharu/") + run.name).c_str(),
                                     Documents<WriteWithLibharu>, "bench-libharu.pdf",
                                     run.documents)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "libharu");
}
