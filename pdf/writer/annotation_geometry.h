// Rectangles and colours shared by the annotation and form-field writers.
#pragma once

#include "pdf/writer/writer_state.h"

#include <string>
#include <string_view>

namespace pagora::detail {

// "x y" in page space (points, y upwards) of a point in user units from the page's top-left
// corner; margins are not added.
std::string AnnotationPoint(const WriterState& s, float x, float y);
// "x1 y1 x2 y2" of a box given by its top-left corner and size in user units.
std::string AnnotationRect(const WriterState& s, float x, float y, float width, float height);
// An RGB ("#"), CMYK ("@") or grey ("%") colour, as opposed to none or a pattern.
bool IsPlainColor(std::string_view color);
// The components of a colour: its text without the leading kind character.
std::string ColorComponents(std::string_view color);

} // namespace pagora::detail
