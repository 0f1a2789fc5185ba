// The inflate decoder: raw DEFLATE data (the zlib stream of a "/FlateDecode" stream without its
// two header bytes) to the bytes it encodes. A pure unit over byte spans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace pagora::detail {

// No stream of a source document may expand beyond this many bytes (error 7), so that a few
// kilobytes of input can never make the reader reserve gigabytes.
inline constexpr std::size_t kMaxInflatedBytes = 256u * 1024 * 1024;

// What a decoding met besides well-formed blocks; decoding goes on after both.
inline constexpr int kInflateOk = 0;
inline constexpr int kInflateReservedBlock = -1;   // a block of the reserved type 3 (skipped)
inline constexpr int kInflateBadStoredLength = -2; // a stored block whose LEN and NLEN disagree

struct InflateOptions {
    // The output buffer first reserves this many bytes plus one.
    std::size_t initial_size = 1000;
    // Gives length code 285 its Deflate64 meaning: 3 plus a 16-bit extra value.
    bool deflate64 = false;
    std::size_t output_cap = kMaxInflatedBytes;
};

struct InflateResult {
    // kInflateOk, or the status of the last block that was unusual.
    int status = kInflateOk;
    std::vector<std::uint8_t> bytes;
};

// Decodes the blocks up to and including the final one; anything after it (the Adler-32
// checksum) is ignored. Distance codes 30 and 31 (bases 32769 and 49153, 14 extra bits) and the
// length symbols 286 and 287 (a match of length 0) are accepted. Raises error 9 for input that
// ends before the final block, a code that cannot be decoded (over-subscribed or incomplete
// codes, except the three incomplete forms that decode unambiguously: a lone code of length 1
// for literals/lengths or for distances, and no distance code at all), a malformed code-length
// sequence, or a distance reaching before the first output byte; raises error 7 when the output
// would pass the cap. The whole output so far is the window.
InflateResult InflateBytes(std::span<const std::uint8_t> input, const InflateOptions& options = {});

// Receives the decoded bytes piece by piece, in order.
using InflateSink = std::function<void(std::span<const std::uint8_t>)>;

// Decodes like InflateBytes but keeps only the last 64 KiB of output (the farthest a match
// reaches back) and hands everything else to the sink as it goes, so that memory stays bounded
// whatever the data expands to. The same errors are raised, possibly after part of the output
// has been handed on; the cap counts every byte. Returns the status.
int InflateTo(std::span<const std::uint8_t> input, const InflateOptions& options,
              const InflateSink& sink);

// The reader's form: data holds the raw DEFLATE data and is replaced by the decoded bytes when
// decoding ends normally; on an error it is left unchanged. Returns the status.
int Inflate(std::vector<std::uint8_t>& data, std::int32_t initial_size, bool deflate64);

} // namespace pagora::detail
