// The printed ticket's page: logo, texts, cut line, QR-bill code and its columns, laid out in
// twips from the top-left corner of the paint device (the printable area on a printer).
#pragma once

#include <QFont>
#include <QImage>
#include <QStringList>

#include "app/core/ticket/qr_picture.h"
#include "app/core/ticket/ticket_preview.h"

class QPainter;

namespace kerbolt::ui {

// The ticket logo shipped with the program; the screen logo shows the same image.
QImage TicketLogo();

// Height in twips of a logo printed 2500 twips wide, rounded half to even.
int TicketLogoHeight(int width, int height);

// The font a preview label is shown and printed in: Arial 8.25 points, bold for the title,
// the footer and the headings.
QFont TicketLabelFont(int label);

// What a preview label shows of a text: its lines and the font they are set in.
struct TicketLabelText {
    QStringList lines;
    QFont font;
};

// The lines a preview label shows of a text, in the label's box (ticket_layout.h), as the screen
// measures them: every line of the text wraps at blanks to the box's width, never inside a word,
// and when the lines do not fit the box's width and height the font is made smaller, step by
// step, until they do. Only a text that does not fit even at the smallest size is cut: each line
// to the whole characters that fit the width, and to the lines that fit the height. The preview
// shows these lines and the paper prints them in this font, so that nothing on the ticket differs
// from what the user saw.
TicketLabelText TicketLabelLayout(int label, const QString& text);

// The lines of TicketLabelLayout.
QStringList TicketLabelLines(int label, const QString& text);

// Paints one ticket. `qr` is the picture the preview shows (none when the payload did not fit
// the symbol); a null `logo` leaves the logo out.
void PaintTicket(QPainter& painter, const ticket::TicketPreview& preview,
                 const ticket::QrPicture* qr, const QImage& logo);

} // namespace kerbolt::ui
