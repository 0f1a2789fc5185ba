// Our GIF reader on a large picture: its first frame as palette indexes (the code stream decoded
// onto the screen), and the last frame of an animation composed over the ones before it into
// RGB samples (disposal to the background, restoring what a frame covered, transparency). No GIF
// decoder of the ones a user would pick instead is installed, so the figures stand for our reader
// alone, to compare one revision against another. Run as
//   taskset -c 3 build/bench/bench/bench_gif_reader --benchmark_repetitions=5
#include "pdf/content/gif_reader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 768;
constexpr int kMinCodeSize = 8;

// Codes of variable width packed from the least significant bit, as a GIF code stream holds them.
class CodeWriter {
public:
    void Put(std::uint32_t code, int width) {
        bits_ |= std::uint64_t{code} << held_;
        held_ += width;
        while (held_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            held_ -= 8;
        }
    }
    Bytes Finish() {
        if (held_ > 0) bytes_.push_back(static_cast<std::uint8_t>(bits_));
        return bytes_;
    }

private:
    Bytes bytes_;
    std::uint64_t bits_ = 0;
    int held_ = 0;
};

// LZW with the GIF's rules: a clear code first, codes one bit wider than the minimum size to
// start, one bit more each time the table reaches a power of two, a clear code well before 4096.
Bytes EncodeLzw(const Bytes& indexes) {
    const std::uint32_t clear = 1u << kMinCodeSize;
    std::unordered_map<std::uint32_t, std::uint32_t> table;
    CodeWriter out;
    int width = kMinCodeSize + 1;
    std::uint32_t next = clear + 2;
    out.Put(clear, width);
    std::uint32_t prefix = indexes[0];
    for (std::size_t i = 1; i < indexes.size(); ++i) {
        const std::uint32_t key = prefix << 8 | indexes[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        out.Put(prefix, width);
        if (next < 4000) {
            table.emplace(key, next++);
            if (next - 1 == 1u << width && width < 12) ++width;
        } else {
            out.Put(clear, width);
            table.clear();
            next = clear + 2;
            width = kMinCodeSize + 1;
        }
        prefix = indexes[i];
    }
    out.Put(prefix, width);
    out.Put(clear + 1, width);
    return out.Finish();
}

void PutU16(Bytes& gif, std::uint32_t value) {
    gif.push_back(static_cast<std::uint8_t>(value));
    gif.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Bands of colour with a little noise: long strings as a drawing has, short ones as a photograph.
Bytes Indexes(std::uint32_t width, std::uint32_t height, std::uint32_t seed) {
    Bytes indexes(std::size_t{width} * height);
    std::uint32_t state = seed;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const std::uint32_t noise = (state & 31) == 0 ? state >> 24 : 0;
            indexes[std::size_t{y} * width + x] =
                static_cast<std::uint8_t>((x / 16 + y / 24 + noise) & 0xFF);
        }
    }
    return indexes;
}

struct FrameSpec {
    std::uint32_t left, top, width, height;
    int disposal;
    int transparent; // -1 for none
};

// A GIF89a file with a 256-colour global table and the frames given, each covering its box.
Bytes MakeGif(const std::vector<FrameSpec>& frames) {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(gif, kWidth);
    PutU16(gif, kHeight);
    gif.insert(gif.end(), {0xF7, 0, 0});
    for (std::uint32_t i = 0; i < 256; ++i)
        gif.insert(gif.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                               static_cast<std::uint8_t>(i * 7)});
    std::uint32_t seed = 2463534242u;
    for (const FrameSpec& frame : frames) {
        const auto transparent = static_cast<std::uint8_t>(frame.transparent < 0 ? 0 : 1);
        gif.insert(gif.end(),
                   {0x21, 0xF9, 4, static_cast<std::uint8_t>(frame.disposal << 2 | transparent), 0,
                    0, static_cast<std::uint8_t>(frame.transparent & 0xFF), 0});
        gif.push_back(0x2C);
        PutU16(gif, frame.left);
        PutU16(gif, frame.top);
        PutU16(gif, frame.width);
        PutU16(gif, frame.height);
        gif.push_back(0);
        gif.push_back(kMinCodeSize);
        const Bytes codes = EncodeLzw(Indexes(frame.width, frame.height, seed += 7919));
        for (std::size_t at = 0; at < codes.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, codes.size() - at);
            gif.push_back(static_cast<std::uint8_t>(length));
            gif.insert(gif.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
                       codes.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        gif.push_back(0);
    }
    gif.push_back(0x3B);
    return gif;
}

void Read(benchmark::State& state, const Bytes* gif, int frame) {
    const pagora::detail::GifResult check = pagora::detail::ReadGif(*gif, frame);
    if (check.error != 0) {
        state.SkipWithError("the benchmark's GIF does not decode");
        return;
    }
    for (auto _ : state) {
        const pagora::detail::GifResult result = pagora::detail::ReadGif(*gif, frame);
        benchmark::DoNotOptimize(result.image.samples.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight);
    state.counters["gif_bytes"] = static_cast<double>(gif->size());
}

const bool kRegistered = [] {
    static const Bytes single = MakeGif({{0, 0, kWidth, kHeight, 0, -1}});
    static const Bytes animation = MakeGif({{0, 0, kWidth, kHeight, 1, -1},
                                            {100, 80, 600, 400, 3, 5},
                                            {300, 200, 700, 560, 2, 9},
                                            {0, 0, 512, 384, 0, 17}});
    benchmark::RegisterBenchmark("ours/first_frame", Read, &single, 1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ours/composed_fourth_frame", Read, &animation, 4)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
