#include "pdf/writer/field_appearance.h"

#include "pdf/writer/writer.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

namespace pagora::detail {

namespace {

float TextWidth(const FieldLook& look, std::string_view text, float size) {
    if (look.widths == nullptr) return 0;
    long total = 0;
    for (const char c : text)
        total += (*look.widths)[static_cast<unsigned char>(c)];
    return static_cast<float>(total) * size / 1000.0f;
}

class Drawing {
public:
    Drawing(WriterState& s, const FieldLook& look) : s_(s), look_(look) {}

    std::string Number(float value) const { return FormatReal(s_, value); }

    // The background and the border the widget's characteristics name.
    void Frame() {
        const float w = look_.width, h = look_.height;
        if (!look_.background.empty())
            text_ += look_.background + "\r0 0 " + Number(w) + " " + Number(h) + " re f\r";
        if (!look_.border.empty()) {
            const float b = look_.border_width;
            text_ += look_.border + "\r" + Number(b) + " w " + Number(b / 2) + " " + Number(b / 2) +
                     " " + Number(w - b) + " " + Number(h - b) + " re S\r";
        }
    }

    // Text lines from the top or one line centred vertically, clipped to the inside.
    void Lines(const std::vector<std::string>& lines, float size, int align, bool centred,
               int highlighted) {
        const float w = look_.width, h = look_.height;
        const float pad = 2;
        text_ += "/Tx BMC\rq\r" + Number(pad / 2) + " " + Number(pad / 2) + " " + Number(w - pad) +
                 " " + Number(h - pad) + " re W n\r";
        const float leading = size * 1.15f;
        if (highlighted >= 0) {
            const float top = h - pad - leading * static_cast<float>(highlighted + 1);
            text_ += "0.6 0.75 0.85 rg\r" + Number(pad / 2) + " " + Number(top) + " " +
                     Number(w - pad) + " " + Number(leading) + " re f\r";
        }
        text_ += "BT\r" + look_.font + " " + Number(size) + " Tf\r";
        if (!look_.text_fill.empty()) text_ += look_.text_fill + "\r";
        float y = centred ? h / 2 - size * 0.25f : h - pad - size;
        for (const std::string& line : lines) {
            const float tw = TextWidth(look_, line, size);
            float x = pad;
            if (align == 2) x = w - pad - tw;
            if (align == 1) x = (w - tw) / 2;
            text_ +=
                "1 0 0 1 " + Number(x) + " " + Number(y) + " Tm (" + EscapeString(line) + ") Tj\r";
            y -= leading;
        }
        text_ += "ET\rQ\rEMC";
    }

    // A check box's or radio button's mark, drawn as a shape in the text colour so that no
    // symbol font is needed.
    void Mark() {
        const float side = std::min(look_.width, look_.height) * 0.6f;
        const float x0 = (look_.width - side) / 2, y0 = (look_.height - side) / 2;
        auto at = [&](float u, float v) {
            return Number(x0 + u * side) + " " + Number(y0 + v * side);
        };
        const std::string fill = look_.text_fill.empty() ? "" : look_.text_fill + "\r";
        const std::string stroke = look_.text_stroke.empty() ? "" : look_.text_stroke + "\r";
        text_ += "q\r";
        const std::string& mark = look_.mark;
        if (mark == "4") {
            text_ += stroke + Number(side * 0.15f) + " w 1 J 1 j " + at(0.1f, 0.5f) + " m " +
                     at(0.4f, 0.15f) + " l " + at(0.9f, 0.85f) + " l S\r";
        } else if (mark == "5") {
            text_ += stroke + Number(side * 0.15f) + " w 1 J " + at(0.1f, 0.1f) + " m " +
                     at(0.9f, 0.9f) + " l " + at(0.1f, 0.9f) + " m " + at(0.9f, 0.1f) + " l S\r";
        } else if (mark == "n") {
            text_ += fill + at(0.1f, 0.1f) + " " + Number(side * 0.8f) + " " + Number(side * 0.8f) +
                     " re f\r";
        } else if (mark == "l") {
            // A circle of four curves; 0.2761 is 0.5 times the control distance of a quarter.
            const float k = 0.2761f;
            text_ += fill + at(1, 0.5f) + " m " + at(1, 0.5f + k) + " " + at(0.5f + k, 1) + " " +
                     at(0.5f, 1) + " c " + at(0.5f - k, 1) + " " + at(0, 0.5f + k) + " " +
                     at(0, 0.5f) + " c " + at(0, 0.5f - k) + " " + at(0.5f - k, 0) + " " +
                     at(0.5f, 0) + " c " + at(0.5f + k, 0) + " " + at(1, 0.5f - k) + " " +
                     at(1, 0.5f) + " c f\r";
        } else {
            // A star: five points for "H", four for the others.
            const int points = mark == "H" ? 5 : 4;
            std::string path;
            for (int i = 0; i < 2 * points; ++i) {
                const double angle = 3.14159265358979 / 2 + 3.14159265358979 * i / points;
                const float r = i % 2 == 0 ? 0.5f : 0.2f;
                path += at(0.5f + r * static_cast<float>(std::cos(angle)),
                           0.5f + r * static_cast<float>(std::sin(angle))) +
                        (i == 0 ? " m " : " l ");
            }
            text_ += fill + path + "h f\r";
        }
        text_ += "Q";
    }

