#include "app/ui/ticket_text_fields.h"

#include "app/core/ticket/qr_bill_text.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>
#include <vector>

namespace kerbolt::ui {

namespace {

// The code point starting at `i` and the number of UTF-16 units it takes; a lone surrogate
// stands for itself and is refused like any character outside the set.
std::pair<char32_t, int> CodePointAt(const QString& text, int i) {
    const QChar first = text.at(i);
    if (first.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(first, text.at(i + 1)), 2};
    return {first.unicode(), 1};
}

// Enter and Shift+Enter put these in a document; its plain text turns both into line feeds.
bool IsLineBreak(char32_t c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QValidator::State TicketTextValidator::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int dropped_before_cursor = 0;
    for (int i = 0; i < input.size();) {
        const auto [c, units] = CodePointAt(input, i);
        if (IsTicketTextCharacter(c)) {
            kept.append(input.mid(i, units));
        } else if (i < pos) {
            dropped_before_cursor += units;
        }
        i += units;
    }
    if (kept.size() != input.size()) {
        input = kept;
        pos = std::max(0, pos - dropped_before_cursor);
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
            if (!IsTicketTextCharacter(c) && !IsLineBreak(c)) refused.emplace_back(i, units);
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
