#include "app/ui/ticket_text_fields.h"

#include "app/core/ticket/qr_bill_text.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace kerbolt::ui {

namespace {

// Enter and Shift+Enter put these in a document; its plain text turns both into line feeds.
bool IsLineBreak(char32_t c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QValidator::State TicketTextValidator::validate(QString& input, int& pos) const {
    // The two sides of the cursor apart, so that it stays after what was typed or pasted.
    const auto keep = [](const QString& text) {
        return QString::fromStdString(ticket::KeepTicketTextCharacters(text.toStdString()));
    };
    const QString before = keep(input.left(pos));
    const QString after = keep(input.mid(pos));
    if (before.size() + after.size() != input.size()) {
        input = before + after;
        pos = static_cast<int>(before.size());
    }
    return Acceptable;
}

void LimitToTicketText(QLineEdit* field) {
    field->setValidator(new TicketTextValidator(field));
    // A text set before the validator is checked now.
    if (!field->text().isEmpty()) field->setText(field->text());
}

void LimitToTicketText(QPlainTextEdit* field) {
    QTextDocument* document = field->document();
    const auto remove_refused = [document] {
        // The document's characters one by one (positions count UTF-16 units); the last
        // position is the document's closing separator.
        std::vector<std::pair<int, int>> refused; // position and length
        const int end = document->characterCount() - 1;
        for (int i = 0; i < end;) {
            const QChar first = document->characterAt(i);
            int units = 1;
            char32_t c = first.unicode();
            if (first.isHighSurrogate() && i + 1 < end &&
                document->characterAt(i + 1).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(first, document->characterAt(i + 1));
                units = 2;
            }
            if (!ticket::IsTicketTextCharacter(c) && !IsLineBreak(c))
                refused.emplace_back(i, units);
            i += units;
        }
        if (refused.empty()) return;
        QTextCursor cursor(document);
        // One step with the edit that brought the characters in, so that undoing it does not
        // bring them back.
        cursor.joinPreviousEditBlock();
        for (auto it = refused.rbegin(); it != refused.rend(); ++it) {
            cursor.setPosition(it->first);
            cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.endEditBlock();
    };
    QObject::connect(field, &QPlainTextEdit::textChanged, field, remove_refused);
    remove_refused();
}

} // namespace kerbolt::ui
