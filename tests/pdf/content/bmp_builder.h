// Small uncompressed bitmap files built in memory for the image tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bmp_test {

using Bytes = std::vector<std::uint8_t>;
using Colour = std::array<std::uint8_t, 3>; // red, green, blue

inline void Put(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A file with a 40-byte information header around rows already padded to 4 bytes.
inline Bytes Bitmap(int width, int height, int depth, const std::vector<Colour>& palette,
                    const Bytes& rows) {
    const auto table = static_cast<std::uint32_t>(palette.size() * 4);
    const std::uint32_t offset = 14 + 40 + table;
    Bytes out = {'B', 'M'};
    Put(out, offset + static_cast<std::uint32_t>(rows.size()), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(width), 4);
    Put(out, static_cast<std::uint32_t>(height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(depth), 2);
    Put(out, 0, 4);
    Put(out, static_cast<std::uint32_t>(rows.size()), 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, static_cast<std::uint32_t>(palette.size()), 4);
    Put(out, 0, 4);
    for (const Colour& c : palette)
        out.insert(out.end(), {c[2], c[1], c[0], 0});
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

// 24 bits per pixel, every pixel a different shade.
inline Bytes Bitmap24(int width, int height) {
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rows.insert(rows.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                     static_cast<std::uint8_t>(x + y)});
        }
        rows.resize(rows.size() + static_cast<std::size_t>((4 - width * 3 % 4) % 4), 0);
    }
    return Bitmap(width, height, 24, {}, rows);
}

// 8 bits per pixel over a palette, pixel values cycling through it.
inline Bytes Bitmap8(int width, int height, const std::vector<Colour>& palette) {
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rows.push_back(static_cast<std::uint8_t>((x + y) % static_cast<int>(palette.size())));
        }
        rows.resize(rows.size() + static_cast<std::size_t>((4 - width % 4) % 4), 0);
    }
    return Bitmap(width, height, 8, palette, rows);
}

inline std::string AsText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace bmp_test
