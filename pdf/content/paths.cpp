// Path construction and painting: lines, curves, arcs, ellipses, polygons and polylines.
#include "pdf/content/content.h"

#include "pdf/content/number_parsing.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <cmath>

namespace pagora {

namespace detail {

namespace {

constexpr double kRadiansPerDegree = 0.0174532925199433;
// (sqrt(2) - 1) * 4 / 3: control-point distance of a quarter ellipse, relative to its radius.
constexpr double kQuarterEllipse = 0.5522847498307935;

// "x y" of a point in user units.
std::string Point(const Pagora::Members& m, float x, float y) {
    return FormatUnits(m.writer, x) + " " + FormatUnits(m.writer, y);
}

// The box from (x1, y1) to (x2, y2), user units, in the default PDF space.
void SetUserBounds(Pagora::Members& m, float x1, float y1, float x2, float y2) {
    const float scale = m.writer.scale_factor;
    const float height = m.writer.page_height;
    SetLastBounds(m, x1 * scale, height - y1 * scale, x2 * scale, height - y2 * scale);
}

} // namespace

std::string PaintOperator(int32_t options) {
    std::string text;
    if ((options & kFillPath) != 0) {
        if ((options & kNoStroke) != 0) {
            text = "f*";
        } else if ((options & kClosePath) != 0) {
            text = "b*";
        } else {
            text = "B*";
        }
    } else {
        if ((options & kClosePath) != 0) text = "h";
        if ((options & kNoStroke) == 0) text = text.empty() ? "S" : text + " S";
    }
    if ((options & kClipPath) != 0) text = "W " + text;
    return text;
}

void WritePaintOperator(Pagora::Members& m, int32_t options) {
    const std::string line = PaintOperator(options);
    WriteContent(m.writer, line);
    // Stroking, filling or "n" end the path; an empty line, "h" or "W" alone leave it open.
    m.content.path_open = line.find_first_of("S*n") == std::string::npos;
}

// A segment needs a current point: with no path open (at the start of a page, or after a shape
// was painted) the path begins at the current position, or the content would be unreadable.
void BeginPathIfNone(Pagora::Members& m) {
    if (!m.content.path_open) {
        const float sf = m.writer.scale_factor;
        WriteContent(m.writer, Point(m, m.content.current_x / sf, m.content.current_y / sf) + " m");
    }
}

} // namespace detail

void Pagora::MoveTo(float X, float Y) try {
    detail::WriteContent(m_->writer, detail::Point(*m_, X, Y) + " m");
    m_->content.path_open = true;
    detail::SetPosition(*m_, X, Y);
} catch (...) {
    detail::RethrowFailure("MoveTo");
}

void Pagora::DrawLine(float X1, float Y1, float X2, float Y2, int32_t Options) try {
    detail::WriteContent(m_->writer,
                         detail::Point(*m_, X1, Y1) + " m " + detail::Point(*m_, X2, Y2) + " l");
    detail::WritePaintOperator(*m_, Options);
    detail::SetPosition(*m_, X2, Y2);
    detail::SetUserBounds(*m_, X1, Y1, X2, Y2);
} catch (...) {
    detail::RethrowFailure("DrawLine");
}

void Pagora::DrawLineTo(float X, float Y, int32_t Options) try {
    const std::string line = detail::Point(*m_, X, Y) + " l";
    detail::BeginPathIfNone(*m_);
    detail::WriteContent(m_->writer, line);
    detail::WritePaintOperator(*m_, Options);
    detail::SetPosition(*m_, X, Y);
} catch (...) {
    detail::RethrowFailure("DrawLineTo");
}

void Pagora::DrawCurve(int16_t CurveType, float X1, float Y1, float X2, float Y2, float X3,
                       float Y3, int32_t Options) try {
    std::string curve;
    float end_x = 0;
    float end_y = 0;
    switch (CurveType) {
    case 1:
        curve = detail::Point(*m_, X1, Y1) + " " + detail::Point(*m_, X2, Y2) + " " +
                detail::Point(*m_, X3, Y3) + " c";
        end_x = X3;
        end_y = Y3;
        break;
    case 2:
    case 3:
        curve = detail::Point(*m_, X1, Y1) + " " + detail::Point(*m_, X2, Y2) +
                (CurveType == 2 ? " v" : " y");
        end_x = X2;
        end_y = Y2;
        break;
    default:
        break;
    }
    if (!curve.empty()) {
        detail::BeginPathIfNone(*m_);
        detail::WriteContent(m_->writer, curve);
    }
    detail::WritePaintOperator(*m_, Options);
    if (!curve.empty()) detail::SetPosition(*m_, end_x, end_y);
} catch (...) {
    detail::RethrowFailure("DrawCurve");
}

void Pagora::DrawArc(float X, float Y, float Ray, float StartAngle, float EndAngle, float Ratio,
                     bool Pie, int16_t Quality, int32_t Options) try {
    const auto step = static_cast<float>(Quality);
    // The angle counter must move on every step, or the loop would never end: a step of zero,
    // or angles so large (or infinite) that adding the step leaves them unchanged, are refused.
    const float largest = std::max(std::fabs(StartAngle), std::fabs(EndAngle));
    if (step == 0 || largest + std::fabs(step) == largest) detail::RaiseError(5, "DrawArc");
    // Every turn after the first draws the same points again: a count of steps far beyond any
    // drawing (millions of lines, taking seconds and hundreds of megabytes) is refused as well.
    constexpr double kMostSteps = 100000;
    if ((static_cast<double>(EndAngle) - StartAngle) / step > kMostSteps)
        detail::RaiseError(5, "DrawArc");
    if ((Options & detail::kFillPath) != 0) Pie = true;
    // Every line is built first so that a value that cannot be written leaves no partial path.
    std::vector<std::string> lines;
    lines.push_back(detail::Point(*m_, X, Y) + " m");
    for (float a = StartAngle; step > 0 ? a <= EndAngle : a >= EndAngle; a += step) {
        const auto r = static_cast<float>(a * detail::kRadiansPerDegree);
        const auto dx = static_cast<float>(Ray * std::cos(static_cast<double>(r)));
        const auto dy = static_cast<float>((Ray * Ratio) * std::sin(static_cast<double>(r)));
        const std::string point = detail::Point(*m_, X + dx, Y + dy);
        if (a == StartAngle && !Pie) lines.push_back(point + " m");
        lines.push_back(point + " l");
    }
    if (Pie) lines.push_back(detail::Point(*m_, X, Y) + " l");
    for (const std::string& line : lines)
        detail::WriteContent(m_->writer, line);
    detail::WritePaintOperator(*m_, Options);
    detail::SetUserBounds(*m_, X - Ray, Y - Ray, X + Ray, Y + Ray);
    detail::SetPosition(*m_, X, Y);
} catch (...) {
    detail::RethrowFailure("DrawArc");
}

void Pagora::DrawEllipse(float X, float Y, float XRay, float YRay, int32_t Options) try {
    const auto kx = static_cast<float>(detail::kQuarterEllipse * XRay);
    const auto ky = static_cast<float>(detail::kQuarterEllipse * YRay);
    const auto p = [this](float px, float py) { return detail::Point(*m_, px, py); };
    // From the rightmost point through the top, left and bottom points back to the start.
    std::string block = p(X + XRay, Y) + " m";
    block += "\r" + p(X + XRay, Y - ky) + " " + p(X + kx, Y - YRay) + " " + p(X, Y - YRay) + " c";
    block += "\r" + p(X - kx, Y - YRay) + " " + p(X - XRay, Y - ky) + " " + p(X - XRay, Y) + " c";
    block += "\r" + p(X - XRay, Y + ky) + " " + p(X - kx, Y + YRay) + " " + p(X, Y + YRay) + " c";
    block += "\r" + p(X + kx, Y + YRay) + " " + p(X + XRay, Y + ky) + " " + p(X + XRay, Y) + " c";
    detail::WriteContent(m_->writer, block);
    detail::WritePaintOperator(*m_, Options);
    detail::SetPosition(*m_, X, Y);
    detail::SetUserBounds(*m_, X - XRay, Y - YRay, X + XRay, Y + YRay);
} catch (...) {
    detail::RethrowFailure("DrawEllipse");
}

void Pagora::DrawCircle(float X, float Y, float Ray, int32_t Options) try {
    DrawEllipse(X, Y, Ray, Ray, Options);
} catch (...) {
    detail::RethrowFailure("DrawCircle");
}

void Pagora::DrawPolygon(float X, float Y, float Ray, int16_t Sides, int32_t Options) try {
    if (Sides == 0) detail::RaiseError(11, "DrawPolygon");
    Ray = std::fabs(Ray);
    const auto step = static_cast<float>(360.0 / Sides);
    const float s = step < 0 ? -1.0f : 1.0f;
    std::string block = detail::Point(*m_, s * Ray + X, Y) + " m";
    for (float a = step; std::fabs(a) < 360; a += step) {
        const double r = a * detail::kRadiansPerDegree;
        const auto px = static_cast<float>((s * Ray) * std::cos(r) + X);
        const auto py = static_cast<float>(Ray * std::sin(r) + Y);
        block += "\r" + detail::Point(*m_, px, py) + " l";
    }
    detail::WriteContent(m_->writer, block);
    detail::WritePaintOperator(*m_, Options | detail::kClosePath);
    detail::SetUserBounds(*m_, X - Ray, Y - Ray, X + Ray, Y + Ray);
    detail::SetPosition(*m_, X, Y);
} catch (...) {
    detail::RethrowFailure("DrawPolygon");
}

namespace detail {

namespace {

// Draws a polyline from coordinates already read as numbers.
void DrawPolylineValues(Pagora::Members& m, const std::vector<double>& values, int32_t options) {
    // A missing y, or no point at all, is refused before anything is drawn or recorded, so that
    // no painting line without a path reaches the content.
    if (values.empty() || values.size() % 2 != 0) RaiseError(9, "DrawPolyline");
    const float scale = m.writer.scale_factor;
    const float height = m.writer.page_height;
    std::string block;
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (size_t i = 0; i < values.size(); i += 2) {
        const auto x = static_cast<float>(values[i] * scale);
        const auto y = static_cast<float>(values[i + 1] * scale);
        block +=
            FormatReal(m.writer, x) + " " + FormatReal(m.writer, y) + (i == 0 ? " m\r" : " l\r");
        const float page_y = height - y;
        if (i == 0) {
            min_x = max_x = x;
            min_y = max_y = page_y;
        } else {
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, page_y);
            max_y = std::max(max_y, page_y);
        }
    }
    WriteContent(m.writer, block);
    WritePaintOperator(m, options);
    SetLastBounds(m, min_x, min_y, max_x, max_y);
    const size_t at = (options & kClosePath) != 0 ? 0 : values.size() - 2;
    SetPosition(m, static_cast<float>(values[at]), static_cast<float>(values[at + 1]));
}

} // namespace

} // namespace detail

void Pagora::DrawPolyline(const std::vector<double>& Points, int32_t Options) try {
    detail::DrawPolylineValues(*m_, Points, Options);
} catch (...) {
    detail::RethrowFailure("DrawPolyline");
}

void Pagora::DrawPolyline(const std::vector<std::string>& Points, int32_t Options) try {
    std::vector<double> values;
    values.reserve(Points.size());
    for (const std::string& point : Points)
        values.push_back(detail::ReadNumber(point));
    detail::DrawPolylineValues(*m_, values, Options);
} catch (...) {
    detail::RethrowFailure("DrawPolyline");
}

} // namespace pagora
