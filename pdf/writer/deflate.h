// The deflate compressor behind the /FlateDecode stream filter: a zlib stream (header 78 5E,
// Adler-32 trailer) holding the whole input as one block of the cheapest kind (stored, fixed or
// dynamic codes), found by a lazy match search whose effort follows one of six configuration rows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pagora::detail {

// Compresses data at a level from 0 (fastest) to 5 (smallest); higher levels use level 5 and
// negative ones level 0. Working memory is kept between calls, so one encoder per document saves
// the allocations of every stream after the first.
class FlateEncoder {
public:
    // Replaces out by the zlib stream of data.
    void Encode(std::span<const std::uint8_t> data, int level, std::vector<std::uint8_t>& out);

    struct Match {
        std::uint32_t literals_before; // literal bytes between the previous match and this one
        std::uint16_t length;          // 3 to 258
        std::uint16_t distance;        // 1 to 32767
    };

private:
    std::vector<std::uint32_t> head_; // newest position + 1 per hash bucket, 0 for none
    std::vector<std::uint16_t> prev_; // per position (modulo the ring): distance to the older one
    std::vector<Match> matches_;
};

// One-shot form of FlateEncoder::Encode.
std::vector<std::uint8_t> EncodeFlate(std::span<const std::uint8_t> data, int level);

// Adler-32 of data, continuing from adler (1 for a fresh checksum).
std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler = 1);

} // namespace pagora::detail
