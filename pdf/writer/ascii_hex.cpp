#include "pdf/writer/ascii_hex.h"

namespace pagora::detail {

std::vector<std::uint8_t> EncodeASCIIHex(std::span<const std::uint8_t> data) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> out(data.size() * 2);
    std::size_t o = 0;
    for (const std::uint8_t b : data) {
        out[o++] = static_cast<std::uint8_t>(kDigits[b >> 4]);
        out[o++] = static_cast<std::uint8_t>(kDigits[b & 0x0F]);
    }
    return out;
}

} // namespace pagora::detail
