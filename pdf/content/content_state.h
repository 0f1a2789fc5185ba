// State of the content subsystem: graphic state, colours, position, images and the content being
// built.
#pragma once

#include "pdf/content/image_state.h"
#include "pdf/content/rich_text_state.h"
#include "pdf/content/text_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

// One saved drawing state of the state stack (BeginSpace, tables, barcode captions).
struct GraphicStateRecord {
    float scale_factor = 0;
    float current_x = 0;
    float current_y = 0;
    std::string fill_color;
    std::string fill_pattern_color;
    std::string line_color;
    std::string line_pattern_color;
    std::string text_color;
    std::string text_pattern_color;
    bool no_fill = false;
    bool no_stroke = false;
    bool no_text_color = false;
    std::string font_family;
    int32_t font_style = 0;
    float font_size = 0;
    int32_t font_encoding = 0;
    float line_width = 0;
};

// One layer (optional-content group), in order of creation.
struct LayerRecord {
    std::string name; // as first given, case kept
    bool start_state = true;
    bool show_in_list = true;
    int object_number = 0; // set when the document ends
    std::string parent;    // empty for a top-level layer
};

// One membership group: content shown by the states of several layers.
struct ConditionalLayerRecord {
    int16_t visibility = 0; // 0 any on, 1 any off, 2 all on, 3 all off
    std::string layers;     // member names separated by ","
};

struct ContentState {
    // The page cursor and the text settings, which every page and overlay resets.
    float current_x = 0.0f, current_y = 0.0f; // points from the margin area's top-left corner
    float char_spacing = 0.0f, word_spacing = 0.0f;
    float horizontal_scaling = 100.0f;
    float line_spacing = 1.0f;
    bool path_open = false; // a path begun and not yet painted, whose end a segment continues

    // Colour strings: "#r g b", "@c m y k", "%grey", empty (no colour) or a pattern name, whose
    // pattern colour (for uncoloured patterns) is kept in `kept`. The fill starts black, as every
    // page does: a library that believed in another colour would skip writing the one it wants.
    std::string fill_color = "#0 0 0";
    bool no_fill = false;
    // Whether the caller chose the fill. Form fields and notes take their background from it;
    // until the caller picks one they are white, not the page's black.
    bool fill_color_chosen = false;
    const std::string& AppearanceFill() const {
        static const std::string kWhite = "#1 1 1";
        return fill_color_chosen ? fill_color : kWhite;
    }
    std::string line_color = "#0 0 0";
    bool no_stroke = false;
    std::string text_color = "#0 0 0";
    bool no_text_color = false;
    // The saved drawing states, innermost last.
    std::vector<GraphicStateRecord> state_stack;
    // For each BeginSpace not yet ended, the page content its "q" went into (a page serial), so
    // that EndSpace writes "Q" only where it closes a "q" of the same content stream.
    std::vector<uint32_t> open_spaces;
    uint32_t page_serial = 0;

    // Which transparency states the document already holds, by value (opacity 0 to 100, blend
    // mode 0 to 15).
    std::array<bool, 101> alpha_states{};
    std::array<bool, 101> alpha_fill_states{};
    std::array<bool, 101> alpha_line_states{};
    std::array<bool, 16> blend_states{};

    // Layers and membership groups, in order of creation; the file numbers them from 1.
    std::vector<LayerRecord> layers;
    std::vector<ConditionalLayerRecord> conditional_layers;
    // The position of each layer by its name, compared without case (ASCII letters): an
    // open-addressed table of positions plus one (0: a free slot) with the hashes of the names,
    // its size a power of two; a document can hold tens of thousands of layers.
    struct LayerSlot {
        std::size_t hash = 0;
        std::size_t layer = 0;
    };
    std::vector<LayerSlot> layer_slots;

    // Images.
    ImageState images;

    // What Abort keeps: these belong to the object rather than to one document.
    struct Kept {
        // The colours that paint uncoloured patterns, beside the fill, stroke and text colours.
        std::string fill_pattern_color;
        std::string line_pattern_color;
        std::string text_pattern_color;
        // Stroke width in points. A new object starts at the PDF default of 1 so that a state
        // restore never writes a zero (hairline) width that nobody asked for.
        float line_width = 1;
        // Box of the last drawn element in points of the default PDF space (y upwards).
        float last_box_x1 = 0;
        float last_box_y1 = 0;
        float last_box_x2 = 0;
        float last_box_y2 = 0;
        // The text box style; Abort resets its border only.
        TextBoxStyle box_style;
        // Named text styles and open tables.
        RichTextState rich_text;
        TableState tables;
    };
    Kept kept;
};

} // namespace pagora::detail
