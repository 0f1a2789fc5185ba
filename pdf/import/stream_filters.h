// Decoders of the stream filters page content comes in: Flate, ASCII85, ASCIIHex and
// run-length, alone or chained. A pure unit over bytes.
#pragma once

#include "pdf/import/inflate.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace pagora::detail {

// How far the stored bytes of one stream may expand when decoded. Real streams (page content,
// object streams, cross-reference streams) expand a few times, seldom a hundred; a stream made
// to expand a thousandfold (a decompression bomb of a few kilobytes) is refused as soon as its
// output passes this, so it can never take more memory than an ordinary page's content.
inline constexpr std::size_t kMinExpansionBound = 16u * 1024 * 1024;
inline constexpr std::size_t kExpansionFactor = 128;
std::size_t ExpansionBound(std::size_t stored_size);

// The text of the error a stream expanding past its bound raises (number 7).
inline constexpr const char* kExpansionText =
    "Out of memory - stream data expands beyond its bound";

// How Flate data is decoded into memory. kExact decodes it twice: first only to measure it, in
// the decoder's window, so that data passing its bound is refused before any memory is taken,
// then into a buffer of exactly its size. kOnePass decodes it once into a buffer that doubles as
// it fills (up to one and a half times the bound at the end), for the streams read on every
// opening of a file (object and cross-reference streams).
enum class FlateMemory { kExact, kOnePass };

// The bytes of Flate data as a stream stores it (a zlib stream): none for no bytes at all, as
// blank pages of some writers store an empty stream under the filter. Raises 321 for damaged
// data (a code that cannot be decoded is damage of the file, not of the caller's index), 7 when
// the output would pass cap.
std::vector<std::uint8_t> InflateStreamData(std::span<const std::uint8_t> data, std::size_t cap,
                                            std::string_view operation,
                                            FlateMemory memory = FlateMemory::kExact);

// Decodes Flate data as InflateStreamData does, to check it, keeping nothing but the decoder's
// window: the same errors are raised, in memory that does not grow with the output.
void CheckStreamData(std::span<const std::uint8_t> data, std::size_t cap,
                     std::string_view operation);

// The data decoded through every filter of the /Filter value as written (a name or an array of
// names, in the order they were applied to decode), none when a filter is one this reader does
// not decode or has parameters (DecodeParms) it does not apply. Raises 321 for damaged data of a
// filter it decodes, 7 when the data would expand past the bound of the stored data.
// bound, when given, replaces the bound of the stored data.
std::optional<std::vector<std::uint8_t>> DecodeFilters(std::vector<std::uint8_t> data,
                                                       std::string_view filter,
                                                       std::string_view decode_parms = {},
                                                       std::optional<std::size_t> bound = {},
                                                       FlateMemory memory = FlateMemory::kExact);

std::vector<std::uint8_t> DecodeASCII85(std::span<const std::uint8_t> data,
                                        std::size_t bound = kMaxInflatedBytes);
std::vector<std::uint8_t> DecodeASCIIHex(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> DecodeRunLength(std::span<const std::uint8_t> data,
                                          std::size_t bound = kMaxInflatedBytes);

} // namespace pagora::detail
