// Fuzz target: the JPEG marker walk over arbitrary bytes. Besides not crashing, a picture it
// accepts must have a size, a known colour space and data that begins with its start marker.
#include "pdf/content/jpeg_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pagora::detail::JpegResult result = pagora::detail::ReadJpeg({data, size});
    if (result.error != 0) return 0;
    const bool known_space = (result.components == 1 && result.colour_space == "DeviceGray") ||
                             (result.components == 3 && result.colour_space == "DeviceRGB") ||
                             (result.components == 4 && result.colour_space == "DeviceCMYK");
    if (!known_space || result.width <= 0 || result.height <= 0 || result.start + 2 > size ||
        data[result.start] != 0xFF || data[result.start + 1] != 0xD8) {
        std::abort();
    }
    return 0;
}
