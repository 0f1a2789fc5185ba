// Barcodes drawn as filled rectangles (Code 39: stroked lines) with an optional human-readable
// text below them. Sizes are fixed in points, so a symbol has the same physical size in any unit.
#include "pdf/writer/Pagora.h"

#include "pdf/content/barcode_code128.h"
#include "pdf/content/barcode_code39.h"
#include "pdf/content/barcode_ean.h"
#include "pdf/content/barcode_interleaved.h"
#include "pdf/content/barcode_postnet.h"
#include "pdf/content/content.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora {

namespace {

using detail::FormatReal;
using detail::FormatUnits;

constexpr float kTextGapPoints = 4.68f;
constexpr float kTextSizePoints = 10.08f;
constexpr float kTextDrop = 1.6f; // the text's baseline, in text gaps below the bars

// The zoom kept between 0.8 and 2; a value that is not a number draws at the smallest size.
float ClampZoom(float zoom) {
    if (!(zoom >= 0.8f)) return 0.8f;
    if (zoom > 2.0f) return 2.0f;
    return zoom;
}

// The sizes of one symbol and its content lines. The lines are formatted before any is written,
// so that a size that cannot be written leaves no half-drawn symbol behind.
class SymbolLines {
public:
    SymbolLines(Pagora& pdf, bool show_code, float zoom, float module_points)
        : pdf_(pdf), s_(detail::StateOf(pdf).writer), show_code_(show_code),
          zoom_(ClampZoom(zoom)) {
        const float scale = s_.scale_factor;
        module_ = zoom_ * module_points / scale;
        text_gap_ = show_code ? zoom_ * kTextGapPoints / scale : 0.0f;
    }

    // The height of the ordinary bars: what Height leaves after the text gap, else the
    // symbology's default; never less than a module.
    void SetBarHeight(float height, float default_points) {
        bar_height_ = height != 0 ? height - text_gap_ : zoom_ * default_points / s_.scale_factor;
        if (bar_height_ <= 0) bar_height_ = module_;
    }

    float Module() const { return module_; }
    float Zoom() const { return zoom_; }
    float TextGap() const { return text_gap_; }
    float BarHeight() const { return bar_height_; }
    bool ShowCode() const { return show_code_; }

    void Rectangle(float x, float y, float w, float h) {
        lines_.push_back(FormatUnits(s_, x) + " " + FormatUnits(s_, y) + " " + FormatUnits(s_, w) +
                         " " + FormatUnits(s_, h) + " re f*");
    }
    void Line(std::string line) { lines_.push_back(std::move(line)); }
    // One rectangle per run of dark ("1") modules starting at x: bars drawn module by module show
    // seams in anti-aliased renders, which scanners read as spaces.
    void Bars(float x, float y, std::string_view modules, float h) {
        std::size_t i = 0;
        while (i < modules.size()) {
            if (modules[i] != '1') {
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < modules.size() && modules[i] == '1')
                ++i;
            Rectangle(x + static_cast<float>(start) * module_, y,
                      static_cast<float>(i - start) * module_, h);
        }
    }

    // The text font, chosen before the text is measured and drawn.
    void SelectTextFont() { pdf_.SetFont("CourierNew", zoom_ * kTextSizePoints, 0, 0); }
    void Text(float x, float y, std::string_view text, std::int32_t align) {
        pdf_.DrawText(x, y, text, align);
    }
    // A text centred over the symbol from x to end, at the usual distance below the bars.
    void CentredText(float x, float y, float end, std::string_view text) {
        if (!show_code_) return;
        SelectTextFont();
        Text(x + (end - x) / 2, y + bar_height_ + kTextDrop * text_gap_, text, 4);
    }

