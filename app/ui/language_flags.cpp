#include "app/ui/language_flags.h"

#include <QPainter>

#include <array>

namespace kerbolt::ui {

namespace {

void VerticalBands(QPainter& p, const QRectF& r, const std::array<QColor, 3>& colours) {
    const double w = r.width() / 3;
    for (int i = 0; i < 3; ++i)
        p.fillRect(QRectF(r.left() + i * w, r.top(), w, r.height()),
                   colours[static_cast<std::size_t>(i)]);
}

void HorizontalBands(QPainter& p, const QRectF& r, const std::array<QColor, 3>& colours) {
    const double h = r.height() / 3;
    for (int i = 0; i < 3; ++i)
        p.fillRect(QRectF(r.left(), r.top() + i * h, r.width(), h),
                   colours[static_cast<std::size_t>(i)]);
}

// Blue field, white and red diagonals, white and red cross.
void Union(QPainter& p, const QRectF& r) {
    const QColor blue(1, 33, 105), red(200, 16, 46);
    p.fillRect(r, blue);
    const double unit = r.height() / 30.0;
    p.setPen(QPen(Qt::white, 6 * unit));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(QPen(red, 2 * unit));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    const QPointF c = r.center();
    p.fillRect(QRectF(r.left(), c.y() - 5 * unit, r.width(), 10 * unit), Qt::white);
    p.fillRect(QRectF(c.x() - 5 * unit, r.top(), 10 * unit, r.height()), Qt::white);
    p.fillRect(QRectF(r.left(), c.y() - 3 * unit, r.width(), 6 * unit), red);
    p.fillRect(QRectF(c.x() - 3 * unit, r.top(), 6 * unit, r.height()), red);
}

} // namespace

QPixmap FlagPixmap(int index, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::lightGray);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(pixmap.rect());
    const QRectF r(pixmap.rect());
    switch (index) {
    case 0:
        VerticalBands(p, r, {QColor(0, 35, 149), Qt::white, QColor(237, 41, 57)});
        break;
    case 1:
        HorizontalBands(p, r, {Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)});
        break;
    case 2:
        Union(p, r);
        break;
    case 3:
        VerticalBands(p, r, {QColor(0, 146, 70), Qt::white, QColor(206, 43, 55)});
        break;
    default:
        break;
    }
    p.setClipping(false);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    return pixmap;
}

} // namespace kerbolt::ui
