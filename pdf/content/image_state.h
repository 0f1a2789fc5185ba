// State of the image registry: one record per image read or given, in the order registered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

// How an image's rows are stored, which decides the placement matrix.
enum class ImageKind : std::uint8_t {
    kJpegOrPng = 0, // rows from the top down
    kTga = 1,       // rows from the bottom up
    kRaw = 2,       // AddImagePattern's samples, rows from the top down
    kGif = 3,       // rows from the bottom up
    kBmp = 4,       // rows from the bottom up
};

struct ImageRecord {
    std::string name;        // cache key: the upper-cased alias, or the file name as the
                             // file system compares it (upper-cased on Windows only)
    bool alias = false;      // registered by AddImage or AddImagePattern
    std::int32_t width = 0;  // pixels
    std::int32_t height = 0; // pixels
    std::int16_t frame = 0;
    ImageKind kind = ImageKind::kJpegOrPng;
    // The image object written for the record; 0 when none could be written, so that nothing
    // ever names an object that does not exist.
    int object_number = 0;
};

struct ImageState {
    std::vector<ImageRecord> images;
};

} // namespace pagora::detail
