// Fuzz target: the PNG reader over arbitrary bytes. Besides not crashing, a picture it accepts
// must be consistent with its own description, and a refusal must leave nothing behind. Reading
// the same bytes as a file whose buffer the reader may reuse must give the same result.
#include "pdf/content/png_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pagora::detail::PngResult png = pagora::detail::ReadPng({data, size});
    const pagora::detail::PngResult file =
        pagora::detail::ReadPngFile(std::string(reinterpret_cast<const char*>(data), size));
    if (file.error != png.error || file.accepted != png.accepted || file.data != png.data ||
        file.palette != png.palette || file.colour_key != png.colour_key ||
        file.width != png.width || file.height != png.height || file.bits != png.bits) {
        std::abort();
    }
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
