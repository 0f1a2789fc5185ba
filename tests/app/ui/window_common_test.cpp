#include "app/ui/window_common.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using kerbolt::ui::KerboltWindow;

void Send(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), target->mapToGlobal(QPointF(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

class WindowDrag : public ::testing::Test {
protected:
    void SetUp() override {
        window_.setGeometry(100, 100, 300, 200);
        label_ = new QLabel(QStringLiteral("label"), &window_);
        label_->setGeometry(10, 10, 80, 20);
        window_.show();
    }
    KerboltWindow window_;
    QLabel* label_ = nullptr;
};

TEST_F(WindowDrag, LeftDragOnBackgroundMovesByTheMouseMovement) {
    const QPoint start = window_.pos();
    Send(&window_, QEvent::MouseButtonPress, {150, 150}, Qt::LeftButton, Qt::LeftButton);
    Send(&window_, QEvent::MouseMove, {170, 140}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window_.pos(), start + QPoint(20, -10));
    Send(&window_, QEvent::MouseButtonRelease, {170, 140}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(window_.DragActive());
    Send(&window_, QEvent::MouseMove, {200, 200}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.pos(), start + QPoint(20, -10));
}

TEST_F(WindowDrag, OtherButtonsLabelsAndMaximisedWindowsMoveNothing) {
    const QPoint start = window_.pos();
    Send(&window_, QEvent::MouseButtonPress, {150, 150}, Qt::RightButton, Qt::RightButton);
    Send(&window_, QEvent::MouseMove, {180, 180}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(window_.pos(), start);
    Send(&window_, QEvent::MouseButtonRelease, {180, 180}, Qt::RightButton, Qt::NoButton);

    // A press on a label reaches the window (labels pass it on) but starts no drag.
    Send(&window_, QEvent::MouseButtonPress, {20, 15}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(window_.DragActive());
    Send(&window_, QEvent::MouseButtonRelease, {20, 15}, Qt::LeftButton, Qt::NoButton);

    window_.showMaximized();
    Send(&window_, QEvent::MouseButtonPress, {150, 150}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(window_.DragActive());
}

TEST(WindowCommon, CloseLabelSitsAtTheTopRightAndReportsClicks) {
    KerboltWindow window;
    window.resize(kerbolt::ui::Px(6000), kerbolt::ui::Px(3000));
    auto* close = window.AddCloseLabel(6000);
    EXPECT_EQ(close->text(), QStringLiteral("X"));
    EXPECT_EQ(close->geometry().right() + 1, kerbolt::ui::Px(6000));
    int clicks = 0;
    QObject::connect(close, &kerbolt::ui::ClickLabel::clicked, [&] { ++clicks; });
    Send(close, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    Send(close, QEvent::MouseButtonRelease, {2, 2}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
}

} // namespace
