// Operations whose cost must grow with their work alone, each at three sizes a decade apart in
// one run: layers (named, nested ten to a parent, with a membership group every ten layers),
// cells of one table of ten columns, and distinct reusable objects each recorded and painted
// once. Each run writes the whole document to a file. libharu, the peer for the table, strokes
// the same rectangles; it has neither layers nor reusable forms. After the table the reporter
// prints each run's time against libharu's and the time per tenfold work (10 is linear):
//   taskset -c 3 build/bench/bench/bench_growth --benchmark_repetitions=3 \
//       --benchmark_enable_random_interleaving=true
#include "pdf/writer/Pagora.h"

#include "bench/peer_ratios.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string OutputPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

std::string LayerName(int i) {
    return "Layer " + std::to_string(i);
}

void Layers(benchmark::State& state) {
    const std::string path = OutputPath("bench-growth-layers.pdf");
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        pagora::Pagora pdf;
        pdf.BeginDoc(path);
        pdf.BeginPage();
        for (int i = 0; i < count; ++i) {
            pdf.BeginLayer(LayerName(i), i % 3 != 0, true, i == 0 ? "" : LayerName((i - 1) / 10));
            pdf.DrawRect(10, 10, 20, 20);
            pdf.EndLayer();
            if (i % 10 == 9) {
                pdf.BeginConditionalLayer(LayerName(i) + "," + LayerName(i / 2), 2);
                pdf.EndConditionalLayer();
            }
        }
        pdf.EndPage();
        pdf.EndDoc();
    }
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}

constexpr int kColumns = 10;

void TableWithPagora(benchmark::State& state) {
    const std::string path = OutputPath("bench-growth-table.pdf");
    const int rows = static_cast<int>(state.range(0)) / kColumns;
    for (auto _ : state) {
        pagora::Pagora pdf;
        pdf.BeginDoc(path);
        pdf.BeginPage();
        pdf.BeginTable(10, 10, 5, std::vector<double>(kColumns, 18));
        for (int row = 1; row <= rows; ++row) {
            for (int col = 1; col <= kColumns; ++col)
                pdf.TableCell(row, col, 1, 1, 0);
        }
        pdf.EndTable();
        pdf.EndPage();
        pdf.EndDoc();
    }
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}

void TableWithLibharu(benchmark::State& state) {
    const std::string path = OutputPath("bench-growth-table-libharu.pdf");
    const int rows = static_cast<int>(state.range(0)) / kColumns;
    for (auto _ : state) {
        HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
        const HPDF_REAL height = HPDF_Page_GetHeight(page);
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < kColumns; ++col) {
                HPDF_Page_Rectangle(page, 28.35f + 51.03f * static_cast<float>(col),
                                    height - 28.35f - 14.17f * static_cast<float>(row + 1), 51.03f,
                                    14.17f);
                HPDF_Page_Stroke(page);
            }
        }
        HPDF_SaveToFile(pdf, path.c_str());
        HPDF_Free(pdf);
    }
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}

void Objects(benchmark::State& state) {
    const std::string path = OutputPath("bench-growth-objects.pdf");
    const int count = static_cast<int>(state.range(0));
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back("Stamp" + std::to_string(i));
    for (auto _ : state) {
        pagora::Pagora pdf;
        pdf.BeginDoc(path);
        pdf.BeginPage();
        for (const std::string& name : names) {
            pdf.BeginObject(name);
            pdf.DrawRect(10, 10, 20, 20);
            pdf.EndObject();
            pdf.DrawObject(name);
        }
        pdf.EndPage();
        pdf.EndDoc();
    }
    state.SetComplexityN(state.range(0));
    std::filesystem::remove(path);
}

BENCHMARK(Layers)->Name("pagora/layers")->RangeMultiplier(10)->Range(1000, 100000)->Unit(
    benchmark::kMillisecond);
BENCHMARK(TableWithPagora)
    ->Name("pagora/table_cells")
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(TableWithLibharu)
    ->Name("libharu/table_cells")
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Objects)->Name("pagora/objects")->RangeMultiplier(10)->Range(1000, 100000)->Unit(
    benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "libharu");
}
