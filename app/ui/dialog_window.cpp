#include "app/ui/dialog_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace kerbolt::ui {

DialogWindow::DialogWindow(QWidget* parent) : KerboltWindow(parent) {
    setWindowModality(Qt::ApplicationModal);
}

void DialogWindow::CentreOn(const QWidget& parent) {
    // A dialog opened without a place would stand at the screen's corner, far from the window the
    // user was working in.
    QRect frame(QPoint(0, 0), frameGeometry().size());
    frame.moveCenter(parent.frameGeometry().center());
    if (const QScreen* screen = parent.screen(); screen != nullptr) {
        const QRect room = screen->availableGeometry();
        frame.moveLeft(std::max(room.left(), std::min(frame.left(), room.right() - frame.width())));
        frame.moveTop(std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height())));
    }
    move(frame.topLeft());
}

void DialogWindow::Unload() {
    close();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (unloaded_) return;
    unloaded_ = true;
    hide();
    emit unloaded();
    deleteLater();
}

QFont ListFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(9);
    return font;
}

void PlaceHeading(QLabel* heading, const QListWidget* list, int column, int width) {
    // Items are drawn a few pixels in from the list's frame.
    constexpr int kItemIndent = 3;
    // Measured with fractions: rounded per character, the columns would drift along the line.
    const qreal char_width = QFontMetricsF(list->font()).horizontalAdvance(QLatin1Char('0'));
    const int line = heading->fontMetrics().height();
    heading->setWordWrap(true);
    heading->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    heading->setGeometry(list->x() + list->frameWidth() + kItemIndent + qRound(column * char_width),
                         list->y() - 2 * line - 2, qRound(width * char_width), 2 * line);
}

std::vector<std::string> ListLines(const QListWidget* list) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        lines.push_back(S(list->item(i)->text()));
    return lines;
}

void OpenModal(DialogWindow* dialog, std::function<void()> after) {
    if (after) QObject::connect(dialog, &DialogWindow::unloaded, dialog, std::move(after));
    dialog->show();
    dialog->activateWindow();
}

void RunModal(DialogWindow* dialog) {
    QEventLoop loop;
    QPointer<DialogWindow> guard(dialog);
    QObject::connect(dialog, &DialogWindow::unloaded, &loop, &QEventLoop::quit);
    OpenModal(dialog);
    if (guard && !guard->IsUnloaded()) loop.exec();
}

} // namespace kerbolt::ui
