// Fuzz target: the bitmap reader over arbitrary bytes. Besides not crashing, a picture it
// accepts must be consistent with its own description.
#include "pdf/content/bmp_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pagora::detail::BmpResult result = pagora::detail::ReadBmp({data, size});
    const pagora::detail::DecodedImage& image = result.image;
    if (result.error != 0) {
        if (!image.samples.empty() || !image.palette.empty()) std::abort();
        return 0;
    }
    const std::uint64_t row_bytes = (static_cast<std::uint64_t>(image.width) * image.bits + 7) / 8;
    if (image.width <= 0 || image.height <= 0 ||
        image.samples.size() != row_bytes * static_cast<std::uint64_t>(image.height)) {
        std::abort();
    }
    if (image.bits <= 8 ? image.palette.size() != (3u << image.bits) : !image.palette.empty()) {
        std::abort();
    }
    return 0;
}
