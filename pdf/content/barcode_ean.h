// EAN-13 and EAN-8 symbols: the digits' module patterns, the check digit and the human-readable
// pieces, worked out from the text alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

struct EanSymbol {
    // Human-readable pieces: the lone first digit (EAN-13 only, else empty), the left and the
    // right half; the right half ends with the check digit.
    std::string first_piece;
    std::string left_piece;
    std::string right_piece;
    int check_digit = 0;
    // Seven modules per digit ('1' dark), in drawing order from the left, the right half already
    // mirrored; the guard bars are not included.
    std::vector<std::string> left_patterns;
    std::vector<std::string> right_patterns;
};

// Any text is taken: a character that is not a digit, and a missing one, counts as 0 (the
// pieces still show the text's own characters). Characters after the twelfth (EAN-13) or the
// seventh (EAN-8) are ignored.
EanSymbol EncodeEan13(std::string_view text);
EanSymbol EncodeEan8(std::string_view text);

} // namespace pagora::detail
