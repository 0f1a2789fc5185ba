// POSTNET symbols: the ZIP or ZIP+4 digits, the check digit and the full and half bars.
#pragma once

#include <string>
#include <string_view>

namespace pagora::detail {

struct PostnetSymbol {
    // The digits encoded (5, or 9 for a ten-character text such as 12345-6789), check excluded.
    std::string digits;
    int check_digit = 0;
    // '1' full bar, '0' half bar: the frame bar, five bars per digit and the check, the frame.
    std::string bars;
};

// Any text is taken: characters 1 to 5, and 7 to 10 of a text of exactly ten characters; a
// character that is not a digit, and a missing one, counts as 0.
PostnetSymbol EncodePostnet(std::string_view text);

} // namespace pagora::detail
