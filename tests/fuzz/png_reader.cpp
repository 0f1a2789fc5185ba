// Fuzz target: the PNG reader over arbitrary bytes. Besides not crashing, a picture it accepts
// must be consistent with its own description, and a refusal must leave nothing behind.
#include "pdf/content/png_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pagora::detail::PngResult png = pagora::detail::ReadPng({data, size});
    if (!png.accepted) {
        if (!png.data.empty() || !png.palette.empty()) std::abort();
        return 0;
    }
    if (png.error != 0 || png.width <= 0 || png.height <= 0 || png.data.size() < 2) std::abort();
    if (png.indexed != !png.palette.empty() || png.palette.size() % 3 != 0 ||
        png.palette.size() > 768) {
        std::abort();
    }
    if (png.bits != 1 && png.bits != 2 && png.bits != 4 && png.bits != 8) std::abort();
    return 0;
}
