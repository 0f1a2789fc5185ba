// Fields whose text goes onto a ticket (plates, title, message, addresses) keep out, as they are
// typed, pasted or dropped, every character the ticket's texts may not hold, so that what the
// field shows is what the paper, the record and the QR-bill carry.
#pragma once

#include <QValidator>

class QLineEdit;
class QPlainTextEdit;

namespace kerbolt::ui {

// Drops the characters a ticket's text may not hold and moves the cursor back by those dropped
// before it; whatever remains is acceptable.
class TicketTextValidator final : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Puts a TicketTextValidator on a one-line field.
void LimitToTicketText(QLineEdit* field);

// The same for a field of several lines, whose line breaks stay.
void LimitToTicketText(QPlainTextEdit* field);

} // namespace kerbolt::ui
