// Qt's own buttons speak the language the user chose, in the message boxes the program shows.
#include "app/ui/qt_language.h"

#include "app/core/store/records.h"
#include "app/platform/qt/desktop.h"
#include "app/ui/frm_main.h"
#include "tests/support/ui_harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace kerbolt::ui {
namespace {

struct Buttons {
    QString yes;
    QString no;
    bool operator==(const Buttons&) const = default;
};

void PrintTo(const Buttons& buttons, std::ostream* out) {
    *out << buttons.yes.toStdString() << " / " << buttons.no.toStdString();
}

// Asks a question through the real message box, reads its two buttons and answers No.
Buttons AskAndRead() {
    Buttons seen;
    QTimer::singleShot(0, [&seen] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (box == nullptr || !box->isVisible()) continue;
            seen = {box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text()};
            box->button(QMessageBox::No)->click();
        }
    });
    QtPrompts prompts;
    EXPECT_FALSE(prompts.Ask("?", MessageIcon::None));
    return seen;
}

struct LanguageCase {
    int language;
    Buttons buttons;
};

TEST(QtLanguage, QuestionButtonsFollowEachLanguageAndItsReplacement) {
    // In this order each language replaces the one before, English included.
    const LanguageCase cases[] = {
        {1, {QStringLiteral("&Oui"), QStringLiteral("&Non")}},
        {2, {QStringLiteral("&Ja"), QStringLiteral("&Nein")}},
        {3, {QStringLiteral("&Yes"), QStringLiteral("&No")}},
        {4, {QString::fromUtf8("&Sì"), QStringLiteral("&No")}},
        {1, {QStringLiteral("&Oui"), QStringLiteral("&Non")}},
        // Without a language Qt keeps its own words.
        {0, {QStringLiteral("&Yes"), QStringLiteral("&No")}},
    };
    for (const LanguageCase& c : cases) {
        EXPECT_TRUE(ApplyQtLanguage(c.language)) << c.language;
        EXPECT_EQ(AskAndRead(), c.buttons) << "language " << c.language;
    }
}

TEST(QtLanguage, TheMainWindowSetsItsLanguageWhenItOpensAndWhenAFlagIsClicked) {
    testing_support::UiHarness harness(testing_support::Server::Stopped);
    harness.SignedIn(texts::kItalian);
    ASSERT_TRUE(store::WriteAccount(harness.context->state.DataFile, "a@b.ch", "secret1"));
    ApplyQtLanguage(3);
    frmMain window(*harness.context);
    window.show();
    EXPECT_EQ(AskAndRead().yes, QString::fromUtf8("&Sì"));
    testing_support::Click(testing_support::Control<QLabel>(&window, "imgLangue1")); // German
    EXPECT_EQ(AskAndRead(), (Buttons{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
    ApplyQtLanguage(3);
}

} // namespace
} // namespace kerbolt::ui
