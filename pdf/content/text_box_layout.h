// Word wrapping of a plain text into the lines of a box, with the text that does not fit handed
// back. Pure: widths come from a function, so the layout is tested with made-up widths.
#pragma once

#include <cstddef>
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
    // What did not fit, as a text of its own (RestForm::kText): a continuation marker when the
    // break fell inside a paragraph, the rest of that paragraph, then the later paragraphs
    // separated by CR LF. Empty when everything fitted.
    std::string remainder;
    // Where the next box reads on in the text laid out: the word after the break, or the
    // paragraph after it; the text's size when everything fitted.
    std::size_t rest_from = 0;
};

// How the rest is handed back: as a text of its own as well (one copy of the whole rest per
// box), or only as where the next box reads on.
enum class RestForm { kText, kOffset };

struct TextBoxArea {
    float inner_width = 0;  // user units
    float inner_height = 0; // user units
    float scale_factor = 1; // points per user unit
    float line_height = 0;  // points, line spacing included
    float indent = 0;       // user units, first line of each paragraph
    std::int32_t align = 0; // alignment bits (justify, shrink, fit and cut matter here)
};

using TextWidth = std::function<float(std::string_view)>;

// Lays out a non-empty text from byte `from` on: 0, or where an earlier box of the same text
// broke. Raises error 5 when the area is narrower than the cut marker or `from` lies past the
// text's end.
TextBoxLayout LayoutTextBox(std::string_view text, const TextBoxArea& area, const TextWidth& width,
                            std::size_t from = 0, RestForm form = RestForm::kText);

} // namespace pagora::detail
