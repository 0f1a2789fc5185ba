// The appearance streams of form fields in an archival document: a viewer there must show the
// fields as the file draws them, never draw them itself, so every widget carries its own.
#pragma once

#include "pdf/writer/writer_state.h"

#include <array>
#include <cstdint>
#include <string>

namespace pagora::detail {

struct FieldLook {
    int field_type = 0;          // 0 text, 1 check box, 2 list, 3 combo, 4 radio, 5 push
    float width = 0, height = 0; // the widget's size in points
    std::string value;           // the text, the "|"-separated options, or the label
    int default_option = -1;     // the chosen option of a list or combo box
    std::string mark;            // the check mark's dingbat code ("4", "l", "n", ...)
    std::int32_t options = 0;    // the caller's DrawField options
    int rotation = 0;            // degrees, taken from the options
    // Colour operators ("0 0 1 rg"), empty for none: the background's fill, the border's
    // stroke, and the text colour for filling (text, marks) and stroking (drawn marks).
    std::string background, border, text_fill, text_stroke;
    float border_width = 1; // points
    std::string font;       // the font's resource name token ("/A1+F1")
    float font_size = 0;    // points; 0 for a size that fits the widget
    const std::array<std::int16_t, 256>* widths = nullptr; // the font's advances, 1/1000 em
};

// Writes the appearance stream objects of a widget and returns its entry " /AP << ... >>": one
// normal appearance, or an on ("/Yes") and an off ("/Off") appearance for the buttons that have
// a state. The streams use the document's common resources, which hold every font.
std::string WriteFieldAppearance(WriterState& s, const FieldLook& look);

} // namespace pagora::detail
