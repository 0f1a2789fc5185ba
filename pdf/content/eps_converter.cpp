// Line-oriented EPS and Illustrator artwork to content lines.
#include "pdf/content/eps_converter.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>
#include <system_error>

namespace pagora::detail {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// A number as a content stream reads it: optional sign, digits with at most one ".", at least one
// digit. PostScript's other forms (exponents, radix numbers) are no content numbers.
bool IsContentNumber(std::string_view token) {
    std::size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < token.size(); ++i) {
        if (IsDigit(token[i])) {
            digits = true;
        } else if (token[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

std::optional<double> NumberValue(std::string_view token) {
    if (!IsContentNumber(token)) return std::nullopt;
    bool negative = false;
    if (token.front() == '+' || token.front() == '-') {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size()) return std::nullopt;
    return negative ? -value : value;
}

// The operand count of the operators a converted line may hold; -1 for any other operator and
// kDash for the dash operator, whose operands are an array and a phase. Only operators that take
// numbers and change nothing but the path and the graphic state pass, so a line copied into the
// content can never unbalance it (no "Q", no strings, no inline images, no marked content).
constexpr int kDash = -2;
int OperandCount(std::string_view op) {
    if (op == "rg" || op == "RG") return 3;
    if (op.size() != 1) return -1;
    switch (op[0]) {
    case 'c':
        return 6;
    case 'k':
    case 'K':
    case 'v':
    case 'y':
        return 4;
    case 'm':
    case 'l':
        return 2;
    case 'g':
    case 'G':
    case 'J':
    case 'j':
    case 'w':
    case 'M':
    case 'i':
        return 1;
    case 'n':
    case 's':
    case 'S':
    case 'h':
        return 0;
    case 'd':
        return kDash;
    default:
        return -1;
    }
}

// The tokens of a line: runs of non-blank characters, each bracket a token of its own.
template <typename Visit> void ForEachToken(std::string_view line, Visit&& visit) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        if (line[i] == '[' || line[i] == ']') {
            ++i;
        } else {
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '[' && line[i] != ']')
                ++i;
        }
        visit(start, line.substr(start, i - start));
    }
}

// A copied number longer than any drawing needs is refused, so that no reader's token buffer is
// ever put to the test.
constexpr std::size_t kMaxNumberLength = 32;

// Whether a line is a sequence of whole operations of the allowed operators (operands first),
// following the current path: a segment or a painting operator needs a path begun by a moveto.
// On success path_open holds whether a path is left open after the line.
bool CheckLine(std::string_view line, bool& path_open) {
    bool open = path_open;
    int operands = 0;
    int array = 0; // 0 none, 1 open, 2 closed
    bool any = false;
    bool valid = true;
    ForEachToken(line, [&](std::size_t, std::string_view token) {
        if (!valid) return;
        if (token == "[") {
            valid = array == 0 && operands == 0;
            array = 1;
        } else if (token == "]") {
            valid = array == 1;
            array = 2;
        } else if (token.size() <= kMaxNumberLength && IsContentNumber(token)) {
            if (array == 2 || array == 0) ++operands;
        } else {
            const int count = OperandCount(token);
            if (count == kDash) {
                valid = array == 2 && operands == 1;
            } else {
                valid = count >= 0 && array == 0 && operands == count;
            }
            const char op = token.size() == 1 ? token[0] : '\0';
            if (op == 'm') {
                open = true;
            } else if (op == 'l' || op == 'c' || op == 'v' || op == 'y' || op == 'h') {
                valid = valid && open;
            } else if (op == 'n' || op == 's' || op == 'S') {
                valid = valid && open;
                open = false;
            }
            operands = 0;
            array = 0;
            any = true;
        }
    });
    if (!valid || !any || operands != 0 || array != 0) return false;
    path_open = open;
    return true;
}

// Walks the text lines of the data: LF, CR LF or a lone CR ends a line; a last line without an
// end counts too.
template <typename Visit> void ForEachLine(std::string_view text, Visit&& visit) {
    std::size_t number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (!visit(number, text.substr(start, end - start))) return;
        ++number;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
}

// The four numbers of a bounding box line, or nothing (for "(atend)" and anything else).
struct Box {
    double llx, lly, urx, ury;
};
std::optional<Box> ReadBox(std::string_view line) {
    std::string_view rest = line.substr(14);
    double values[4];
    int count = 0;
    std::size_t i = 0;
    while (i < rest.size()) {
        if (IsBlank(rest[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < rest.size() && !IsBlank(rest[i]))
            ++i;
        if (count == 4) break; // more fields than four: the first four count
        const auto value = NumberValue(rest.substr(start, i - start));
        if (!value) return std::nullopt;
        values[count++] = *value;
    }
    if (count != 4) return std::nullopt;
    return Box{values[0], values[1], values[2], values[3]};
}

std::uint32_t Read32(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 |
           static_cast<std::uint32_t>(data[at + 3]) << 24;
}

// The PostScript section of a file with a DOS binary header (which may carry a TIFF or metafile
// preview); other files whole.
std::string_view PostScriptText(std::span<const std::uint8_t> data) {
    if (data.size() >= 12 && data[0] == 0xC5 && data[1] == 0xD0 && data[2] == 0xD3 &&
        data[3] == 0xC6) {
        const std::uint64_t offset = Read32(data, 4);
        const std::uint64_t length = Read32(data, 8);
        if (offset >= data.size()) return {};
        data = data.subspan(static_cast<std::size_t>(offset));
        if (length < data.size()) data = data.first(static_cast<std::size_t>(length));
    }
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

struct Markers {
    std::size_t end_setup = kNone, end_prolog = kNone, page_trailer = kNone, showpage = kNone;
    std::size_t box_line = kNone; // the last bounding box line so far
    // The last bounding box line before the last page trailer and before the last showpage: a
    // box given "(atend)" repeats itself in the trailer, after the artwork.
    std::size_t box_before_trailer = kNone, box_before_showpage = kNone;
    std::optional<Box> box;
};

Markers FindMarkers(std::string_view text) {
    Markers markers;
    ForEachLine(text, [&](std::size_t number, std::string_view line) {
        if (StartsWith(line, "showpage")) {
            markers.showpage = number;
            markers.box_before_showpage = markers.box_line;
        }
        if (line.empty() || line.front() != '%') return true;
        if (StartsWith(line, "%%EndSetup")) {
            markers.end_setup = number;
        } else if (StartsWith(line, "%%EndProlog")) {
            markers.end_prolog = number;
        } else if (StartsWith(line, "%%PageTrailer")) {
            markers.page_trailer = number;
            markers.box_before_trailer = markers.box_line;
        } else if (StartsWith(line, "%%BoundingBox:")) {
            markers.box_line = number;
            if (const auto box = ReadBox(line)) markers.box = box;
        }
        return true;
    });
    return markers;
}

// Readers hold whole numbers in 32 bits and refuse longer ones; a decimal sign makes the number
// a real, which they accept at any size.
std::string ContentLine(std::string_view line) {
    std::string out;
    std::size_t copied = 0;
    ForEachToken(line, [&](std::size_t start, std::string_view token) {
        if (!IsContentNumber(token) || token.find('.') != std::string_view::npos) return;
        const auto value = NumberValue(token);
        if (!value || std::abs(*value) < 2147483648.0) return;
        out.append(line.substr(copied, start + token.size() - copied));
        out += ".0";
        copied = start + token.size();
    });
    out.append(line.substr(copied));
    return out;
}

// Illustrator's operators that mark groups, compound paths, layers, locks, overprinting and
// guides: they draw nothing, so a line ending in one loses nothing when it is passed over.
bool DrawsNothing(std::string_view op) {
    static constexpr std::string_view kMarks[] = {"u", "U", "*u", "*U", "A",  "Ap", "Ar", "O",
                                                  "R", "D", "Lb", "LB", "Ln", "XR", "*",  "Xd"};
    for (const std::string_view mark : kMarks) {
        if (op == mark) return true;
    }
    return false;
}

// The converter's state between lines.
struct Converter {
    EpsDrawing& drawing;
    bool painted = false;   // a painting operator has consumed the current path
    bool pending = false;   // path or state operators since the last painting operator
    bool path_open = false; // a path begun and not yet painted or ended

    void Write(std::string_view line) {
        drawing.content += '\r';
        drawing.content += ContentLine(line);
        ForEachToken(line, [&](std::size_t, std::string_view token) {
            if (token == "S" || token == "s" || token == "f*" || token == "b*" || token == "B*")
                drawing.painted = true;
        });
    }

    // A line of the drawing that was not converted.
    void Skipped(std::string_view line) {
        std::string_view op;
        ForEachToken(line, [&](std::size_t, std::string_view token) { op = token; });
        if (op.empty() || DrawsNothing(op)) return;
        ++drawing.skipped_lines;
        // A few distinct names say enough of what is missing.
        constexpr std::size_t kNamesShown = 5;
        const std::string name = op.size() > 12 ? std::string("data") : std::string(op);
        std::size_t shown = 0;
        bool known = false;
        for (std::size_t at = 0; at < drawing.skipped_operators.size();) {
            std::size_t end = drawing.skipped_operators.find(", ", at);
            if (end == std::string::npos) end = drawing.skipped_operators.size();
            known = known || drawing.skipped_operators.compare(at, end - at, name) == 0;
            ++shown;
            at = end + 2;
        }
        if (known || shown >= kNamesShown) return;
        if (!drawing.skipped_operators.empty()) drawing.skipped_operators += ", ";
        drawing.skipped_operators += name;
    }

    void Paint(std::string_view op) {
        if (!painted && pending && path_open) {
            Write(op);
            path_open = false;
        }
        painted = true;
        pending = false;
    }

    void Line(std::string_view line) {
        std::size_t first = 0;
        while (first < line.size() && IsBlank(line[first]))
            ++first;
        if (first == line.size()) return;
        if (line.front() == '%') return;
        if (line.front() == '/' || line.front() == '(') {
            Skipped(line);
            return;
        }
        const std::size_t n = line.size();
        if (n == 1 || IsBlank(line[n - 2])) {
            if (!OneLetter(line, line[n - 1])) Skipped(line);
        } else if (n > 2 && IsBlank(line[n - 3]) && line.substr(n - 2) == "Xa") {
            std::string rgb(line.substr(0, n - 2));
            rgb += "rg";
            bool open = path_open;
            if (CheckLine(rgb, open)) {
                Write(rgb);
            } else {
                Skipped(line);
            }
        } else {
            // "XR" (Illustrator's fill rule) and the other operators of two letters or more.
            Skipped(line);
        }
    }

    // Converts a line ending in a one-letter operator; false when something of it was not
    // drawn.
    bool OneLetter(std::string_view line, char op) {
        // Path, colour and line-style operators pass as they stand; Illustrator's variants of
        // the path operators are lower-cased into the standard ones.
        constexpr std::string_view kAsWritten = "mlcvykKgGJjwMdn";
        constexpr std::string_view kLowerCased = "LCVYN";
        constexpr std::string_view kPainting = "sSnNfFbB";
        std::size_t tokens = 0;
        ForEachToken(line, [&](std::size_t, std::string_view) { ++tokens; });
        if (tokens == 1 && !path_open && kPainting.find(op) != std::string_view::npos) {
            // Painting or ending no path at all: there is nothing to lose.
            return true;
        }
        if ((op == 'f' || op == 'F' || op == 'b' || op == 'B') && tokens != 1) {
            // Whatever comes before the operator on its line (a rectangle, say) is not read.
            return false;
        }
        if (kAsWritten.find(op) != std::string_view::npos) {
            if (!CheckLine(line, path_open)) return false;
            Write(line);
            painted = false;
            pending = true;
        } else if (kLowerCased.find(op) != std::string_view::npos) {
            std::string lower(line);
            for (char& c : lower) {
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            }
            if (!CheckLine(lower, path_open)) return false;
            Write(lower);
            pending = true;
        } else if (op == 's' || op == 'S') {
            // The stroke of a path already filled is dropped by design, not lost.
            if (painted) return true;
            if (!CheckLine(line, path_open)) return false;
            Write(line);
        } else if (op == 'f' || op == 'F') {
            Paint("f*");
        } else if (op == 'b') {
            Paint("b*");
        } else if (op == 'B') {
            Paint("B*");
        } else {
            return false;
        }
        return true;
    }
};

} // namespace

EpsDrawing ConvertEps(std::span<const std::uint8_t> data) {
    EpsDrawing drawing;
    const std::string_view text = PostScriptText(data);
    const Markers markers = FindMarkers(text);
    if (!markers.box) {
        drawing.error = 5;
        return drawing;
    }
    drawing.x0 = markers.box->llx;
    drawing.y0 = markers.box->lly;
    drawing.width = markers.box->urx - markers.box->llx;
    drawing.height = markers.box->ury - markers.box->lly;
    if (drawing.width == 0 || drawing.height == 0) {
        drawing.error = 11;
        return drawing;
    }

    const std::size_t end = markers.page_trailer != kNone ? markers.page_trailer : markers.showpage;
    if (end == kNone) return drawing;
    const std::size_t box_line =
        markers.page_trailer != kNone ? markers.box_before_trailer : markers.box_before_showpage;
    std::size_t start = 0;
    if (markers.end_setup != kNone) {
        start = markers.end_setup + 1;
    } else if (markers.end_prolog != kNone) {
        start = markers.end_prolog + 1;
    } else if (box_line != kNone) {
        start = box_line + 1;
    }

    Converter converter{drawing};
    ForEachLine(text, [&](std::size_t number, std::string_view line) {
        // The line that ends the drawing (a page trailer, or "showpage") is none of it.
        if (number >= end) return false;
        if (number >= start) converter.Line(line);
        return true;
    });
    if (converter.path_open) converter.Write("n");
    return drawing;
}

} // namespace pagora::detail