    void Flush() {
        for (const std::string& line : lines_)
            detail::WriteContent(s_, line);
        lines_.clear();
    }

private:
    Pagora& pdf_;
    detail::WriterState& s_;
    bool show_code_;
    float zoom_;
    float module_ = 0;
    float text_gap_ = 0;
    float bar_height_ = 0;
    std::vector<std::string> lines_;
};

struct EanLayout {
    float default_height_points;
    bool first_piece;          // the lone first digit stands left of the bars
    std::array<int, 6> guards; // guard bar positions in modules from the first bar
    int right_start;           // the module before the right half's first module
    float left_text;           // centres of the two text halves, in modules
    float right_text;
    int width; // modules from X to the end of the right quiet zone
};

constexpr float kEanModulePoints = 0.936f;
constexpr int kEanLeftQuiet = 11;
constexpr EanLayout kEan13 = {64.8f, true, {0, 2, 46, 48, 92, 94}, 49, 24, 71, 113};
constexpr EanLayout kEan8 = {48.96f, false, {0, 2, 32, 34, 64, 66}, 35, 17, 50, 85};

float DrawEan(Pagora& pdf, const detail::EanSymbol& symbol, const EanLayout& layout, float X,
              float Y, bool show_code, float zoom, float height) {
    SymbolLines out(pdf, show_code, zoom, kEanModulePoints);
    out.SetBarHeight(height, layout.default_height_points);
    const float m = out.Module();
    const float h = out.BarHeight();
    const float x0 = X + static_cast<float>(kEanLeftQuiet) * m;
    const auto at = [&](int modules) { return x0 + static_cast<float>(modules) * m; };

    // The guard bars reach down into the text gap, between the text's halves.
    for (const int guard : layout.guards)
        out.Rectangle(at(guard), Y, m, h + out.TextGap());
    std::string left;
    std::string right;
    for (std::size_t i = 0; i < symbol.left_patterns.size(); ++i) {
        left += symbol.left_patterns[i];
        right += symbol.right_patterns[i];
    }
    out.Bars(at(3), Y, left, h);
    out.Bars(at(layout.right_start + 1), Y, right, h);

    if (show_code) {
        const float text_y = Y + h + kTextDrop * out.TextGap();
        out.SelectTextFont();
        if (layout.first_piece) out.Text(x0 - 8 * m, text_y, symbol.first_piece, 1);
        out.Text(x0 + layout.left_text * m, text_y, symbol.left_piece, 4);
        out.Text(x0 + layout.right_text * m, text_y, symbol.right_piece, 4);
    }
    out.Flush();
    return static_cast<float>(layout.width) * m;
}

float DrawCode39(Pagora& pdf, std::string_view text, float X, float Y, bool show_code, float zoom,
                 float height, bool add_check) {
    const std::optional<detail::Code39Symbol> symbol = detail::EncodeCode39(text, add_check);
    if (!symbol) return 0;
    SymbolLines out(pdf, show_code, zoom, 0.72f);
    out.SetBarHeight(height, 14.4f);
    const detail::WriterState& s = detail::StateOf(pdf).writer;
    const float m = out.Module();
    const float bottom = Y + out.BarHeight();
    float x = X + 10 * m;
    for (const std::string& pattern : symbol->patterns) {
        for (const char element : pattern) {
            const float w = (element == 'B' || element == 'W') ? 3 * m : m;
            // A stroke as wide as the bar, centred in it.
            if (element == 'b' || element == 'B') {
                const std::string centre = FormatUnits(s, x + w / 2);
                out.Line(FormatUnits(s, w) + " w");
                out.Line(centre + " " + FormatUnits(s, Y) + " m " + centre + " " +
                         FormatUnits(s, bottom) + " l S");
            }
            x += w;
        }
        x += m;
    }
    // The strokes changed the line width in the content only; the caller's width comes back.
    out.Line(FormatReal(s, detail::StateOf(pdf).content.kept.line_width) + " w");
    const float end = x + 9 * m;
    out.Flush();
    out.CentredText(X, Y, end, text);
    return end - X;
}

float DrawInterleaved(Pagora& pdf, std::string_view text, float X, float Y, bool show_code,
                      float zoom, float height, bool add_check) {
    const detail::Interleaved2of5Symbol symbol = detail::EncodeInterleaved2of5(text, add_check);
    SymbolLines out(pdf, show_code, zoom, 0.72f);
    out.SetBarHeight(height, 14.4f);
    const float m = out.Module();
    float x = X + 5 * m;
    for (std::size_t i = 0; i < symbol.elements.size(); ++i) {
        const float w = symbol.elements[i] == 'w' ? 3 * m : m;
        if (i % 2 == 0) out.Rectangle(x, Y, w, out.BarHeight());
        x += w;
    }
    const float end = x + 5 * m;
    out.Flush();
    out.CentredText(X, Y, end, text);
    return end - X;
}

float DrawCode128(Pagora& pdf, std::string_view text, float X, float Y, bool show_code, float zoom,
                  float height) {
    const std::optional<detail::Code128Symbol> symbol = detail::EncodeCode128(text);
    if (!symbol) return 0;
    SymbolLines out(pdf, show_code, zoom, 0.72f);
    out.SetBarHeight(height, 14.4f);
    const float m = out.Module();
    float x = X + 10 * m;
    out.Bars(x, Y, symbol->modules, out.BarHeight());
    for (std::size_t i = 0; i < symbol->modules.size(); ++i)
        x += m; // summed module by module: the sum's rounding sets where the symbol ends
    const float end = x + 9 * m;
    out.Flush();
    out.CentredText(X, Y, end, text);
    return end - X;
}

float DrawPostnet(Pagora& pdf, std::string_view text, float X, float Y, bool show_code,
                  float zoom) {
    const detail::PostnetSymbol symbol = detail::EncodePostnet(text);
    SymbolLines out(pdf, show_code, zoom, 0);
    const float u = out.Zoom() / detail::StateOf(pdf).writer.scale_factor;
    const float full = 9 * u;
    const float half = 3.6f * u;
    float x = X + 7.2f * u;
    for (const char bar : symbol.bars) {
        // Half bars stand on the full bars' bottom edge.
        if (bar == '1') {
            out.Rectangle(x, Y, 1.44f * u, full);
        } else {
            out.Rectangle(x, Y + full - half, 1.44f * u, half);
        }
        x += 3.6f * u;
    }
    const float end = x + 7.2f * u;
    out.Flush();
    if (show_code) {
        out.SelectTextFont();
        out.Text(X + (end - X) / 2, Y + 14.4f * u + out.TextGap(), text, 4);
    }
    return end - X;
}

} // namespace

