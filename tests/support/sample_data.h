// Reproducible inputs for the stream encoders' tests and benchmarks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

// A small fixed-seed generator, so every run sees the same bytes.
class SampleRandom {
public:
    explicit SampleRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 11);
    }

private:
    std::uint64_t state_;
};

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint64_t seed) {
    SampleRandom random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random.Next() >> 8);
    return bytes;
}

// Page content as a text page produces it: positioned lines of words in a few fonts, CR-ended.
inline std::vector<std::uint8_t> PageContentText(std::size_t size, std::uint64_t seed = 7) {
    static const char* const kWords[] = {"Indemnit\xE9",
                                         "parking",
                                         "Zurich",
                                         "place",
                                         "priv\xE9",
                                         "v\xE9hicule",
                                         "the",
                                         "and",
                                         "compensation",
                                         "mandat",
                                         "Lausanne",
                                         "Gen\xE8ve",
                                         "ticket",
                                         "montant",
                                         "CHF",
                                         "50.00",
                                         "Stra\xDF"
                                         "e",
                                         "de",
                                         "la",
                                         "Bern",
                                         "signature",
                                         "op\xE9rateur",
                                         "2026",
                                         "payment"};
    SampleRandom random(seed);
    std::string text;
    text.reserve(size + 200);
    int line = 0;
    char buffer[96];
    while (text.size() < size) {
        std::snprintf(buffer, sizeof buffer, "\rBT /A3F2C1+F%u %u Tf 1 0 0 -1 %.3f %.3f Tm (",
                      random.Next() % 3 + 1, 9 + random.Next() % 4, 56.693 + (line % 3) * 0.5,
                      72.0 + (line % 50) * 14.4);
        text += buffer;
        const unsigned words = 4 + random.Next() % 9;
        for (unsigned w = 0; w < words; ++w) {
            if (w > 0) text += ' ';
            text += kWords[random.Next() % (sizeof kWords / sizeof kWords[0])];
        }
        text += ") Tj ET";
        if (line % 7 == 0) {
            std::snprintf(buffer, sizeof buffer, "\r%.3f %.3f %.3f rg %.3f w", (line % 10) / 10.0,
                          0.2, 0.5, 0.25 + (line % 4) * 0.25);
            text += buffer;
        }
        ++line;
    }
    text.resize(size);
    return {text.begin(), text.end()};
}

// An uncompressed RGB picture: smooth gradients with a few flat shapes and some noise, as a
// scanned or rendered page image has.
inline std::vector<std::uint8_t> RgbImage(int width, int height, std::uint64_t seed = 11) {
    SampleRandom random(seed);
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool box = (x / 64 + y / 48) % 5 == 0;
            const int noise = static_cast<int>(random.Next() % 5) - 2;
            const int r = box ? 250 : (x * 255 / width + noise);
            const int g = box ? 250 : (y * 255 / height + noise);
            const int b = box ? 30 : ((x + y) % 256);
            pixels.push_back(static_cast<std::uint8_t>(std::clamp(r, 0, 255)));
            pixels.push_back(static_cast<std::uint8_t>(std::clamp(g, 0, 255)));
            pixels.push_back(static_cast<std::uint8_t>(std::clamp(b, 0, 255)));
        }
    }
    return pixels;
}

inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline const char* const kSampleFontPath =
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

} // namespace testing_support
