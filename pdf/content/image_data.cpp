#include "pdf/content/image_data.h"

#include <cstddef>

namespace pagora::detail {

std::string ColourKeyFor(const DecodedImage& image, std::uint8_t red, std::uint8_t green,
                         std::uint8_t blue) {
    if (image.bits == 24) {
        std::string key;
        for (const std::uint8_t component : {red, green, blue}) {
            const std::string number = std::to_string(component);
            key += number + " " + number + " ";
        }
        return key;
    }
    std::string key;
    for (std::size_t i = 0; i + 2 < image.palette.size(); i += 3) {
        if (image.palette[i] == red && image.palette[i + 1] == green &&
            image.palette[i + 2] == blue) {
            const std::string index = std::to_string(i / 3);
            key = index + " " + index + " ";
        }
    }
    return key;
}

std::vector<std::uint8_t> MaskFromFlags(const std::vector<std::uint8_t>& transparent,
                                        std::size_t width, std::size_t height) {
    const std::size_t row_bytes = (width + 7) / 8;
    std::vector<std::uint8_t> mask(row_bytes * height, 0);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            if (transparent[y * width + x] != 0)
                mask[y * row_bytes + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
    }
    return mask;
}

} // namespace pagora::detail
