// State of the text boxes: the box style that stays in force for later boxes.
#pragma once

#include <cstdint>

namespace pagora::detail {

struct TextBoxStyle {
    // The lengths are kept in points (user units at the time of the call times the scale).
    float indentation = 0; // first line of each paragraph
    float padding_left = 0;
    float padding_top = 0;
    float padding_right = 0;
    float padding_bottom = 0;
    std::int32_t box_border = 15; // sides of the frame, as DrawRect takes them
    float box_radius = 0;         // user units, as DrawRect takes it
};

// The inside of a box in user units: its paddings (held in points) taken off. A box of height 0
// reaches down to the bottom margin (page_height_inside, from the top margin).
struct BoxInterior {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    float vertical_padding = 0; // the top and bottom paddings together
    float indent = 0;           // the first line of each paragraph
};

inline BoxInterior InteriorOf(const TextBoxStyle& style, float scale, float x, float y, float width,
                              float height, float page_height_inside) {
    BoxInterior box;
    box.x = x + style.padding_left / scale;
    box.width = width - (style.padding_right + style.padding_left) / scale;
    box.y = y + style.padding_top / scale;
    box.vertical_padding = (style.padding_bottom + style.padding_top) / scale;
    box.height = height != 0 ? height - box.vertical_padding
                             : (page_height_inside - y) - box.vertical_padding;
    box.indent = style.indentation / scale;
    return box;
}

// What a new document does to the box style: the border is reset, the indentation, paddings and
// radius stay with the object.
inline void ResetBoxStyle(TextBoxStyle& style) {
    style.box_border = 15;
}

} // namespace pagora::detail
