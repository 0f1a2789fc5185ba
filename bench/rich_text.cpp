// Rich text with one word of 10 KB, 100 KB and 1 MB without a blank in a box 20 points wide:
// every letter past the first few wraps again, so the layout must cost the same per letter
// however long the word is. libharu's text rectangle gets the same word and box as the peer.
// Run one size at a time under /usr/bin/time -v (--benchmark_filter=pagora/rich_word/1048576)
// to compare peak memory as well.
//
// Then a text of words and paragraphs of the same three sizes flowed page after page, each page
// one box that hands the rest to the next: as rich text (every fortieth word bold), as a plain
// text box left-aligned and justified, reading on from where the last box broke (`_rest_text`:
// the box handing the rest back as a text of its own, one copy of it per box), and by libharu's
// text rectangle, which is told how much it drew. The reporter prints each one's time against
// libharu's and the time per tenfold text (10 is linear):
//   taskset -c 3 build/bench/bench/bench_rich_text --benchmark_filter=flow \
//       --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true
#include "pdf/writer/Pagora.h"

#include "bench/peer_ratios.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>

#include <cstdint>
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

// A box on an A4 page measured from the page's top-left corner, in points.
struct PageBox {
    HPDF_REAL left, top, right, bottom;
};

// Adds an A4 page and writes text into the box at 10 points; returns how many bytes it took.
// (A bottom of 0 reaches the page's foot.)
HPDF_UINT TextRectOnNewPage(HPDF_Doc pdf, HPDF_Font font, PageBox box, const char* text) {
    HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
    const HPDF_REAL height = HPDF_Page_GetHeight(page);
    HPDF_Page_BeginText(page);
    HPDF_Page_SetFontAndSize(page, font, 10);
    HPDF_UINT length = 0;
    HPDF_Page_TextRect(page, box.left, height - box.top, box.right,
                       box.bottom == 0 ? 50 : height - box.bottom, text, HPDF_TALIGN_LEFT, &length);
    HPDF_Page_EndText(page);
    return length;
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
        TextRectOnNewPage(pdf, font, {50, 50, 70, 0}, word.c_str());
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

// Words of two to nine letters, a paragraph every hundred words; with `tags`, every fortieth
// word bold.
std::string Prose(std::size_t length, bool tags) {
    std::string text;
    text.reserve(length + 16);
    std::uint32_t state = 2463534242u;
    for (int word = 1; text.size() < length; ++word) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const bool bold = tags && word % 40 == 0;
        if (bold) text += "<b>";
        for (std::uint32_t i = 0; i < 2 + state % 8; ++i)
            text += static_cast<char>('a' + (state >> (i + 3)) % 26);
        if (bold) text += "</b>";
        text += word % 100 == 0 ? "\r\n" : " ";
    }
    return text;
}

template <bool kRich, std::int32_t kAlign = 9> void FlowWithPagora(benchmark::State& state) {
    const std::string path = OutputPath("bench-pagora-flow.pdf");
    const std::string text = Prose(static_cast<std::size_t>(state.range(0)), kRich);
    int pages = 0;
    for (auto _ : state) {
        pagora::Pagora pdf;
        pdf.BeginDoc(path);
        pdf.SetTextTag("b", "", 0, 1);
        pdf.SetFont("Helvetica", 10);
        std::string rest = text;
        pages = 0;
        while (!rest.empty()) {
            pdf.BeginPage();
            rest = kRich ? pdf.DrawTextRich(57, 57, 482, 708, rest)
                         : pdf.DrawTextBox(57, 57, 482, 708, rest, kAlign);
            pdf.EndPage();
            ++pages;
        }
        pdf.EndDoc();
    }
    state.counters["pages"] = pages;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    std::filesystem::remove(path);
}

// The same boxes reading on from where the last one broke, without a copy of the rest.
template <std::int32_t kAlign = 9> void FlowFromWithPagora(benchmark::State& state) {
    const std::string path = OutputPath("bench-pagora-flow-from.pdf");
    const std::string text = Prose(static_cast<std::size_t>(state.range(0)), false);
    int pages = 0;
    for (auto _ : state) {
        pagora::Pagora pdf;
        pdf.BeginDoc(path);
        pdf.SetFont("Helvetica", 10);
        pages = 0;
        for (std::size_t from = 0; from < text.size(); ++pages) {
            pdf.BeginPage();
            from = pdf.DrawTextBoxFrom(57, 57, 482, 708, text, from, kAlign);
            pdf.EndPage();
        }
        pdf.EndDoc();
    }
    state.counters["pages"] = pages;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    std::filesystem::remove(path);
}

void FlowWithLibharu(benchmark::State& state) {
    const std::string path = OutputPath("bench-libharu-flow.pdf");
    const std::string text = Prose(static_cast<std::size_t>(state.range(0)), false);
    int pages = 0;
    for (auto _ : state) {
        HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
        HPDF_Font font = HPDF_GetFont(pdf, "Helvetica", "WinAnsiEncoding");
        std::size_t done = 0;
        pages = 0;
        while (done < text.size()) {
            // A text rectangle takes at most 65535 bytes: it gets the next 16 KB, more than a
            // page holds.
            const std::string window = text.substr(done, 16384);
            const HPDF_UINT length =
                TextRectOnNewPage(pdf, font, {57, 57, 539, 765}, window.c_str());
            if (length == 0) break;
            done += length;
            ++pages;
        }
        HPDF_SaveToFile(pdf, path.c_str());
        HPDF_Free(pdf);
    }
    state.counters["pages"] = pages;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    std::filesystem::remove(path);
}

BENCHMARK(FlowWithPagora<true>)
    ->Name("pagora_rich/text_flow")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FlowFromWithPagora<>)
    ->Name("pagora_box/text_flow")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FlowFromWithPagora<64>)
    ->Name("pagora_justified/text_flow")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FlowWithPagora<false>)
    ->Name("pagora_box_rest_text/text_flow")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FlowWithPagora<false, 64>)
    ->Name("pagora_justified_rest_text/text_flow")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FlowWithLibharu)
    ->Name("libharu/text_flow")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "libharu");
}