float Pagora::DrawBarCode(std::int32_t BarCodeType, std::string_view code, float X, float Y,
                          bool ShowCode, float ZoomFactor, float Height, bool AddCheck) try {
    Pagora& pdf = *this;
    const auto draw = [&]() -> float {
        switch (BarCodeType) {
        case 0:
            return DrawEan(pdf, detail::EncodeEan13(code), kEan13, X, Y, ShowCode, ZoomFactor,
                           Height);
        case 1:
            return DrawCode39(pdf, code, X, Y, ShowCode, ZoomFactor, Height, AddCheck);
        case 2:
            return DrawInterleaved(pdf, code, X, Y, ShowCode, ZoomFactor, Height, AddCheck);
        case 3:
            return DrawPostnet(pdf, code, X, Y, ShowCode, ZoomFactor);
        case 4:
            return DrawCode128(pdf, code, X, Y, ShowCode, ZoomFactor, Height);
        case 5:
            return DrawEan(pdf, detail::EncodeEan8(code), kEan8, X, Y, ShowCode, ZoomFactor,
                           Height);
        default:
            return 0;
        }
    };
    // The text's font and position are taken back by the state restore.
    if (!ShowCode) return draw();
    detail::PushGraphicState(*m_);
    float width = 0;
    try {
        width = draw();
    } catch (...) {
        // A refused symbol must not leave a saved state behind on the stack.
        detail::PopGraphicState(*m_);
        throw;
    }
    detail::PopGraphicState(*m_);
    return width;
} catch (...) {
    detail::RethrowFailure("DrawBarCode");
}

} // namespace pagora
