// A slow, literal model of the deflate compressor: three-level lists of prefixes, position chains
// with a resumable cursor, a byte token buffer, two separate searches for the lazy step and a
// quadratic code builder. The fast encoder must produce exactly its bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace model {

std::vector<std::uint8_t> ModelEncodeFlate(std::span<const std::uint8_t> data, int level);

} // namespace model
