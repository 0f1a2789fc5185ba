// Rectangles: plain, with rounded corners, and with only some sides stroked.
#include "pdf/content/content.h"

#include "pdf/writer/writer.h"

namespace pagora {

namespace {

constexpr int32_t kLeftSide = 1;
constexpr int32_t kRightSide = 2;
constexpr int32_t kTopSide = 4;
constexpr int32_t kBottomSide = 8;
constexpr int32_t kAllSides = 15;
constexpr int32_t kTopLeftCorner = 16;
constexpr int32_t kTopRightCorner = 32;
constexpr int32_t kBottomRightCorner = 64;
constexpr int32_t kBottomLeftCorner = 128;
// Distance of a rounded corner's control points from its end points, relative to the radius.
constexpr double kCornerControl = 0.55;

bool Has(int32_t border, int32_t bit) {
    return (border & bit) != 0;
}

// A rectangle with rounded corners: its edges, the radius, how far each corner cuts into its two
// sides (the radius when rounded, else 0), and each corner's curve, from the end of one side to
// the start of the next.
struct RoundedRect {
    float x = 0, y = 0, right = 0, bottom = 0, r = 0;
    float top_left = 0, top_right = 0, bottom_right = 0, bottom_left = 0;
    std::string top_left_curve, top_right_curve, bottom_right_curve, bottom_left_curve;
};

std::string Point(const detail::WriterState& s, float x, float y) {
    return detail::FormatUnits(s, x) + " " + detail::FormatUnits(s, y);
}

RoundedRect RoundedRectOf(const detail::WriterState& s, float x, float y, float width, float height,
                          int32_t border, float ray) {
    const auto p = [&s](float px, float py) { return Point(s, px, py); };
    RoundedRect rect;
    float r = ray;
    if (width / 2 < r) r = width / 2;
    if (height / 2 < r) r = height / 2;
    const auto k = static_cast<float>(r * kCornerControl);
    rect.x = x;
    rect.y = y;
    rect.right = x + width;
    rect.bottom = y + height;
    rect.r = r;
    rect.top_left = Has(border, kTopLeftCorner) ? r : 0;
    rect.top_right = Has(border, kTopRightCorner) ? r : 0;
    rect.bottom_right = Has(border, kBottomRightCorner) ? r : 0;
    rect.bottom_left = Has(border, kBottomLeftCorner) ? r : 0;
    const float right = rect.right;
    const float bottom = rect.bottom;
    rect.top_right_curve =
        p(right - r + k, y) + " " + p(right, y + r - k) + " " + p(right, y + r) + " c";
    rect.bottom_right_curve = p(right, bottom - r + k) + " " + p(right - r + k, bottom) + " " +
                              p(right - r, bottom) + " c";
    rect.bottom_left_curve =
        p(x + r - k, bottom) + " " + p(x, bottom - r + k) + " " + p(x, bottom - r) + " c";
    rect.top_left_curve = p(x, y + r - k) + " " + p(x + r - k, y) + " " + p(x + r, y) + " c";
    return rect;
}

// The closed outline, clockwise from the top-left corner, each rounded corner as its curve.
std::string Outline(const detail::WriterState& s, const RoundedRect& q, int32_t border) {
    std::string block = Point(s, q.x + q.top_left, q.y) + " m\r";
    block += Point(s, q.right - q.top_right, q.y) + " l\r";
    if (Has(border, kTopRightCorner)) block += q.top_right_curve + "\r";
    block += Point(s, q.right, q.bottom - q.bottom_right) + " l\r";
    if (Has(border, kBottomRightCorner)) block += q.bottom_right_curve + "\r";
    block += Point(s, q.x + q.bottom_left, q.bottom) + " l\r";
    if (Has(border, kBottomLeftCorner)) block += q.bottom_left_curve + "\r";
    block += Point(s, q.x, q.y + q.top_left) + " l\r";
    if (Has(border, kTopLeftCorner)) block += q.top_left_curve + "\r";
    return block;
}

// The named sides and rounded corners, each stroked on its own, clockwise from the top side.
std::string StrokedSides(const detail::WriterState& s, const RoundedRect& q, int32_t border) {
    const auto p = [&s](float px, float py) { return Point(s, px, py); };
    std::string block;
    if (Has(border, kTopSide))
        block += p(q.x + q.top_left, q.y) + " m\r" + p(q.right - q.top_right, q.y) + " l S\r";
    if (Has(border, kTopRightCorner))
        block += p(q.right - q.r, q.y) + " m\r" + q.top_right_curve + " S\r";
    if (Has(border, kRightSide))
        block += p(q.right, q.y + q.top_right) + " m\r" + p(q.right, q.bottom - q.bottom_right) +
                 " l S\r";
    if (Has(border, kBottomRightCorner))
        block += p(q.right, q.bottom - q.r) + " m\r" + q.bottom_right_curve + " S\r";
    if (Has(border, kBottomSide))
        block += p(q.right - q.bottom_right, q.bottom) + " m\r" + p(q.x + q.bottom_left, q.bottom) +
                 " l S\r";
    if (Has(border, kBottomLeftCorner))
        block += p(q.x + q.r, q.bottom) + " m\r" + q.bottom_left_curve + " S\r";
    if (Has(border, kLeftSide))
        block += p(q.x, q.bottom - q.bottom_left) + " m\r" + p(q.x, q.y + q.top_left) + " l S\r";
    if (Has(border, kTopLeftCorner))
        block += p(q.x, q.y + q.r) + " m\r" + q.top_left_curve + " S\r";
    return block;
}

// A rectangle with rounded corners or with some sides missing. With some sides missing the
// outline only carries the fill or the clip: an outline left unpainted would be stroked in full
// by the first side's stroke below.
void DrawShapedRect(Pagora::Members& m, const RoundedRect& rect, int32_t options, int32_t border) {
    const bool all_sides = (border & kAllSides) == kAllSides;
    const bool fills = (options & detail::kFillPath) != 0;
    const bool clips = (options & detail::kClipPath) != 0;
    if (all_sides || fills || clips)
        detail::WriteContent(m.writer, Outline(m.writer, rect, border));
    if (all_sides) {
        detail::WritePaintOperator(m, options);
        return;
    }
    if (fills) {
        detail::WritePaintOperator(m, options | detail::kNoStroke);
    } else if (clips) {
        // The outline becomes the clipping path and is ended without painting.
        detail::WriteContent(m.writer, "W n");
    }
    const std::string block = StrokedSides(m.writer, rect, border);
    detail::WriteContent(m.writer, block);
    // Whatever was drawn is stroked here, or the path was ended above.
    if (!block.empty() || clips) m.content.path_open = false;
}

} // namespace

void Pagora::DrawRect(float X, float Y, float xDim, float YDim, int32_t Options, int32_t Border,
                      float Ray) try {
    Members& m = *m_;
    const bool all_sides = (Border & kAllSides) == kAllSides;
    if (Ray <= 0 && all_sides) {
        detail::WriteContent(m.writer,
                             Point(m.writer, X, Y) + " " + Point(m.writer, xDim, YDim) + " re");
        detail::WritePaintOperator(m, Options);
    } else {
        DrawShapedRect(m, RoundedRectOf(m.writer, X, Y, xDim, YDim, Border, Ray), Options, Border);
    }
    detail::SetPosition(m, X, Y);
    const float scale = m.writer.scale_factor;
    const float height = m.writer.page_height;
    const detail::ContentState& c = m.content;
    detail::SetLastBounds(m, c.current_x, height - c.current_y, c.current_x + xDim * scale,
                          height - (c.current_y + YDim * scale));
} catch (...) {
    detail::RethrowFailure("DrawRect");
}

} // namespace pagora
