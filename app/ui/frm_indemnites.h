// The compensations window in its two modes: the ticket settings (amount, title, text) and the
// list of the user's compensations with the filters all, pending and paid.
#pragma once

#include "app/ui/app_context.h"
#include "app/ui/dialog_window.h"

#include <QLineEdit>

#include <array>
#include <string>
#include <vector>

class QFrame;
class QTreeWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace kerbolt::ui {

// The amount field: a comma types a point; only digits, points and backspace are accepted, and
// nothing can be pasted or dropped in.
class AmountEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class frmIndemnites : public DialogWindow {
    Q_OBJECT
public:
    frmIndemnites(DialogContext context, IndemnitesMode mode, QWidget* parent = nullptr);

    void ApplyLanguage();
    void FillList(int filter);
    void optSelect_Click(int index);
    void cmdSave_Click();
    void lblUndo_Click() { Unload(); }

    // The listed records, each as its fixed-column line.
    std::vector<std::string> Lines() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    bool SettingsMode() const { return mode_ == IndemnitesMode::Settings; }

    DialogContext context_;
    IndemnitesMode mode_;
    ClickLabel* lblUndo_ = nullptr;
    QLabel* lblIndemnite_ = nullptr;
    QFrame* fraReglagle_ = nullptr;
    QLabel* lblMontant_ = nullptr;
    QLabel* lblTitre_ = nullptr;
    QLabel* lblTexte_ = nullptr;
    AmountEdit* txtMontant_ = nullptr;
    QLineEdit* txtTitre_ = nullptr;
    QPlainTextEdit* txtTexte_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QFrame* fraIndemn_ = nullptr;
    std::array<QRadioButton*, 3> optSelect_{};
    // One column each: reference, spot, date and time, plates, gross amount, payment mark.
    QTreeWidget* List1_ = nullptr;
    std::vector<std::string> lines_; // the listed records as fixed-column lines
};

} // namespace kerbolt::ui
