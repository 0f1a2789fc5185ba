// Code 39 symbols in full ASCII: the text as code characters, the optional modulo-43 check
// character and the element patterns to draw.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

struct Code39Symbol {
    // The code characters drawn, start and stop "*" included (and the check character).
    std::string code_characters;
    // The check character, or 0 without one.
    char check_character = 0;
    // One pattern per drawn code character before the tail, from the start character on:
    // 'b' narrow bar, 'w' narrow space, 'B' wide bar, 'W' wide space. The last one carries the
    // tail: two narrow spaces, the check character and two more narrow spaces when asked, and
    // the stop character. Empty for an empty text.
    std::vector<std::string> patterns;
};

// The code characters that stand for one character of a text: itself for a character of the
// symbology's own set, else its two-character full-ASCII sequence; empty for a code above 127.
std::string Code39Sequence(char c);

// Nothing for a text holding a character above 127, which no code characters can carry.
// Raises error 6 ("DrawBarCode") for a text of more than 32,767 characters.
std::optional<Code39Symbol> EncodeCode39(std::string_view text, bool add_check);

} // namespace pagora::detail
