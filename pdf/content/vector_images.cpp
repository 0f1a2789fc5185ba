// EPS, Illustrator and metafile drawings placed by DrawImage: the file read, the converter's
// lines put into the box the caller asked for.
#include "pdf/content/vector_images.h"

#include "pdf/content/content.h"
#include "pdf/content/eps_converter.h"
#include "pdf/content/image.h"
#include "pdf/content/wmf_converter.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/writer.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "DrawImage";

// Converted drawings grow to a few times the size of their file, all of it page content: a
// drawing file larger than this is refused (error 7) before it is read.
constexpr std::uintmax_t kMaxDrawingBytes = 64u * 1024 * 1024;

std::vector<std::uint8_t> ReadDrawingFile(const std::string& name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    if (!error && size > kMaxDrawingBytes) RaiseError(kErrOutOfMemory, kOperation);
    return ReadImageFile(name, kOperation);
}

// a / b, with division by 0 refused: 0 / 0 as an overflow, anything else over 0 as a division
// by zero.
double Divide(double a, double b) {
    if (b == 0) RaiseError(a == 0 ? kErrOverflow : kErrDivisionByZero, kOperation);
    return a / b;
}

// A value as the single-precision number the content writes; one beyond its range overflows.
float ToFloat(double value) {
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) {
        RaiseError(kErrOverflow, kOperation);
    }
    return static_cast<float>(value);
}

struct Box {
    double width, height;
};

// The drawn size in user units for a natural size (in the drawing's own units): the caller's
// size, one of them derived from the other, or 20/72 of the natural size taken as points.
Box DrawnSize(const WriterState& s, double natural_width, double natural_height, float width,
              float height) {
    const double k = s.scale_factor;
    if (width == 0 && height == 0) {
        return {natural_width * 20 / (k * 72), natural_height * 20 / (k * 72)};
    }
    if (width == 0) return {Divide(natural_width * height, natural_height), height};
    if (height == 0) return {width, Divide(natural_height * width, natural_width)};
    return {width, height};
}

// The matrix that scales the natural size to the drawn one and puts the origin at x, y.
std::string PlacementMatrix(const WriterState& s, double natural_width, double natural_height,
                            float x, float y, float width, float height) {
    const Box box = DrawnSize(s, natural_width, natural_height, width, height);
    const double k = s.scale_factor;
    const float sx = ToFloat(Divide(box.width * k, natural_width));
    const float sy = ToFloat(Divide(box.height * k, natural_height));
    return FormatReal(s, sx) + " 0 0 " + FormatReal(s, sy) + " " + FormatUnits(s, x) + " " +
           FormatUnits(s, y) + " cm";
}

void RecordFailure(WriterState& s, int number, std::string_view name) {
    RecordError(s, PdfError(number, "", ErrorText(number)), kOperation, name);
}

// The converters keep to the subset of each format that drawing programs write their artwork
// in. A file of which nothing of that subset can be drawn is refused (error 321, nothing
// written); one drawn without some of its content records the same error, saying what is
// missing, so that a caller never takes a partial drawing for the whole.
[[noreturn]] void RefuseDrawing(const std::string& skipped) {
    std::string description = ErrorText(kErrInvalidFileFormat) + " (nothing it can draw";
    if (!skipped.empty()) description += "; " + skipped;
    RaiseError(kErrInvalidFileFormat, kOperation, description + ")");
}

// What a converter passed over, as the error tells it ("3 lines of PostScript it does not
// draw: x, Tf"); empty for nothing.
std::string SkippedText(std::size_t count, std::string_view one, std::string_view many,
                        std::string_view of, const std::string& names) {
    if (count == 0) return {};
    return std::to_string(count) + " " + std::string(count == 1 ? one : many) + std::string(of) +
           " it does not draw: " + names;
}

void RecordPartialDrawing(WriterState& s, const std::string& name, const std::string& skipped) {
    const std::string description =
        ErrorText(kErrInvalidFileFormat) + " (drawn without " + skipped + ")";
    RecordError(s, PdfError(kErrInvalidFileFormat, "", description), kOperation, name);
}

