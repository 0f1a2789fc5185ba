#include "pdf/writer/ascii85.h"

namespace pagora::detail {

std::vector<std::uint8_t> EncodeASCII85(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 4 * 5 + 7);
    const std::size_t n = data.size();
    for (std::size_t i = 0; i < n; i += 4) {
        const std::size_t count = n - i < 4 ? n - i : 4;
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < 4; ++k)
            value = (value << 8) | (k < count ? data[i + k] : 0u);
        if (count == 4 && value == 0) {
            out.push_back('z');
            continue;
        }
        std::uint8_t digits[5];
        for (int k = 4; k >= 0; --k) {
            digits[k] = static_cast<std::uint8_t>('!' + value % 85);
            value /= 85;
        }
        out.insert(out.end(), digits, digits + count + 1);
    }
    out.push_back('~');
    out.push_back('>');
    return out;
}

} // namespace pagora::detail
