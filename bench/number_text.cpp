// Number text is written for every coordinate of every content line: FormatReal against the
// standard library's fastest fixed and general formatting of the same values.
#include "pdf/writer/writer.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <random>
#include <vector>

namespace {

std::vector<float> Coordinates() {
    std::mt19937 generator(7);
    std::uniform_real_distribution<float> distribution(-100.0f, 900.0f);
    std::vector<float> values(1 << 16);
    for (float& v : values)
        v = distribution(generator);
    return values;
}

void FormatRealCoordinates(benchmark::State& state) {
    const std::vector<float> values = Coordinates();
    pagora::detail::WriterState s;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pagora::detail::FormatReal(s, values[i++ & 0xFFFF]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FormatRealCoordinates);

void ToCharsFixed3(benchmark::State& state) {
    const std::vector<float> values = Coordinates();
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        auto result = std::to_chars(buffer, buffer + sizeof buffer, values[i++ & 0xFFFF],
                                    std::chars_format::fixed, 3);
        benchmark::DoNotOptimize(result.ptr);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ToCharsFixed3);

void SnprintfG7(benchmark::State& state) {
    const std::vector<float> values = Coordinates();
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.7g",
                                               static_cast<double>(values[i++ & 0xFFFF])));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SnprintfG7);

} // namespace
