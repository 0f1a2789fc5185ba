// Encodes arbitrary data in runs and reads it back with the import's own decoder, which is
// separate code. The output must be whole records ending with its one end marker, and decode to
// the data.
#include "pdf/writer/run_length.h"
#include "pdf/import/stream_filters.h"
#include "tests/fuzz/round_trip.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> data(bytes, size);
    const std::vector<std::uint8_t> runs = pagora::detail::EncodeRunLength(data);
    if (runs.empty() || runs.back() != 128) std::abort();

    // Walk the records by the filter's definition: the end marker only at the end, every
    // record whole, a repeat of 2 to 128 bytes, a literal of 1 to 128.
    std::size_t i = 0;
    std::size_t decoded = 0;
    while (runs[i] != 128) {
        const std::uint8_t length = runs[i++];
        const std::size_t n = length < 128 ? std::size_t{length} + 1 : std::size_t{257} - length;
        const std::size_t stored = length < 128 ? n : 1;
        if (runs.size() - 1 - i < stored) std::abort();
        i += stored;
        decoded += n;
    }
    if (i != runs.size() - 1 || decoded != data.size()) std::abort();

    fuzz_support::RequireRoundTrip(data, [&] { return pagora::detail::DecodeRunLength(runs); });
    return 0;
}
