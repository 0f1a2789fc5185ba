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

// What a new document does to the box style: the border is reset, the indentation, paddings and
// radius stay with the object.
inline void ResetBoxStyle(TextBoxStyle& style) {
    style.box_border = 15;
}

} // namespace pagora::detail
