#include "app/platform/qt/desktop.h"

#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

namespace kerbolt {
namespace {

namespace fs = std::filesystem;

// PATH holds only a folder of our own while a test runs, with a stand-in of the desktop's opener
// that notes its argument and ends with the given code.
class DesktopOpener : public ::testing::Test {
protected:
    void SetUp() override {
        saved_path_ = qgetenv("PATH");
        fs::create_directories(dir_.Path() / "bin");
        qputenv("PATH", QByteArray::fromStdString(dir_.File("bin")));
        shell_.SetFailureReport([this](const std::string& target, bool document) {
            reports_.emplace_back(target, document);
        });
    }
    void TearDown() override { qputenv("PATH", saved_path_); }

    void InstallOpener(int exit_code) {
        const fs::path opener = dir_.Path() / "bin" / "xdg-open";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << Log() << "'\nexit "
                              << exit_code << "\n";
        fs::permissions(opener, fs::perms::owner_all);
    }
    std::string Log() const { return dir_.File("opened.log"); }

    // Runs the event loop until every opener the shell started has ended and been cleared away
    // (the shell keeps them as children of the application).
    static void WaitForOpeners() {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (QCoreApplication::instance()
                    ->findChildren<QProcess*>(Qt::FindDirectChildrenOnly)
                    .isEmpty())
                return;
        }
        ADD_FAILURE() << "the opener did not end";
    }

    testing_support::TempDir dir_;
    QByteArray saved_path_;
    QtShell shell_;
    std::vector<std::pair<std::string, bool>> reports_;
};

TEST_F(DesktopOpener, AnOpenerThatGivesUpIsReportedWithTheTarget) {
    const struct {
        int exit_code;
        bool document;
        bool reported;
    } cases[] = {{3, true, true}, {4, false, true}, {0, true, false}, {0, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exit_code);
        reports_.clear();
        InstallOpener(c.exit_code);
        const std::string target =
            c.document ? dir_.File("Mandat 000NZFAP.pdf") : "http://127.0.0.1:8080/fr/CGU.html";
        EXPECT_TRUE(c.document ? shell_.OpenDocument(target) : shell_.OpenUrl(target));
        WaitForOpeners();
        if (c.reported) {
            EXPECT_EQ(reports_, (std::vector<std::pair<std::string, bool>>{{target, c.document}}));
        } else {
            EXPECT_TRUE(reports_.empty());
        }
    }
    // The opener was handed the path as it stands and the address.
    std::ifstream in(Log());
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, dir_.File("Mandat 000NZFAP.pdf"));
}

TEST_F(DesktopOpener, NoOpenerAtAllFailsAtOnce) {
    EXPECT_FALSE(shell_.OpenDocument(dir_.File("x.pdf")));
    EXPECT_FALSE(shell_.OpenUrl("http://127.0.0.1:8080/"));
    QApplication::processEvents();
    EXPECT_TRUE(reports_.empty());
}

} // namespace
} // namespace kerbolt
