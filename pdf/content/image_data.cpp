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

} // namespace pagora::detail
