// Interleaved 2 of 5 symbols: the optional modulo-10 check digit, the even digit count and the
// narrow and wide elements to draw.
#pragma once

#include <string>
#include <string_view>

namespace pagora::detail {

struct Interleaved2of5Symbol {
    // The characters encoded: the text, its check digit when asked, and a leading "0" when that
    // makes the count even.
    std::string digits;
    // 'n' narrow and 'w' wide, bar and space alternating from a bar: the start, the digit pairs
    // interleaved, the stop with its trailing space.
    std::string elements;
};

// A character that is not a digit counts as 0 and is drawn as one. Raises error 6
// ("DrawBarCode") for more than 32,767 characters or more than 6,551 digits to draw.
Interleaved2of5Symbol EncodeInterleaved2of5(std::string_view text, bool add_check);

} // namespace pagora::detail
