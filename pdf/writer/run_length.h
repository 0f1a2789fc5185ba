// The run-length encoder behind the /RunLengthDecode stream filter.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pagora::detail {

// Runs of 2 to 128 equal bytes become a length byte (257 - count) and the byte; everything else
// goes out in literal runs of 1 to 128 bytes (length byte count - 1). Ends with the marker 128.
std::vector<std::uint8_t> EncodeRunLength(std::span<const std::uint8_t> data);

} // namespace pagora::detail
