// The encoder behind the /ASCII85Decode stream filter.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pagora::detail {

// Groups of four bytes as five base-85 digits ("!" to "u"), a whole zero group as "z", a short
// last group as its first count + 1 digits; then "~>". No start marker, no line breaks.
std::vector<std::uint8_t> EncodeASCII85(std::span<const std::uint8_t> data);

} // namespace pagora::detail