// Runs a conversion; a failure is recorded for the file and never reaches the caller.
template <typename Body> void Converting(WriterState& s, const std::string& name, Body&& body) {
    try {
        body();
    } catch (const PdfError& error) {
        RecordError(s, error, kOperation, name);
    } catch (const std::bad_alloc&) {
        RecordFailure(s, kErrOutOfMemory, name);
    }
}

} // namespace

void DrawEpsImage(Pagora::Members& m, std::string_view file_name, float x, float y, float width,
                  float height) {
    WriterState& s = m.writer;
    const std::string name(file_name);
    Converting(s, name, [&] {
        const std::vector<std::uint8_t> bytes = ReadDrawingFile(name);
        const EpsDrawing drawing = ConvertEps(bytes);
        if (drawing.error != 0) RaiseError(drawing.error, kOperation);
        const std::string skipped = SkippedText(drawing.skipped_lines, "line", "lines",
                                                " of PostScript", drawing.skipped_operators);
        // A drawing of which nothing shows is refused rather than placed as an empty box.
        if (!drawing.painted) RefuseDrawing(skipped);
        // The box's upper-left corner goes to x, y, and PostScript's upward y axis is turned
        // into the content's downward one.
        std::string text = "q\r";
        text += PlacementMatrix(s, drawing.width, drawing.height, x, y, width, height);
        text += "\r1 0 0 -1 " + FormatReal(s, ToFloat(-drawing.x0)) + " " +
                FormatReal(s, ToFloat(drawing.height + drawing.y0)) + " cm";
        text += PdfaRgbContent(s, drawing.content);
        text += "\rQ";
        WriteContent(s, text);
        if (!skipped.empty()) RecordPartialDrawing(s, name, skipped);
    });
}

void DrawWmfImage(Pagora::Members& m, std::string_view file_name, float x, float y, float width,
                  float height) {
    WriterState& s = m.writer;
    const std::string name(file_name);
    Converting(s, name, [&] {
        const std::vector<std::uint8_t> bytes = ReadDrawingFile(name);
        std::array<std::string, 256> components;
        for (std::size_t i = 0; i < components.size(); ++i) {
            components[i] = ColorComponentText(m, static_cast<std::uint8_t>(i));
        }
        const WmfDrawing drawing = ConvertWmf(bytes, components);
        if (drawing.error == kErrFileNotFound) RaiseError(drawing.error, kOperation);
        const std::string skipped =
            SkippedText(drawing.skipped_records, "record", "records", "", drawing.skipped_kinds);
        if (!drawing.painted) {
            // A damaged file keeps the error the walk met.
            if (drawing.error != 0) RaiseError(drawing.error, kOperation);
            RefuseDrawing(skipped);
        }

        std::string content = drawing.content;
        int transform_error = 0;
        if (drawing.has_window) {
            // The window origin lands on x, y and the extent on the drawn size. Both axes point
            // downwards already, so there is no flip.
            try {
                const std::string transform =
                    "\r" +
                    PlacementMatrix(s, drawing.extent_x, drawing.extent_y, x, y, width, height) +
                    "\r1 0 0 1 " + FormatReal(s, static_cast<float>(-drawing.origin_x)) + " " +
                    FormatReal(s, static_cast<float>(-drawing.origin_y)) + " cm";
                content.insert(drawing.transform_at, transform);
            } catch (const PdfError& error) {
                // Without a usable window the drawing stays in the file's own units.
                transform_error = error.Number();
            }
        }
        WriteContent(s, "q" + content + "\rQ");
        // Of two failures the later one is kept, as the walk met them.
        if (drawing.error != 0 && (transform_error == 0 || drawing.error_after_start)) {
            RecordFailure(s, drawing.error, name);
        } else if (transform_error != 0) {
            RecordFailure(s, transform_error, name);
        } else if (!skipped.empty()) {
            RecordPartialDrawing(s, name, skipped);
        }
    });
}

} // namespace pagora::detail
