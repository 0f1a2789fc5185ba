// The spots window: the list of spots in fixed columns, the frame that adds or changes one, and
// the save that writes them all, uploads and refreshes the main window's spot list.
#pragma once

#include "app/ui/dialog_window.h"

#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kerbolt::ui {

class frmPlaces : public DialogWindow {
    Q_OBJECT
public:
    explicit frmPlaces(DialogContext context, QWidget* parent = nullptr);

    void ApplyLanguage();
    void cmdAddPlace_Click();
    void cmdModifyPlace_Click();
    void cmdSavePlace_Click();
    void cmdUndo_Click();
    void cmdSave_Click();
    void lblUndo_Click() { Unload(); }

    // The lines of the list, in order.
    std::vector<std::string> Lines() const;

private:
    void Form_Load();
    void SetEditing(bool editing);

    DialogContext context_;
    bool PlaceAddMode = false;
    QLabel* lblTitre_ = nullptr;
    QLabel* lblNo_ = nullptr;
    QLabel* lblAdresse_ = nullptr;
    QLabel* lblStatut_ = nullptr;
    QListWidget* List1_ = nullptr;
    QPushButton* cmdAddPlace_ = nullptr;
    QPushButton* cmdModifyPlace_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QFrame* fraPlace_ = nullptr;
    QLabel* lblNPlace_ = nullptr;
    QLabel* lblAdr_ = nullptr;
    QLabel* lblVous_ = nullptr;
    QLineEdit* txtNPlace_ = nullptr;
    QLineEdit* txtAdressePlace_ = nullptr;
    QComboBox* cmbStatut_ = nullptr;
    QPushButton* cmdSavePlace_ = nullptr;
    QPushButton* cmdUndo_ = nullptr;
};

} // namespace kerbolt::ui
