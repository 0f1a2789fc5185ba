// Dialogs open over the window the user was working in, not at the screen's corner.
#include "app/core/store/records.h"
#include "app/ui/dialog_factory.h"
#include "app/ui/dialog_window.h"
#include "app/ui/frm_main.h"
#include "tests/support/ui_harness.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace kerbolt::ui {
namespace {

using testing_support::Control;

TEST(DialogPlacement, ADialogCentresOnItsParentAndStaysOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget parent;
    parent.setGeometry(screen.left() + 150, screen.top() + 120, 300, 200);
    parent.show();
    DialogWindow dialog;
    dialog.resize(200, 100);
    dialog.CentreOn(parent);
    EXPECT_EQ(dialog.frameGeometry().center(), parent.frameGeometry().center());

    // A parent smaller than the dialog at the screen's corner: the dialog goes as near its
    // middle as the screen allows.
    parent.setGeometry(QRect(screen.topLeft(), QSize(100, 60)));
    dialog.CentreOn(parent);
    EXPECT_EQ(dialog.frameGeometry().topLeft(), screen.topLeft());
    // Hidden, the parent still gives its place.
    parent.hide();
    parent.move(screen.left() + 200, screen.top() + 150);
    dialog.CentreOn(parent);
    EXPECT_EQ(dialog.frameGeometry().center(), parent.frameGeometry().center());
}

TEST(DialogPlacement, TheMainWindowsDialogsOpenOverIt) {
    testing_support::UiHarness harness(testing_support::Server::Stopped);
    harness.SignedIn(texts::kFrench);
    ASSERT_TRUE(store::WriteAccount(harness.context->state.DataFile, "a@b.ch", "secret1"));
    InstallDialogs(*harness.context);
    frmMain window(*harness.context);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window.move(screen.topLeft() + QPoint(60, 20));
    window.show();
    const QRect main_frame = window.frameGeometry();
    for (const char* button : {"cmdInfos", "cmdPlaces", "cmdParam", "cmdIndemn"}) {
        QRect seen;
        QTimer::singleShot(0, [&seen] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<DialogWindow*>(widget);
                if (dialog == nullptr || !dialog->isVisible()) continue;
                seen = dialog->frameGeometry();
                dialog->Unload();
            }
        });
        Control<QPushButton>(&window, button)->click();
        ASSERT_FALSE(seen.isNull()) << button;
        // Over the main window, as near its middle as the screen allows; never at the corner.
        EXPECT_TRUE(main_frame.contains(seen.center())) << button;
        const QPoint wanted = main_frame.center();
        if (seen.width() <= screen.width() && seen.left() > screen.left() &&
            seen.right() < screen.right())
            EXPECT_EQ(seen.center().x(), wanted.x()) << button;
        if (seen.height() <= screen.height() && seen.top() > screen.top() &&
            seen.bottom() < screen.bottom())
            EXPECT_EQ(seen.center().y(), wanted.y()) << button;
        EXPECT_NE(seen.topLeft(), QPoint(0, 0)) << button;
    }
}

} // namespace
} // namespace kerbolt::ui
