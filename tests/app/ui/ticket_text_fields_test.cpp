#include "app/ui/ticket_text_fields.h"

#include "app/ui/frm_indemnites.h"
#include "app/ui/frm_infos.h"
#include "app/ui/frm_places.h"
#include "tests/app/ui/dialog_fixture.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace kerbolt::ui::testing {
namespace {

const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");
const QString kCyrillic = QString::fromUtf8("\xD0\x96"); // Ж

// A key that types `text`, as a keyboard or an emoji picker sends it.
void TypeKey(QWidget* field, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(field, &release);
}

// Text committed by an input method, as composed characters arrive.
void Commit(QWidget* field, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(field, &event);
}

void TypeAll(QWidget* field, const QString& text) {
    for (const QChar c : text)
        TypeKey(field, QString(c));
}

TEST(TicketTextFields, OneLineFieldLeavesOutWhatATicketCannotCarry) {
    QLineEdit field;
    LimitToTicketText(&field);
    TypeAll(&field, QStringLiteral("VD 1"));
    TypeKey(&field, kEmoji);
    Commit(&field, kCyrillic);
    TypeKey(&field, QString::fromUtf8("\xC3\xA9"));    // é
    Commit(&field, QString::fromUtf8("\xE2\x82\xAC")); // €
    EXPECT_EQ(field.text(), QString::fromUtf8("VD 1\xC3\xA9\xE2\x82\xAC"));
    EXPECT_EQ(field.cursorPosition(), field.text().size());

    // Pasted text keeps what it may, and the cursor stays after the pasted part.
    field.setText(QStringLiteral("AB"));
    field.setCursorPosition(1);
    field.insert(QStringLiteral("x") + kEmoji + QString::fromUtf8("\xE2\x80\x99") + // ’
                 QStringLiteral("y\tz"));
    EXPECT_EQ(field.text(), QStringLiteral("AxyzB"));
    EXPECT_EQ(field.cursorPosition(), 4);

    // A text set by the program goes through the same filter.
    field.setText(kEmoji + QString::fromUtf8("Gen\xC3\xA8ve \xC8\x98"));
    EXPECT_EQ(field.text(), QString::fromUtf8("Gen\xC3\xA8ve "));
}

TEST(TicketTextFields, SeveralLinesKeepTheirBreaks) {
    QPlainTextEdit field;
    LimitToTicketText(&field);
    field.setPlainText(QString::fromUtf8("Ligne \xE2\x80\x9C"
                                         "1\xE2\x80\x9D"));
    EXPECT_EQ(field.toPlainText(), QStringLiteral("Ligne 1"));
    field.moveCursor(QTextCursor::End);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&field, &enter);
    TypeAll(&field, QStringLiteral("L2"));
    TypeKey(&field, kEmoji);
    Commit(&field, kCyrillic + QStringLiteral("!"));
    TypeKey(&field, QStringLiteral("\t"));
    field.insertPlainText(QStringLiteral("\n3") + kEmoji + QStringLiteral("\xA0"));
    EXPECT_EQ(field.toPlainText(), QStringLiteral("Ligne 1\nL2!\n3 "));
    // Undoing the paste takes it away whole, without bringing back what was left out.
    field.undo();
    EXPECT_EQ(field.toPlainText(), QStringLiteral("Ligne 1\nL2!"));
}

class TicketTextWindows : public DialogTest {};

// Every field whose text reaches a ticket, a record or the mandate refuses an emoji.
TEST_F(TicketTextWindows, EveryTicketFieldRefusesAnEmoji) {
    QPointer<DialogWindow> windows[] = {
        new frmInfos(Context()),
        new frmPlaces(Context()),
        new frmIndemnites(Context(), IndemnitesMode::Settings),
    };
    const struct {
        int window;
        const char* field;
    } fields[] = {{0, "txtNom"},      {0, "txtRue"},    {0, "txtNum"},          {0, "txtCodeP"},
                  {0, "txtLocalite"}, {1, "txtNPlace"}, {1, "txtAdressePlace"}, {2, "txtTitre"}};
    for (const auto& f : fields) {
        SCOPED_TRACE(f.field);
        QLineEdit* field = Child<QLineEdit>(windows[f.window], f.field);
        ASSERT_NE(field, nullptr);
        field->clear();
        Commit(field, QStringLiteral("A") + kEmoji + QStringLiteral("1"));
        EXPECT_EQ(field->text(), QStringLiteral("A1"));
    }
    auto* texte = windows[2]->findChild<QPlainTextEdit*>(QStringLiteral("txtTexte"));
    ASSERT_NE(texte, nullptr);
    texte->clear();
    Commit(texte, QStringLiteral("A") + kEmoji + QStringLiteral("1"));
    EXPECT_EQ(texte->toPlainText(), QStringLiteral("A1"));
    for (QPointer<DialogWindow>& window : windows)
        delete window.data();
}

} // namespace
} // namespace kerbolt::ui::testing
