// Rich text with one word of 10 KB, 100 KB and 1 MB without a blank in a box 20 points wide:
// every letter past the first few wraps again, so the layout must cost the same per letter
// however long the word is. libharu's text rectangle gets the same word and box as the peer.
// Run one size at a time under /usr/bin/time -v (--benchmark_filter=pagora/rich_word/1048576)
// to compare peak memory as well.
#include "pdf/writer/Pagora.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string Word(std::size_t length) {
    std::string word(length, 'a');
    for (std::size_t i = 0; i < length; ++i)
        word[i] = static_cast<char>('a' + i % 26);
    return word;
}

std::string OutputPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void RichWordWithPagora(benchmark::State& state) {
    const std::string path = OutputPath("bench-pagora-rich.pdf");
    const std::string word = "<b>" + Word(static_cast<std::size_t>(state.range(0))) + "</b>";
    std::size_t rest = 0;
    for (auto _ : state) {
        pagora::Pagora pdf;
        pdf.BeginDoc(path);
        pdf.SetTextTag("b", "", 0, 1);
        pdf.BeginPage();
        pdf.SetFont("Helvetica", 10);
        rest = pdf.DrawTextRich(50, 50, 20, 0, word).size();
        pdf.EndPage();
        pdf.EndDoc();
    }
    state.counters["rest_bytes"] = static_cast<double>(rest);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}

void RichWordWithLibharu(benchmark::State& state) {
    const std::string path = OutputPath("bench-libharu-rich.pdf");
    const std::string word = Word(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
        HPDF_Font font = HPDF_GetFont(pdf, "Helvetica-Bold", "WinAnsiEncoding");
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
        const HPDF_REAL height = HPDF_Page_GetHeight(page);
        HPDF_Page_BeginText(page);
        HPDF_Page_SetFontAndSize(page, font, 10);
        HPDF_UINT length = 0;
        HPDF_Page_TextRect(page, 50, height - 50, 70, 50, word.c_str(), HPDF_TALIGN_LEFT, &length);
        HPDF_Page_EndText(page);
        HPDF_SaveToFile(pdf, path.c_str());
        HPDF_Free(pdf);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}

BENCHMARK(RichWordWithPagora)
    ->Name("pagora/rich_word")
    ->Arg(10 << 10)
    ->Arg(100 << 10)
    ->Arg(1 << 20)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(RichWordWithLibharu)
    ->Name("libharu/text_rect_word")
    ->Arg(10 << 10)
    ->Arg(100 << 10)
    ->Arg(1 << 20)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

} // namespace
