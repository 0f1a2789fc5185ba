// The artwork of line-oriented EPS and Illustrator files as content lines: a pure converter over
// the file's bytes. It is no PostScript interpreter: it takes the lines of the drawing section
// that end in one of a fixed set of operators (operands first, one operator last), the form in
// which drawing programs write their artwork, and skips everything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pagora::detail {

struct EpsDrawing {
    // 0 when the drawing can be placed; otherwise the run-time error number and nothing is to be
    // written: 5 no bounding box with four numbers, 11 a bounding box of zero width or height.
    int error = 0;
    // The last bounding box with four numbers: lower-left corner, width and height in points.
    double x0 = 0, y0 = 0, width = 0, height = 0;
    // The converted lines, each preceded by CR, in PostScript's upward space of the box. A path
    // left open by the file is ended ("n"), so the lines always form whole path objects. Numbers
    // are copied as written, but for whole numbers beyond 32 bits, which get a decimal sign.
    std::string content;
    // Whether any path is painted: without, nothing of the drawing would show.
    bool painted = false;
    // The lines of the drawing section that the converter could not draw (PostScript it does not
    // know, text, images, custom colours, lines it cannot read), and the first few of their
    // operators, distinct, separated by ", " ("data" for a token too long to be one). Comments
    // and the operators that mark groups, layers, locks, overprinting and guides draw nothing
    // and are not counted.
    std::size_t skipped_lines = 0;
    std::string skipped_operators;
};

// Converts the lines from the drawing section's start (after the last "%%EndSetup", else the last
// "%%EndProlog", else the last "%%BoundingBox:" before the end, else the first line) to its end
// (the last "%%PageTrailer", else the last line beginning with "showpage"; without either nothing
// is converted). LF, CR LF and a lone CR end lines. A file with a DOS binary header is read from
// its PostScript section. Nothing is read outside the span; the work is linear in its size.
EpsDrawing ConvertEps(std::span<const std::uint8_t> data);

} // namespace pagora::detail
