// Fuzz target: the TGA reader over arbitrary bytes. Besides not crashing, a picture it accepts
// must be consistent with its own description.
#include "pdf/content/tga_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pagora::detail::TgaResult result = pagora::detail::ReadTga({data, size});
    const pagora::detail::DecodedImage& image = result.image;
    if (result.error != 0) {
        if (!image.samples.empty() || !result.colour_key.empty()) std::abort();
        return 0;
    }
    if (image.bits != 24 || image.width <= 0 || image.height <= 0 || !image.palette.empty() ||
        image.samples.size() != static_cast<std::uint64_t>(image.width) *
                                    static_cast<std::uint64_t>(image.height) * 3) {
        std::abort();
    }
    return 0;
}
