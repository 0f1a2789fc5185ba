// The powers of ten that round a value to the document's precision.
#pragma once

#include <array>

namespace pagora::detail {

// Entry i is 10 to the power i, for the document's precision of 0 to 6 decimals.
inline constexpr std::array<float, 7> kPowersOfTen = {1.0f,     10.0f,     100.0f,    1000.0f,
                                                      10000.0f, 100000.0f, 1000000.0f};

} // namespace pagora::detail
