// What every window of the client shares: positions in twips, dragging by the bare background
// with the left button, and the small "X" label that closes it.
#pragma once

#include <QLabel>
#include <QPoint>
#include <QWidget>

#include <string>

class QLineEdit;
class QPushButton;

namespace kerbolt::ui {

// The windows are laid out in twips; at 96 dots per inch a pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
QRect TwipsRect(int left, int top, int width, int height);

inline QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

// Named controls placed in twips, with their design (French) captions.
QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, QRect where);
QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect where);
QLineEdit* MakeField(QWidget* parent, const char* name, QRect where);
// The bold title at the top of a dialog.
QLabel* MakeTitle(QWidget* parent, const char* text, QRect where, const char* name = "lblTitre");

// A label that reports clicks (labels serve as links and as the close control).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A frameless window that the user moves by dragging its background.
class KerboltWindow : public QWidget {
    Q_OBJECT
public:
    explicit KerboltWindow(QWidget* parent = nullptr);

    // Places the "X" close label at the top-right corner of a window `width_twips` wide.
    ClickLabel* AddCloseLabel(int width_twips);

    bool DragActive() const { return drag_active_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool drag_active_ = false;
    QPointF drag_start_;
};

} // namespace kerbolt::ui
