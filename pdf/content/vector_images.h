// The vector drawings that DrawImage places: EPS and Illustrator files and Windows metafiles,
// converted into the open content on every call (nothing is cached and no image object made).
#pragma once

#include "pdf/writer/members.h"

#include <string_view>

namespace pagora::detail {

// Converts the drawing in the named file into the open content: its box's top-left corner (the
// metafile's window origin) at x, y in user units, scaled to width by height; a size of 0 is
// derived from the other, both 0 give 20/72 of the drawing's own size taken in points. Never
// raises and sets neither the position nor the last box: a failure is recorded for "DrawImage"
// with the file name, and the content stays balanced (one "q", one "Q", whole paths).
void DrawEpsImage(Pagora::Members& m, std::string_view file_name, float x, float y, float width,
                  float height);
void DrawWmfImage(Pagora::Members& m, std::string_view file_name, float x, float y, float width,
                  float height);

} // namespace pagora::detail
