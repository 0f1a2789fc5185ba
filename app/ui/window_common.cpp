#include "app/ui/window_common.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace kerbolt::ui {

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool was_pressed = pressed_;
    pressed_ = false;
    event->accept();
    if (was_pressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

KerboltWindow::KerboltWindow(QWidget* parent) : QWidget(parent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

ClickLabel* KerboltWindow::AddCloseLabel(int width_twips) {
    auto* label = new ClickLabel(QStringLiteral("X"), this);
    label->setObjectName(QStringLiteral("lblUndo"));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->setStyleSheet(QStringLiteral("background-color: rgb(192, 0, 0); color: white;"));
    QFont font(QStringLiteral("Arial Black"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(TwipsRect(width_twips - 330, 0, 330, 285));
    return label;
}

void KerboltWindow::mousePressEvent(QMouseEvent* event) {
    // Labels and frames pass their presses on to the window; only the bare background drags.
    if (childAt(event->position().toPoint()) != nullptr) return;
    if (!isMaximized() && event->button() == Qt::LeftButton) {
        drag_active_ = true;
        drag_start_ = event->position();
    }
}

void KerboltWindow::mouseMoveEvent(QMouseEvent* event) {
    if (isMaximized() || !drag_active_) return;
    setCursor(Qt::SizeAllCursor);
    const QPointF delta = event->position() - drag_start_;
    move(pos() + delta.toPoint());
}

void KerboltWindow::mouseReleaseEvent(QMouseEvent* /*event*/) {
    drag_active_ = false;
    unsetCursor();
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, QRect where) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect where) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(where);
    return button;
}

QLineEdit* MakeField(QWidget* parent, const char* name, QRect where) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(where);
    return field;
}

QLabel* MakeTitle(QWidget* parent, const char* text, QRect where, const char* name) {
    QLabel* title = MakeLabel(parent, name, text, where);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(12);
    title->setFont(font);
    return title;
}

} // namespace kerbolt::ui
