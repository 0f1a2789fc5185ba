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
// Distance of a rounded corner's control points from its end points, relative to the radius.
constexpr double kCornerControl = 0.55;

} // namespace

void Pagora::DrawRect(float X, float Y, float xDim, float YDim, int32_t Options, int32_t Border,
                      float Ray) try {
    Members& m = *m_;
    const auto p = [&m](float px, float py) {
        return detail::FormatUnits(m.writer, px) + " " + detail::FormatUnits(m.writer, py);
    };
    const bool all_sides = (Border & kAllSides) == kAllSides;
    if (Ray <= 0 && all_sides) {
        detail::WriteContent(m.writer, p(X, Y) + " " + p(xDim, YDim) + " re");
        detail::WritePaintOperator(m, Options);
    } else {
        float r = Ray;
        if (xDim / 2 < r) r = xDim / 2;
        if (YDim / 2 < r) r = YDim / 2;
        const auto k = static_cast<float>(r * kCornerControl);
        const float c16 = (Border & 16) != 0 ? r : 0;
        const float c32 = (Border & 32) != 0 ? r : 0;
        const float c64 = (Border & 64) != 0 ? r : 0;
        const float c128 = (Border & 128) != 0 ? r : 0;
        const float right = X + xDim;
        const float bottom = Y + YDim;
        // The four rounded corners, each from the end of one side to the start of the next.
        const std::string top_right =
            p(right - r + k, Y) + " " + p(right, Y + r - k) + " " + p(right, Y + r) + " c";
        const std::string bottom_right = p(right, bottom - r + k) + " " + p(right - r + k, bottom) +
                                         " " + p(right - r, bottom) + " c";
        const std::string bottom_left =
            p(X + r - k, bottom) + " " + p(X, bottom - r + k) + " " + p(X, bottom - r) + " c";
        const std::string top_left =
            p(X, Y + r - k) + " " + p(X + r - k, Y) + " " + p(X + r, Y) + " c";

        // With some sides missing the outline only carries the fill or the clip: an outline
        // left unpainted would be stroked in full by the first side's stroke below.
        const bool fills = (Options & detail::kFillPath) != 0;
        const bool clips = (Options & detail::kClipPath) != 0;
        const bool outline = all_sides || fills || clips;
        if (outline) {
            std::string block = p(X + c16, Y) + " m\r";
            block += p(right - c32, Y) + " l\r";
            if ((Border & 32) != 0) block += top_right + "\r";
            block += p(right, bottom - c64) + " l\r";
            if ((Border & 64) != 0) block += bottom_right + "\r";
            block += p(X + c128, bottom) + " l\r";
            if ((Border & 128) != 0) block += bottom_left + "\r";
            block += p(X, Y + c16) + " l\r";
            if ((Border & 16) != 0) block += top_left + "\r";
            detail::WriteContent(m.writer, block);
        }
        if (all_sides) {
            detail::WritePaintOperator(m, Options);
        } else {
            if (fills) {
                detail::WritePaintOperator(m, Options | detail::kNoStroke);
            } else if (clips) {
                // The outline becomes the clipping path and is ended without painting.
                detail::WriteContent(m.writer, "W n");
            }
            std::string block;
            if ((Border & kTopSide) != 0)
                block += p(X + c16, Y) + " m\r" + p(right - c32, Y) + " l S\r";
            if ((Border & 32) != 0) block += p(right - r, Y) + " m\r" + top_right + " S\r";
            if ((Border & kRightSide) != 0)
                block += p(right, Y + c32) + " m\r" + p(right, bottom - c64) + " l S\r";
            if ((Border & 64) != 0) block += p(right, bottom - r) + " m\r" + bottom_right + " S\r";
            if ((Border & kBottomSide) != 0)
                block += p(right - c64, bottom) + " m\r" + p(X + c128, bottom) + " l S\r";
            if ((Border & 128) != 0) block += p(X + r, bottom) + " m\r" + bottom_left + " S\r";
            if ((Border & kLeftSide) != 0)
                block += p(X, bottom - c128) + " m\r" + p(X, Y + c16) + " l S\r";
            if ((Border & 16) != 0) block += p(X, Y + r) + " m\r" + top_left + " S\r";
            detail::WriteContent(m.writer, block);
            // Whatever was drawn is stroked here, or the path was ended above.
            if (!block.empty() || clips) m.content.path_open = false;
        }
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
