// Our inflate against zlib and libdeflate, each decoding the same raw DEFLATE data (made by zlib
// at its default level) into a buffer of the known size: page content text, a TrueType font,
// uncompressed RGB samples and incompressible bytes (stored blocks). Every peer allocates its
// output per call as a reader must; the decoder states of zlib and libdeflate are made per call
// too. Run pinned to one core, e.g.
//   taskset -c 3 build/bench/bench/bench_inflate --benchmark_repetitions=9 \
//       --benchmark_enable_random_interleaving=true
// and read the ratios printed at the end.
#include "pdf/import/inflate.h"

#include "bench/peer_ratios.h"
#include "tests/support/sample_data.h"

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Input {
    const char* name;
    Bytes original;
    Bytes packed;
};

Bytes RawDeflate(const Bytes& data) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

const std::vector<Input>& Inputs() {
    static const std::vector<Input> inputs = [] {
        std::vector<Input> list = {
            {"page_text", testing_support::PageContentText(1 << 20), {}},
            {"truetype_font", testing_support::FileBytes(testing_support::kSampleFontPath), {}},
            {"rgb_image", testing_support::RgbImage(800, 600), {}},
            {"random", testing_support::RandomBytes(1 << 20, 1), {}},
        };
        for (Input& input : list)
            input.packed = RawDeflate(input.original);
        return list;
    }();
    return inputs;
}

void Report(benchmark::State& state, const Input& input, bool same) {
    if (!same) state.SkipWithError("decoded bytes differ from the original");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.original.size()));
}

void Ours(benchmark::State& state, const Input* input) {
    pagora::detail::InflateOptions options;
    options.initial_size = input->original.size();
    Bytes out;
    for (auto _ : state) {
        out = pagora::detail::InflateBytes(input->packed, options).bytes;
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, *input, out == input->original);
}

void Zlib(benchmark::State& state, const Input* input) {
    Bytes out;
    for (auto _ : state) {
        out = Bytes(input->original.size());
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = const_cast<Bytef*>(input->packed.data());
        z.avail_in = static_cast<uInt>(input->packed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, *input, out == input->original);
}

void Libdeflate(benchmark::State& state, const Input* input) {
    Bytes out;
    for (auto _ : state) {
        out = Bytes(input->original.size());
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        std::size_t size = 0;
        libdeflate_deflate_decompress(d, input->packed.data(), input->packed.size(), out.data(),
                                      out.size(), &size);
        libdeflate_free_decompressor(d);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, *input, out == input->original);
}

const bool kRegistered = [] {
    for (const Input& input : Inputs()) {
        const std::string name = input.name;
        benchmark::RegisterBenchmark(("ours/" + name).c_str(), Ours, &input)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("zlib/" + name).c_str(), Zlib, &input)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("libdeflate/" + name).c_str(), Libdeflate, &input)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace

int main(int argc, char** argv) {
    return bench_support::RunWithRatios(argc, argv, "zlib");
}
