// Code 128 symbols in code sets B and C: the symbol values chosen by a fixed look-ahead, the
// modulo-103 check symbol and the module string to draw.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

struct Code128Symbol {
    // Symbol values from the start symbol to the last data symbol (switches included).
    std::vector<int> values;
    int check = 0;
    // '1' dark and '0' light modules: every symbol, the check symbol and the stop.
    std::string modules;
};

// Nothing for an empty text or one with a character outside the printable codes 32 to 126.
// Raises error 6 ("DrawBarCode") when a counter of the symbol passes 32,767: more than 32,767
// characters, a weighted symbol value above it, or more modules.
std::optional<Code128Symbol> EncodeCode128(std::string_view text);

} // namespace pagora::detail
