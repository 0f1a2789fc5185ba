// Encodes arbitrary data in base 85 and reads it back with the import's own decoder, which is
// separate code. The text must hold only base-85 digits and "z" before one closing "~>", use "z"
// for every whole zero group and never for a short one, have the length the groups give, and
// decode to the data.
#include "pdf/writer/ascii85.h"
#include "pdf/import/stream_filters.h"
#include "tests/fuzz/round_trip.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> data(bytes, size);
    const std::vector<std::uint8_t> text = pagora::detail::EncodeASCII85(data);
    if (text.size() < 2 || text[text.size() - 2] != '~' || text.back() != '>') std::abort();
    const std::span<const std::uint8_t> body(text.data(), text.size() - 2);
    const auto digit = [](std::uint8_t c) { return (c >= '!' && c <= 'u') || c == 'z'; };
    if (!std::all_of(body.begin(), body.end(), digit)) std::abort();

    // Each whole group of four bytes is "z" when all four are zero, else five digits; a short
    // last group of n bytes is n + 1 digits.
    std::size_t expected = 0;
    std::size_t at = 0;
    for (; at + 4 <= data.size(); at += 4) {
        const bool zero = std::all_of(data.begin() + static_cast<std::ptrdiff_t>(at),
                                      data.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                      [](std::uint8_t b) { return b == 0; });
        expected += zero ? 1 : 5;
    }
    if (at < data.size()) expected += data.size() - at + 1;
    if (body.size() != expected) std::abort();

    fuzz_support::RequireRoundTrip(data, [&] { return pagora::detail::DecodeASCII85(text); });
    return 0;
}