    // Writes the stream as a form object and returns its number.
    int Write() {
        // A turned widget is drawn upright in its own space and turned into the rectangle,
        // whose width and height the look gives unturned.
        std::string matrix;
        const float w = look_.width, h = look_.height;
        if (look_.rotation == 90) matrix = " /Matrix [0 1 -1 0 " + Number(h) + " 0]";
        if (look_.rotation == 180)
            matrix = " /Matrix [-1 0 0 -1 " + Number(w) + " " + Number(h) + "]";
        if (look_.rotation == 270) matrix = " /Matrix [0 -1 1 0 0 " + Number(w) + "]";
        const int n = BeginIndirectObject(s_, 0);
        WriteFileLine(s_, "<< /Type /XObject /Subtype /Form /BBox [0 0 " + Number(w) + " " +
                              Number(h) + "]" + matrix + " /Resources 3 0 R");
        std::string data = text_;
        WriteStream(s_, data, 0, "", 0, StreamKind::kContent);
        EndIndirectObject(s_);
        return n;
    }

private:
    WriterState& s_;
    const FieldLook& look_;
    std::string text_;
};

std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

std::vector<std::string> SplitLines(const std::string& value) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

} // namespace

std::string WriteFieldAppearance(WriterState& s, const FieldLook& widget) {
    FieldLook look = widget;
    if (look.options & 67108864) look.rotation = 90;
    if (look.options & 134217728) look.rotation = 180;
    if (look.options & 268435456) look.rotation = 270;
    // A quarter turn draws the widget's height along the appearance's width.
    if (look.rotation % 180 != 0) std::swap(look.width, look.height);
    const int align = (look.options & 2048) ? 2 : (look.options & 4096) ? 1 : 0;
    const float fitting = std::clamp((look.height - 4) * 0.8f, 4.0f, 12.0f);
    const float size = look.font_size > 0 ? look.font_size : fitting;
    switch (look.field_type) {
    case 1:
    case 4: {
        Drawing on(s, look);
        on.Frame();
        on.Mark();
        const int yes = on.Write();
        Drawing off(s, look);
        off.Frame();
        const int no = off.Write();
        return " /AP << /N << /Yes " + Ref(yes) + " /Off " + Ref(no) + " >> >>";
    }
    default:
        break;
    }
    Drawing d(s, look);
    d.Frame();
    const std::vector<std::string> options = SplitText(look.value, "|");
    switch (look.field_type) {
    case 0: {
        std::vector<std::string> lines = SplitLines(look.value);
        if (look.options & 32) {
            // A password shows one star per character, never the text.
            for (std::string& line : lines)
                std::fill(line.begin(), line.end(), '*');
        }
        if ((look.options & 16) == 0) {
            std::string joined;
            for (const std::string& line : lines)
                joined += line;
            lines.assign(1, joined);
        }
        d.Lines(lines,
                look.font_size > 0    ? look.font_size
                : (look.options & 16) ? 10
                                      : fitting,
                align, (look.options & 16) == 0, -1);
        break;
    }
    case 2:
        d.Lines(options, look.font_size > 0 ? look.font_size : 10, align, false,
                look.default_option);
        break;
    case 3: {
        std::vector<std::string> shown;
        if (look.default_option >= 0 &&
            static_cast<std::size_t>(look.default_option) < options.size())
            shown.push_back(options[static_cast<std::size_t>(look.default_option)]);
        d.Lines(shown, size, align, true, -1);
        break;
    }
    default: {
        // A push button is a button too: its appearances are states, here its only one.
        d.Lines({look.value}, size, 1, true, -1);
        return " /AP << /N << /Off " + Ref(d.Write()) + " >> >> /AS /Off";
    }
    }
    return " /AP << /N " + Ref(d.Write()) + " >>";
}

} // namespace pagora::detail
