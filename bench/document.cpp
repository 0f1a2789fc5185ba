// A long document of plain text, written by Pagora and by libharu with their page contents
// compressed: 1000 pages of 50 lines of Helvetica. Run one side at a time under /usr/bin/time -v
// (--benchmark_filter=pagora or =libharu) to compare peak memory as well.
#include "pdf/writer/Pagora.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>

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

void Report(benchmark::State& state, const std::string& path) {
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    state.counters["pages_per_s"] =
        benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path);
}

void WriteWithPagora(benchmark::State& state) {
    const std::string path = OutputPath("bench-pagora.pdf");
    for (auto _ : state) {
        pagora::Pagora pdf;
        // Deflate at the level given; level 2 has the configuration row of zlib's default.
        pdf.SetCompression(0x002 | static_cast<int>(state.range(0)) << 8);
        pdf.BeginDoc(path);
        pdf.SetFont("Helvetica", 11);
        for (int page = 0; page < kPages; ++page) {
            pdf.BeginPage();
            for (int line = 0; line < kLines; ++line)
                pdf.DrawText(50, 60 + 14.5f * static_cast<float>(line), Line(page, line));
            pdf.EndPage();
        }
        pdf.EndDoc();
    }
    Report(state, path);
}

void WriteWithLibharu(benchmark::State& state) {
    const std::string path = OutputPath("bench-libharu.pdf");
    for (auto _ : state) {
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
        HPDF_SaveToFile(pdf, path.c_str());
        HPDF_Free(pdf);
    }
    Report(state, path);
}

BENCHMARK(WriteWithPagora)
    ->Name("pagora/1000_pages")
    ->ArgName("level")
    ->Arg(0)
    ->Arg(2)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WriteWithLibharu)->Name("libharu/1000_pages")->Unit(benchmark::kMillisecond);

}  // namespace
