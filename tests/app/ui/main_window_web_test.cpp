#include "app/ui/main_window_web.h"

#include "app/ui/dialog_window.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace kerbolt::ui {
namespace {

TEST(MainWindowWeb, CheckRunsAfterEachShowingOfTheMainWindowOnly) {
    KerboltWindow main_window;
    KerboltWindow other;
    int checks = 0;
    MainWindowActivation activation([&](QObject* o) { return o == &main_window; },
                                    [&] { ++checks; });
    main_window.show();
    EXPECT_EQ(checks, 0); // not in the middle of the handler that showed it
    QApplication::processEvents();
    EXPECT_EQ(checks, 1);
    main_window.activateWindow();
    other.show();
    main_window.show(); // already shown: no new check
    QApplication::processEvents();
    EXPECT_EQ(checks, 1);
    main_window.hide();
    main_window.show(); // back after a dialog
    QApplication::processEvents();
    EXPECT_EQ(checks, 2);
}

TEST(MainWindowWeb, QuestionsWaitWhileAModalDialogIsOpen) {
    QPointer<KerboltWindow> main_window = new KerboltWindow;
    const web::MainWindowHooks hooks =
        MakeMainWindowHooks([&] { return main_window.data(); }, [] { return std::string("?"); });
    EXPECT_FALSE(hooks.ready());
    main_window->show();
    EXPECT_TRUE(hooks.ready());
    auto* dialog = new DialogWindow;
    dialog->show();
    QApplication::processEvents();
    EXPECT_FALSE(hooks.ready());
    dialog->Unload();
    QApplication::processEvents();
    EXPECT_TRUE(hooks.ready());
    hooks.hide();
    EXPECT_FALSE(main_window->isVisible());
    hooks.show();
    EXPECT_TRUE(main_window->isVisible());
    delete main_window.data();
    hooks.show(); // the window is gone: nothing happens
    EXPECT_FALSE(hooks.ready());
}

} // namespace
} // namespace kerbolt::ui
