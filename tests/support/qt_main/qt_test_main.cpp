// The test entry of the window tests: one QApplication for the whole run, on the offscreen
// platform unless a display is asked for.
#include "app/ui/application.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // As the program runs: closing a window ends nothing by itself.
    kerbolt::ui::ConfigureApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
