#include "app/ui/qr_painter.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace kerbolt::ui {

namespace {

QColor FromWindowsColor(std::uint32_t color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

} // namespace

void PaintQrPicture(QPainter& painter, const ticket::QrPicture& picture, const QRectF& target) {
    if (picture.square <= 0) return;
    const double sx = target.width() / picture.square;
    const double sy = target.height() / picture.square;
    // One path for all outlines: filled one by one, a hole's polygon would paint over the
    // white it has to leave.
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& polygon : picture.polygons) {
        QPolygonF points;
        points.reserve(static_cast<qsizetype>(polygon.size()));
        for (const auto& point : polygon) {
            // The picture's y axis grows upwards from its bottom edge.
            points.append(QPointF(target.left() + point.x * sx,
                                  target.top() + (picture.square - point.y) * sy));
        }
        path.addPolygon(points);
        path.closeSubpath();
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(target, Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FromWindowsColor(picture.fore_color));
    painter.drawPath(path);
    painter.restore();
}

void PaintSwissCross(QPainter& painter, const QRectF& target) {
    // The cross keeps the flag's proportions: arms 6 units thick spanning 20 units of the
    // 32-unit black square.
    const double frame = target.width() / 25;
    const QRectF square = target.adjusted(frame, frame, -frame, -frame);
    const double unit = square.width() / 32;
    const QPointF centre = square.center();
    const double arm = 3 * unit;
    const double reach = 10 * unit;
    QPainterPath cross;
    cross.setFillRule(Qt::WindingFill);
    cross.addRect(QRectF(centre.x() - arm, centre.y() - reach, 2 * arm, 2 * reach));
    cross.addRect(QRectF(centre.x() - reach, centre.y() - arm, 2 * reach, 2 * arm));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(target, Qt::white);
    painter.fillRect(square, Qt::black);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(cross.simplified());
    painter.restore();
}

void PaintQrBox(QPainter& painter, const ticket::QrPicture* picture, const QRectF& box) {
    if (picture == nullptr) {
        painter.fillRect(box, Qt::white);
        return;
    }
    PaintQrPicture(painter, *picture, box);
    const double side = box.width() * kSwissCrossTwips / kQrBoxTwips;
    const QPointF centre = box.center();
    PaintSwissCross(painter, QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side));
}

} // namespace kerbolt::ui
