// Our deflate compressor against zlib's compress2, on the kinds of stream a PDF file carries:
// page content text, a TrueType font, an uncompressed RGB image and incompressible data. Our
// level k uses zlib's configuration row of level k + 4, so "zlib_same_row" is the fair match and
// "zlib_default" (level 6) what most writers use.
#include "pdf/writer/deflate.h"

#include "tests/support/sample_data.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Input {
    const char* name;
    Bytes data;
};

const std::vector<Input>& Inputs() {
    static const std::vector<Input> inputs = {
        {"page_text", testing_support::PageContentText(1 << 20)},
        {"truetype_font", testing_support::FileBytes(testing_support::kSampleFontPath)},
        {"rgb_image", testing_support::RgbImage(800, 600)},
        {"random", testing_support::RandomBytes(1 << 20, 1)},
    };
    return inputs;
}

void Report(benchmark::State& state, const Bytes& input, std::size_t output_size) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.size()));
    state.counters["out_bytes"] = static_cast<double>(output_size);
    state.counters["ratio_pct"] = 100.0 * static_cast<double>(output_size) /
                                  static_cast<double>(std::max<std::size_t>(1, input.size()));
}

void Ours(benchmark::State& state, const Input* input, int level) {
    pagora::detail::FlateEncoder encoder;
    Bytes out;
    for (auto _ : state) {
        encoder.Encode(input->data, level, out);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, input->data, out.size());
}

void Zlib(benchmark::State& state, const Input* input, int level) {
    Bytes out(compressBound(static_cast<uLong>(input->data.size())));
    uLongf size = 0;
    for (auto _ : state) {
        size = static_cast<uLongf>(out.size());
        compress2(out.data(), &size, input->data.data(), static_cast<uLong>(input->data.size()),
                  level);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, input->data, size);
}

const bool kRegistered = [] {
    for (const Input& input : Inputs()) {
        for (int level = 0; level <= 5; ++level) {
            const std::string suffix = std::string(input.name) + "/level" + std::to_string(level);
            benchmark::RegisterBenchmark(("ours/" + suffix).c_str(), Ours, &input, level)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("zlib_same_row/" + suffix).c_str(), Zlib, &input,
                                         level + 4)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("zlib_default/" + std::string(input.name)).c_str(), Zlib,
                                     &input, 6)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
