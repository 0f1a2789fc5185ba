#include "app/ui/ticket_painter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QString>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "app/core/ticket/ticket_layout.h"
#include "app/ui/qr_painter.h"
#include "app/ui/window_common.h"

// Outside any namespace, as the resource initialiser is declared there.
static void InitTicketResources() {
    Q_INIT_RESOURCE(resources);
}

namespace kerbolt::ui {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kLogoWidth = 2500;
constexpr double kLogoLeft = 734.5; // centres the logo on a ticket 3969 twips wide
constexpr double kGap = 100;
constexpr double kQrLeft = 800;
constexpr double kQrAdvance = 2800;
constexpr double kRightColumn = 2600;
// The amount follows the currency at the distance the preview keeps, so the largest amount fits
// the same width on paper as on the screen.
constexpr double kAmountLeft = 3005;
constexpr double kLine = 185; // one line of label text, as the layout counts it
constexpr int kCutLineLength = 71;

// The longest start of a line, in whole characters, that is no wider than `width`.
QString CutToWidth(const QString& line, const QFontMetricsF& metrics, double width) {
    if (metrics.horizontalAdvance(line) <= width) return line;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, line);
    qsizetype fits = 0;
    for (qsizetype end = characters.toNextBoundary(); end > 0 && end <= line.size();
         end = characters.toNextBoundary()) {
        if (metrics.horizontalAdvance(line.left(end)) > width) break;
        fits = end;
    }
    return line.left(fits);
}

// A paragraph broken at blanks into lines no wider than `width`, as a word-wrapping label
// breaks it; a word longer than the width stands alone on its line.
QStringList WrapParagraph(const QString& paragraph, const QFont& font, double width) {
    if (paragraph.isEmpty()) return {QString()};
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString text = paragraph.mid(line.textStart(), line.textLength());
        // The blank the line broke at is not part of what shows.
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
        lines.push_back(text);
    }
    layout.endLayout();
    return lines;
}

// Prints as a text output device does: each text at the current position, then the position
// moves one line down per text line and back to the left edge.
class TwipsPrinter {
public:
    explicit TwipsPrinter(QPainter& painter)
        : painter_(painter), sx_(painter.device()->logicalDpiX() / kTwipsPerInch),
          sy_(painter.device()->logicalDpiY() / kTwipsPerInch) {}

    double x = 0;
    double y = 0;

    QRectF Rect(double left, double top, double width, double height) const {
        return QRectF(left * sx_, top * sy_, width * sx_, height * sy_);
    }

    // Printed line by line, never wrapped.
    void Print(const QStringList& lines, const QFont& font) {
        painter_.setFont(font);
        const QFontMetricsF metrics(font, painter_.device());
        const double line_height = metrics.height() / sy_;
        for (const QString& line : lines) {
            painter_.drawText(QPointF(x * sx_, y * sy_ + metrics.ascent()), line);
            y += line_height;
        }
        x = 0;
    }

    // A label prints the lines its preview shows.
    void PrintLabel(const TicketPreview& preview, int label) {
        Print(TicketLabelLines(
                  label, QString::fromStdString(preview.labels[static_cast<std::size_t>(label)])),
              TicketLabelFont(label));
    }

private:
    QPainter& painter_;
    double sx_;
    double sy_;
};

} // namespace

QImage TicketLogo() {
    InitTicketResources();
    return QImage(QStringLiteral(":/ticket_logo.png"));
}

int TicketLogoHeight(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<int>(std::nearbyint(kLogoWidth * height / width));
}

QStringList TicketLabelLines(int label, const QString& text) {
    if (label < 0 || label >= kTicketLabelCount) return {};
    const auto& box = kPreviewLabelRects[static_cast<std::size_t>(label)];
    // The preview label's own size on the screen.
    const double width = Px(box.width);
    const double height = Px(box.height);
    const QFont font = TicketLabelFont(label);
    const QFontMetricsF metrics(font);

    static const QRegularExpression kBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString& paragraph : text.split(kBreak)) {
        if (label == kLabelTitle)
            lines += WrapParagraph(paragraph, font, width);
        else
            lines.push_back(paragraph);
    }
    // A line partly below the box would show only its upper half; the first line always shows.
    const auto fitting = std::max<qsizetype>(
        1, static_cast<qsizetype>(std::floor((height - metrics.height()) / metrics.lineSpacing())) +
               1);
    if (lines.size() > fitting) lines.resize(fitting);
    for (QString& line : lines)
        line = CutToWidth(line, metrics, width);
    return lines;
}

QFont TicketLabelFont(int label) {
    QFont font(QStringLiteral("Arial"));
    font.setBold(IsBoldLabel(label));
    font.setPointSizeF(8.25);
    return font;
}

void PaintTicket(QPainter& painter, const TicketPreview& preview, const QrPicture* qr,
                 const QImage& logo) {
    painter.save();
    painter.setPen(Qt::black);
    // A two-colour logo compressed like a photograph would reach the paper with blurred edges.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    TwipsPrinter out(painter);

    out.y = kGap;
    if (!logo.isNull()) {
        const int height = TicketLogoHeight(logo.width(), logo.height());
        painter.drawImage(out.Rect(kLogoLeft, 1, kLogoWidth, height), logo);
        out.y = height + kGap;
    }
    for (int label : {kLabelTitle, kLabelText, kLabelFooter}) {
        out.PrintLabel(preview, label);
        out.y += kGap;
    }
    out.y += kGap;
    out.Print({QString(kCutLineLength, QLatin1Char('-'))}, TicketLabelFont(kLabelFooter));
    out.y += kGap;

    PaintQrBox(painter, qr, out.Rect(kQrLeft, out.y, kQrBoxTwips, kQrBoxTwips));
    out.y += kQrAdvance;
    const double top = std::nearbyint(out.y);

    out.y = top;
    for (int label : {kLabelPayeeHeading, kLabelAccount, kLabelCompany, kLabelStreet, kLabelTown}) {
        out.PrintLabel(preview, label);
    }
    out.y = top;
    out.x = kRightColumn;
    out.PrintLabel(preview, kLabelAmountHeading);
    out.x = kRightColumn;
    out.PrintLabel(preview, kLabelCurrency);
    // The amount goes on the currency's line, right of it.
    out.x = kAmountLeft;
    out.y -= kLine;
    out.PrintLabel(preview, kLabelAmount);
    out.x = kRightColumn;
    out.y += kLine;
    out.PrintLabel(preview, kLabelMessageHeading);
    for (int label : {kLabelReference, kLabelPlates}) {
        out.x = kRightColumn;
        out.PrintLabel(preview, label);
    }
    painter.restore();
}

} // namespace kerbolt::ui
