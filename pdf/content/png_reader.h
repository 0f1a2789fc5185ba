// PNG files to image objects without re-encoding: a pure reader over the file's bytes that
// gathers the compressed rows for a "/FlateDecode" stream with the PNG predictors.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pagora::detail {

struct PngResult {
    // 0 when the picture was read or refused silently; otherwise the run-time error number:
    // 53 no data (fewer than two bytes), 5 an indexed picture without palette or a picture
    // without image data, 6 a width or height of 0 or above 2^31 - 1, 7 a picture too large
    // (more than 16384 pixels on a side, or more rows than its data can give), 9 data cut short
    // or damaged (a chunk or zlib checksum that does not match, compressed rows that do not
    // decode to at least the rows the header declares, or rows with an unknown filter).
    int error = 0;
    // False with error 0 for the forms the pass-through cannot express (the registry records
    // them as error 5): another signature, no leading header chunk, 16-bit samples, alpha
    // channels, interlacing, or methods other than 0.
    bool accepted = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 0;
    bool indexed = false;
    std::string colour_space;          // "DeviceGray" or "DeviceRGB" for direct colours
    std::vector<std::uint8_t> palette; // indexed only: red, green, blue per entry
    // The transparency chunk, each entry's alpha rounded to none or full: "/Mask" ranges when
    // one range says it (the transparent grey or colour, or one run of palette entries), else
    // for an indexed picture a mask of one bit a pixel, 1 transparent, rows top first.
    std::string colour_key;
    std::vector<std::uint8_t> mask;
    // The zlib data of every image data chunk, in order: kept as the image object's samples
    // without another copy.
    std::string data;
};

// Reads grey (1, 2, 4, 8 bits), truecolour (8 bits) and indexed (1, 2, 4, 8 bits) pictures.
// The compressed rows are decoded once to check that they are whole and well formed, then kept
// as they are. No read leaves the span.
PngResult ReadPng(std::span<const std::uint8_t> data);

// The same over a whole file that the reader may keep: the compressed rows are gathered at the
// front of the file's own buffer, which then becomes `data`, so that a large picture is held
// once rather than as its file and again as its rows.
PngResult ReadPngFile(std::string file);

} // namespace pagora::detail
