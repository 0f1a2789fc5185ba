// The encoder behind the /ASCIIHexDecode stream filter.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pagora::detail {

// Two upper-case hexadecimal digits per byte, high digit first, nothing between them and no end
// marker (the file identifier's writer adds its own brackets).
std::vector<std::uint8_t> EncodeASCIIHex(std::span<const std::uint8_t> data);

} // namespace pagora::detail
