// Internal operations of the page content subsystem that the other subsystems and the later
// content operations (text, images, tables, barcodes, patterns) call.
#pragma once

#include "pdf/writer/members.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// ---- Colours ---------------------------------------------------------------------------------

// A colour string and, for a pattern name, the colour that paints an uncoloured pattern.
struct ParsedColor {
    std::string color;
    std::string pattern_color;
};

// Turns a caller's colour text into a colour string: a number (red in the low byte), "#RRGGBB",
// "%black percent", "@c;m;y;k" percentages or "@r;g;b" bytes, one of the named colours, or a
// pattern name optionally followed by "|" and its colour. Raises error 13 for "#" followed by
// something other than hexadecimal digits or a name that is neither a colour nor a pattern of the
// document, and error 6 for a number outside 32 bits; `operation` names the public operation for
// the error.
ParsedColor ParseColor(const Pagora::Members& m, std::string_view color,
                       std::string_view operation);

// "#RRGGBB" (the six characters after the "#") as "r g b", each component 0 to 1.
std::string HexColorToRgb(const Pagora::Members& m, std::string_view hex,
                          std::string_view operation);

// A colour byte as a component 0 to 1.
std::string ColorComponentText(const Pagora::Members& m, uint8_t value);

std::string BoolToText(bool value);

// Write the operator line that makes a colour string the fill (stroke) colour, and switch
// filling (stroking) on, or off for an empty colour string. Silent in an uncoloured pattern.
void WriteColorFill(Pagora::Members& m, const std::string& color, const std::string& pattern_color);
void WriteColorLine(Pagora::Members& m, const std::string& color, const std::string& pattern_color);

// The operator line that makes a (non-empty) colour string the fill or the stroke colour.
std::string ColorOperator(const Pagora::Members& m, const std::string& color,
                          const std::string& pattern_color, bool fill);

// ---- Position and the drawing-state stack ------------------------------------------------------

// The box of the last drawn element, in points of the default PDF space (y upwards).
void SetLastBounds(Pagora::Members& m, float x1, float y1, float x2, float y2);

// Current position from user units.
void SetPosition(Pagora::Members& m, float x, float y);

// Completes the box an image or an imported page is drawn in, from its natural size in points
// and the unit k: a box of 0 × 0 takes the natural size, a box with one side 0 the other side in
// the natural proportions. Returns false, leaving the box alone, when both sides were given.
bool CompleteBox(double natural_width, double natural_height, double k, float& width,
                 float& height);

// Saves the drawing state (position, unit, colours, font, line width); writes nothing.
void PushGraphicState(Pagora::Members& m);
// Restores the last saved state and writes its colours, line width and font again; nothing when
// no state is saved.
void PopGraphicState(Pagora::Members& m);

// The font selection that a state restore selects again.
struct FontSelection {
    std::string family;
    int32_t style = 0;
    float size = 0;
    int32_t encoding = 0;
};
FontSelection CurrentFontSelection(const Pagora::Members& m);
void ReselectFont(Pagora::Members& m, const FontSelection& font);

// Sets the line width from user units and writes its operator; a negative width is ignored.
void ApplyLineWidth(Pagora::Members& m, float width);

// ---- Paths -----------------------------------------------------------------------------------

// Path option bits taken by every shape.
inline constexpr int32_t kNoStroke = 1;
inline constexpr int32_t kClosePath = 2;
inline constexpr int32_t kFillPath = 4;
inline constexpr int32_t kClipPath = 128;

// The one painting line for a path option word (possibly empty, leaving the path open).
std::string PaintOperator(int32_t options);
void WritePaintOperator(Pagora::Members& m, int32_t options);

// Text trimmed of blanks at both ends and upper-cased (ASCII letters), as names are compared.
std::string TrimmedUpper(std::string_view text);

// ---- Services to the writer ------------------------------------------------------------------

// What the layer objects leave for the resources and the catalog.
struct LayerOutput {
    std::string properties; // the /Properties entries of the shared resources
    std::string groups, on, off, order, usage;
    bool has_printer = false, has_screen = false;
};

// Writes the group and membership objects; nothing without layers or groups.
LayerOutput WriteLayerObjects(Pagora::Members& m);

// The catalog's /OCProperties line when the document has layers; the catalog is the current
// object.
void WriteLayerCatalogLine(Pagora::Members& m, const LayerOutput& layers);

// Gives the page-content members their values after Abort (members marked kept stay).
void ResetContentState(ContentState& content);

// Draws the reusable objects placed automatically on the page being begun (at_end false) or
// ended (at_end true). Called only while reusable objects exist.
void PlaceAutoObjects(Pagora::Members& m, bool at_end);

// A new page's content starts in the PDF's initial state (black, line width 1): whatever the
// library holds that differs from it is written first, so that the state it believes in and the
// one the page shows agree.
void StartPageState(Pagora::Members& m);

// An overlay page starts in black: fill and stroke colour operators in its buffer and black
// text colour, as SetColorFill, SetColorLine and SetColorText("Black") leave them.
void StartOverlayColours(Pagora::Members& m);

} // namespace pagora::detail
