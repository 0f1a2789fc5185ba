// The pens, brushes and polygons of a Windows metafile as content lines: a pure converter over
// the file's bytes. Polygons, polylines and poly-polygons are drawn with the selected pen's
// colour, dash pattern and width and the selected brush's colour; text, bitmaps, rectangles,
// ellipses, arcs, clipping and every other record are skipped.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pagora::detail {

struct WmfDrawing {
    // The last run-time error met, 0 for none: 9 a record cut short or reading past its own
    // bytes, or an object index outside the table; 53 a file of fewer than two bytes. The walk
    // goes on after a record it could not use and stops at a record whose size it cannot trust.
    int error = 0;
    bool error_after_start = false; // met at or after the first selection or drawing record
    // The converted lines, each preceded by CR, in the file's logical units (y downwards).
    std::string content;
    // Whether a window origin and extent came before the first selection or drawing record; the
    // transform that maps them belongs at content offset transform_at.
    bool has_window = false;
    std::size_t transform_at = 0;
    std::int32_t origin_x = 0, origin_y = 0, extent_x = 0, extent_y = 0;
    // Whether any path is painted (filled or stroked): without, nothing of the drawing shows.
    bool painted = false;
    // The records that draw something the converter does not (lines to a point, rectangles,
    // ellipses, arcs, text, bitmaps, regions...), and the first few of their kinds, distinct,
    // separated by ", ".
    std::size_t skipped_records = 0;
    std::string skipped_kinds;
};

// component_text holds the content text of each colour byte as a fraction (0 to 1), as the
// document writes colour components. The walk starts after the 18-byte header, or after the
// 22-byte placeable header and it, and ends at the end-of-file record or at the end of the data.
// Nothing is read outside the span; the work is linear in its size.
WmfDrawing ConvertWmf(std::span<const std::uint8_t> data,
                      const std::array<std::string, 256>& component_text);

} // namespace pagora::detail
