// Decoders of the stream filters page content comes in: Flate, ASCII85, ASCIIHex and
// run-length, alone or chained. A pure unit over bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace pagora::detail {

// The data decoded through every filter of the /Filter value as written (a name or an array of
// names, in the order they were applied to decode), none when a filter is one this reader does
// not decode or has parameters (DecodeParms) it does not apply. Raises 321 for damaged data of a
// filter it decodes, 7 when the data would expand past the reader's bound.
std::optional<std::vector<std::uint8_t>> DecodeFilters(std::vector<std::uint8_t> data,
                                                       std::string_view filter,
                                                       std::string_view decode_parms = {});

std::vector<std::uint8_t> DecodeASCII85(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> DecodeASCIIHex(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> DecodeRunLength(std::span<const std::uint8_t> data);

} // namespace pagora::detail
