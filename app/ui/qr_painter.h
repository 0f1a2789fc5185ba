// Painting of the QR picture and of the Swiss cross in its centre, on any paint device.
#pragma once

#include <QRectF>

#include "app/core/ticket/qr_picture.h"

class QPainter;

namespace kerbolt::ui {

// The preview box that holds the QR code, and the cross painted in its centre, in twips.
inline constexpr double kQrBoxTwips = 2608;
inline constexpr double kSwissCrossTwips = 375;

// The picture stretched over `target` (device coordinates): its white square, then every
// outline filled together with the even-odd rule, so that holes in dark areas stay white.
void PaintQrPicture(QPainter& painter, const ticket::QrPicture& picture, const QRectF& target);

// The Swiss cross of the QR-bill over `target`: a white frame, a black square, a white cross.
void PaintSwissCross(QPainter& painter, const QRectF& target);

// The QR box as the ticket shows it: the picture over the whole box and the cross in its
// centre, at the size the cross has in a box of kQrBoxTwips. Without a picture (the text did
// not fit the symbol) the box is plain white.
void PaintQrBox(QPainter& painter, const ticket::QrPicture* picture, const QRectF& box);

} // namespace kerbolt::ui
