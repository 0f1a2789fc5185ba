// Encodes arbitrary data as hexadecimal text and reads it back with the import's own decoder,
// which is separate code. The text must hold exactly two upper-case digits per byte and nothing
// else, and decode to the data.
#include "pdf/writer/ascii_hex.h"
#include "pdf/import/stream_filters.h"
#include "tests/fuzz/round_trip.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> data(bytes, size);
    const std::vector<std::uint8_t> text = pagora::detail::EncodeASCIIHex(data);
    if (text.size() != 2 * data.size()) std::abort();
    const auto digit = [](std::uint8_t c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    };
    if (!std::all_of(text.begin(), text.end(), digit)) std::abort();
    fuzz_support::RequireRoundTrip(data, [&] { return pagora::detail::DecodeASCIIHex(text); });
    return 0;
}
