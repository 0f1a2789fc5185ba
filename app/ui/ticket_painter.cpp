#include "app/ui/ticket_painter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QString>
#include <QTextBoundaryFinder>

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

// A paragraph broken at blanks into lines no wider than `width`; a line that fits stays as it
// is (blanks included), the blanks a line breaks at are dropped, and a word wider than `width`
// stands alone on its line.
QStringList WrapParagraph(const QString& paragraph, const QFontMetricsF& metrics, double width) {
    QStringList lines;
    QString rest = paragraph;
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (metrics.horizontalAdvance(rest) > width) {
        // The last blank before which the line still fits; else the first blank after a word.
        qsizetype cut = -1;
        for (qsizetype i = 1; i < rest.size(); ++i) {
            if (!blank(rest[i]) || blank(rest[i - 1])) continue;
            if (cut >= 0 && metrics.horizontalAdvance(rest.left(i)) > width) break;
            cut = i;
        }
        if (cut < 0) break; // one word, wider than the width
        qsizetype next = cut;
        while (next < rest.size() && blank(rest[next]))
            ++next;
        lines.push_back(rest.left(cut));
        rest = rest.mid(next);
    }
    if (lines.isEmpty() || !rest.isEmpty()) lines.push_back(rest);
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

    // A label prints the lines its preview shows, in the same font.
    void PrintLabel(const ticket::TicketPreview& preview, int label) {
        const TicketLabelText layout = TicketLabelLayout(
            label, QString::fromStdString(preview.labels[static_cast<std::size_t>(label)]));
        Print(layout.lines, layout.font);
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

namespace {

// The smallest size a ticket text is set in before it is cut, and the steps towards it.
constexpr double kSmallestPointSize = 5.0;
constexpr double kPointSizeStep = 0.25;

// How many lines of a font fit a height whole; the first line always counts.
qsizetype LinesFitting(const QFontMetricsF& metrics, double height) {
    return std::max<qsizetype>(
        1, static_cast<qsizetype>(std::floor((height - metrics.height()) / metrics.lineSpacing())) +
               1);
}

} // namespace

TicketLabelText TicketLabelLayout(int label, const QString& text) {
    if (label < 0 || label >= ticket::kTicketLabelCount) return {};
    const auto& box = ticket::kPreviewLabelRects[static_cast<std::size_t>(label)];
    // The preview label's own size on the screen.
    const double width = Px(box.width);
    const double height = Px(box.height);
    static const QRegularExpression kBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList paragraphs = text.split(kBreak);

    TicketLabelText layout{{}, TicketLabelFont(label)};
    for (double size = layout.font.pointSizeF();; size -= kPointSizeStep) {
        const bool smallest = size - kPointSizeStep < kSmallestPointSize;
        layout.font.setPointSizeF(size);
        const QFontMetricsF metrics(layout.font);
        layout.lines.clear();
        for (const QString& paragraph : paragraphs)
            layout.lines += WrapParagraph(paragraph, metrics, width);
        const bool fits =
            layout.lines.size() <= LinesFitting(metrics, height) &&
            std::all_of(layout.lines.begin(), layout.lines.end(), [&](const QString& line) {
                return metrics.horizontalAdvance(line) <= width;
            });
        if (fits) return layout;
        if (!smallest) continue;
        // Even the smallest size does not hold it: a line partly below the box would show only
        // its upper half, and a word wider than the box shows what fits.
        const qsizetype fitting = LinesFitting(metrics, height);
        if (layout.lines.size() > fitting) layout.lines.resize(fitting);
        for (QString& line : layout.lines)
            line = CutToWidth(line, metrics, width);
        return layout;
    }
}

QStringList TicketLabelLines(int label, const QString& text) {
    return TicketLabelLayout(label, text).lines;
}

QFont TicketLabelFont(int label) {
    QFont font(QStringLiteral("Arial"));
    font.setBold(ticket::IsBoldLabel(label));
    font.setPointSizeF(8.25);
    return font;
}

void PaintTicket(QPainter& painter, const ticket::TicketPreview& preview,
                 const ticket::QrPicture* qr, const QImage& logo) {
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
    for (int label : {ticket::kLabelTitle, ticket::kLabelText, ticket::kLabelFooter}) {
        out.PrintLabel(preview, label);
        out.y += kGap;
    }
    out.y += kGap;
    out.Print({QString(kCutLineLength, QLatin1Char('-'))}, TicketLabelFont(ticket::kLabelFooter));
    out.y += kGap;

    PaintQrBox(painter, qr, out.Rect(kQrLeft, out.y, kQrBoxTwips, kQrBoxTwips));
    out.y += kQrAdvance;
    const double top = std::nearbyint(out.y);

    out.y = top;
    for (int label : {ticket::kLabelPayeeHeading, ticket::kLabelAccount, ticket::kLabelCompany,
                      ticket::kLabelStreet, ticket::kLabelTown}) {
        out.PrintLabel(preview, label);
    }
    out.y = top;
    out.x = kRightColumn;
    out.PrintLabel(preview, ticket::kLabelAmountHeading);
    out.x = kRightColumn;
    out.PrintLabel(preview, ticket::kLabelCurrency);
    // The amount goes on the currency's line, right of it.
    out.x = kAmountLeft;
    out.y -= kLine;
    out.PrintLabel(preview, ticket::kLabelAmount);
    out.x = kRightColumn;
    out.y += kLine;
    out.PrintLabel(preview, ticket::kLabelMessageHeading);
    for (int label : {ticket::kLabelReference, ticket::kLabelPlates}) {
        out.x = kRightColumn;
        out.PrintLabel(preview, label);
    }
    painter.restore();
}

} // namespace kerbolt::ui
