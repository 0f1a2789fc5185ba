// Word wrapping of a plain text into the lines of a box, with the text that does not fit handed
// back. Pure: widths come from a function, so the layout is tested with made-up widths.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

struct TextBoxLine {
    std::string text;
    bool first = false; // opens a paragraph: drawn after the indentation
    bool last = false;  // closes its paragraph: never justified
};

struct TextBoxLayout {
    std::vector<TextBoxLine> lines;
    // What did not fit: a continuation marker when the break fell inside a paragraph, the rest of
    // that paragraph, then the later paragraphs separated by CR LF. Empty when everything fitted.
    std::string remainder;
};

struct TextBoxArea {
    float inner_width = 0;  // user units
    float inner_height = 0; // user units
    float scale_factor = 1; // points per user unit
    float line_height = 0;  // points, line spacing included
    float indent = 0;       // user units, first line of each paragraph
    std::int32_t align = 0; // alignment bits (justify, shrink, fit and cut matter here)
};

using TextWidth = std::function<float(std::string_view)>;

// Lays out a non-empty text. Raises error 5 when the area is narrower than the cut marker.
TextBoxLayout LayoutTextBox(std::string_view text, const TextBoxArea& area, const TextWidth& width);

} // namespace pagora::detail
