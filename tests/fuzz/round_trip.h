// The check the encoders' fuzz targets end with: a decoder that is not the encoder's own code
// gives the data back, without raising.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace fuzz_support {

template <typename Decode>
void RequireRoundTrip(std::span<const std::uint8_t> data, Decode decode) {
    try {
        const std::vector<std::uint8_t> back = decode();
        if (!std::equal(data.begin(), data.end(), back.begin(), back.end())) std::abort();
    } catch (...) {
        std::abort();
    }
}

} // namespace fuzz_support
