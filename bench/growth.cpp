// Operations whose cost must grow with their work alone, each at three sizes a decade apart in
// one run: layers (named, nested ten to a parent, with a membership group every ten layers),
// cells of one table of two columns (its rows added one by one), and distinct reusable objects each
// recorded and painted once. Each run writes the whole document to a file in a forked child, as a
// new process would, so that every size pays for its first use of memory alike; the time is the
// child's CPU time. libharu, the peer for the table, strokes the same rectangles; it has neither
// layers nor reusable forms. After the table the reporter prints each run's time against libharu's
// and the time per tenfold work (10 is linear):
//   taskset -c 3 build/bench/bench/bench_growth --benchmark_repetitions=3 \
//       --benchmark_enable_random_interleaving=true
#include "pdf/writer/Pagora.h"

#include "bench/child_process.h"
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

bool Layers(const std::string& path, int count) {
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
    return pdf.ErrNumber() == 0;
}

constexpr int kColumns = 2;

bool TableWithPagora(const std::string& path, int cells) {
    pagora::Pagora pdf;
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.BeginTable(10, 10, 5, std::vector<double>(kColumns, 90));
    for (int row = 1; row <= cells / kColumns; ++row) {
        for (int col = 1; col <= kColumns; ++col)
            pdf.TableCell(row, col, 1, 1, 0);
    }
    pdf.EndTable();
    pdf.EndPage();
    pdf.EndDoc();
    return pdf.ErrNumber() == 0;
}

bool TableWithLibharu(const std::string& path, int cells) {
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
    const HPDF_REAL height = HPDF_Page_GetHeight(page);
    for (int row = 0; row < cells / kColumns; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            HPDF_Page_Rectangle(page, 28.35f + 255.1f * static_cast<float>(col),
                                height - 28.35f - 14.17f * static_cast<float>(row + 1), 255.1f,
                                14.17f);
            HPDF_Page_Stroke(page);
        }
    }
    const bool ok = HPDF_SaveToFile(pdf, path.c_str()) == HPDF_OK;
    HPDF_Free(pdf);
    return ok;
}

bool Objects(const std::string& path, int count) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        names.push_back("Stamp" + std::to_string(i));
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
    return pdf.ErrNumber() == 0;
}

template <bool (*Write)(const std::string&, int)> void Grown(benchmark::State& state) {
    const std::string path = OutputPath("bench-growth.pdf");
    const int size = static_cast<int>(state.range(0));
    bench_support::MeasureInChildren(state, [&] { return Write(path, size); });
    std::filesystem::remove(path);
}

const bool kRegistered = [] {
    struct Run {
        const char* name;
        void (*function)(benchmark::State&);
    };
    for (const Run run :
         {Run{"pagora/layers", Grown<Layers>}, Run{"pagora/table_cells", Grown<TableWithPagora>},
          Run{"libharu/table_cells", Grown<TableWithLibharu>},
          Run{"pagora/objects", Grown<Objects>}}) {
        benchmark::RegisterBenchmark(run.name, run.function)
            ->RangeMultiplier(10)
            ->Range(1000, 100000)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "libharu");
}
