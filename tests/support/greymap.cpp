#include "tests/support/greymap.h"

#include <algorithm>
#include <cstddef>
#include <sstream>

namespace testing_support {

int DarkPixels(const std::string& pgm, int x0, int y0, int x1, int y1) {
    std::istringstream in(pgm);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    const auto start = static_cast<std::size_t>(in.tellg());
    int dark = 0;
    for (int y = std::max(y0, 0); y < y1 && y < height; ++y) {
        for (int x = std::max(x0, 0); x < x1 && x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(y * width + x);
            if (at < pgm.size() && static_cast<unsigned char>(pgm[at]) < 128) ++dark;
        }
    }
    return dark;
}

} // namespace testing_support
