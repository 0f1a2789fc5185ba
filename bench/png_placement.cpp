// Placing a 4000 x 3000 RGB photograph-like PNG on a page and saving the document, by Pagora and
// by libharu, each in a forked child: its time, its peak resident memory (peak_mb) and what it
// added while working (grown_mb), to compare with the PNG file's size (png_file_mb). libharu
// decodes the picture and compresses it again (its image compression on, as a user wanting a
// small file sets it), or writes the samples uncompressed; Pagora passes the compressed rows
// through after checking them. Run as
//   MALLOC_TRIM_THRESHOLD_=4294967296 taskset -c 3 build/bench/bench/bench_png_placement \
//       --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
#include "pdf/writer/Pagora.h"

#include "bench/child_process.h"
#include "bench/peer_ratios.h"
#include "tests/support/png_file.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;

using Bytes = std::vector<std::uint8_t>;

// Gradients, each row with the "Sub" filter: with a little noise they compress as a camera
// picture does (to about half of their samples' size), without it as a drawing does.
std::string MakePng(const char* name, std::uint32_t noise) {
    Bytes rows;
    rows.reserve((kWidth * 3 + 1) * kHeight);
    std::uint32_t state = 2463534242u;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        rows.push_back(1);
        std::uint8_t previous[3] = {0, 0, 0};
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t base[3] = {x * 255 / kWidth, y * 255 / kHeight,
                                           (x + y) * 255 / (kWidth + kHeight)};
            for (int c = 0; c < 3; ++c) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                const auto sample = static_cast<std::uint8_t>(base[c] + (state & noise));
                rows.push_back(static_cast<std::uint8_t>(sample - previous[c]));
                previous[c] = sample;
            }
        }
    }
    const Bytes png = testing_support::PngFile(kWidth, kHeight, 2, rows);
    const std::string file = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<long>(png.size()));
    return file;
}

const std::string& PhotoPng() {
    static const std::string path = MakePng("bench-4000x3000-photo.png", 7);
    return path;
}
const std::string& DrawingPng() {
    static const std::string path = MakePng("bench-4000x3000-drawing.png", 0);
    return path;
}

bool PlaceWithPagora(const std::string& png, const std::string& out) {
    pagora::Pagora pdf;
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.DrawImage(png, 10, 10, 190, 0);
    pdf.EndPage();
    pdf.EndDoc();
    // A picture that was refused would leave a small file.
    return std::filesystem::file_size(out) > std::filesystem::file_size(png) / 2;
}

template <HPDF_UINT kMode> bool PlaceWithLibharu(const std::string& png, const std::string& out) {
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_SetCompressionMode(pdf, kMode);
    HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Image image = HPDF_LoadPngImageFromFile(pdf, png.c_str());
    if (image != nullptr) HPDF_Page_DrawImage(page, image, 28, 28, 539, 404);
    const bool ok = image != nullptr && HPDF_SaveToFile(pdf, out.c_str()) == HPDF_OK;
    HPDF_Free(pdf);
    return ok;
}

template <bool (*Place)(const std::string&, const std::string&)>
void Placement(benchmark::State& state, const std::string* png) {
    const std::string out =
        (std::filesystem::temp_directory_path() / "bench-png-placement.pdf").string();
    bench_support::MeasureInChildren(state, [&] { return Place(*png, out); });
    state.counters["png_file_mb"] =
        static_cast<double>(std::filesystem::file_size(*png)) / (1024 * 1024);
    if (std::filesystem::exists(out)) {
        state.counters["pdf_file_mb"] =
            static_cast<double>(std::filesystem::file_size(out)) / (1024 * 1024);
        std::filesystem::remove(out);
    }
}

const bool kRegistered = [] {
    benchmark::AddCustomContext("heap trimming", bench_support::TrimSetting());
    // The files are made before the first child, so no child pays for them.
    for (const auto& [input, png] : {std::pair{"png_4000x3000_photo", &PhotoPng()},
                                     std::pair{"png_4000x3000_drawing", &DrawingPng()}}) {
        const std::string name = input;
        benchmark::RegisterBenchmark(("pagora/" + name).c_str(), Placement<PlaceWithPagora>, png)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libharu/" + name).c_str(),
                                     Placement<PlaceWithLibharu<HPDF_COMP_ALL>>, png)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libharu_uncompressed/" + name).c_str(),
                                     Placement<PlaceWithLibharu<HPDF_COMP_NONE>>, png)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "libharu");
}
