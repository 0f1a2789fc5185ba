// PNG files made in memory from rows of samples, each row a filter byte and its samples, for
// tests and benchmarks that need pictures of a size no fixture file should have.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace testing_support {

// An 8-bit PNG of the colour type given (0 grey, 2 truecolour) whose rows are compressed by zlib
// at its default level and split into image data chunks of at most chunk_bytes.
inline std::vector<std::uint8_t> PngFile(std::uint32_t width, std::uint32_t height,
                                         std::uint8_t colour_type,
                                         const std::vector<std::uint8_t>& rows,
                                         std::size_t chunk_bytes = 65536) {
    using Bytes = std::vector<std::uint8_t>;
    Bytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    const auto chunk = [&](const char* type, const std::uint8_t* body, std::size_t size) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(static_cast<std::uint8_t>(size >> shift));
        const std::size_t start = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), body, body + size);
        const uLong crc = crc32(0, png.data() + start, static_cast<uInt>(png.size() - start));
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(static_cast<std::uint8_t>(crc >> shift));
    };
    Bytes header;
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(static_cast<std::uint8_t>(value >> shift));
    header.insert(header.end(), {8, colour_type, 0, 0, 0});
    chunk("IHDR", header.data(), header.size());
    Bytes packed(compressBound(static_cast<uLong>(rows.size())));
    uLongf size = static_cast<uLongf>(packed.size());
    compress2(packed.data(), &size, rows.data(), static_cast<uLong>(rows.size()),
              Z_DEFAULT_COMPRESSION);
    packed.resize(size);
    for (std::size_t at = 0; at < packed.size(); at += chunk_bytes)
        chunk("IDAT", packed.data() + at, std::min(chunk_bytes, packed.size() - at));
    chunk("IEND", nullptr, 0);
    return png;
}

} // namespace testing_support
