// The LZW encoder behind the /LZWDecode stream filter (early change on, as readers expect by
// default).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pagora::detail {

// Codes grow from 9 bits up to 9 + level bits; a Clear code starts the output and follows the
// last entry the widest code can name. Levels above 3 use 3 (12 bits, the most a reader
// accepts), negative ones 0. Empty input gives just Clear and end-of-data.
std::vector<std::uint8_t> EncodeLZW(std::span<const std::uint8_t> data, int level);

} // namespace pagora::detail
