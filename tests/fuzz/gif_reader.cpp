// Fuzz target: the GIF reader over arbitrary bytes, for the first and the second frame. Besides
// not crashing, a picture it accepts must be consistent with its own description.
#include "pdf/content/gif_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const int frame : {1, 2}) {
        const pagora::detail::GifResult result = pagora::detail::ReadGif({data, size}, frame);
        const pagora::detail::DecodedImage& image = result.image;
        if (result.error != 0) {
            if (!image.samples.empty() || !image.palette.empty()) std::abort();
            continue;
        }
        // A first frame keeps its palette; a later one is composed into red, green, blue.
        const bool composed = image.bits == 24;
        if (image.bits != 1 && image.bits != 2 && image.bits != 4 && image.bits != 8 && !composed)
            std::abort();
        const std::uint64_t row_bytes =
            (static_cast<std::uint64_t>(image.width) * image.bits + 7) / 8;
        if (image.width <= 0 || image.height <= 0 ||
            image.samples.size() != row_bytes * static_cast<std::uint64_t>(image.height) ||
            image.palette.size() != (composed ? 0u : 3u << image.bits)) {
            std::abort();
        }
    }
    return 0;
}
