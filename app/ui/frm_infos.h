// The contact details window: name, street, number, postcode, town and IBAN; on a first run it
// leads on to the spots window.
#pragma once

#include "app/ui/dialog_window.h"

class QLineEdit;
class QPushButton;

namespace kerbolt::ui {

class frmPlaces;

class frmInfos : public DialogWindow {
    Q_OBJECT
public:
    explicit frmInfos(DialogContext context, QWidget* parent = nullptr);

    void ApplyLanguage();
    void cmdSave_Click();
    void lblUndo_Click() { Unload(); }

    // The spots window a first run opened (null otherwise).
    frmPlaces* SpotsWindow() const { return places_; }

private:
    void Form_Load();
    std::string Message(int number) const;

    DialogContext context_;
    frmPlaces* places_ = nullptr;
    QLabel* lblTitre_ = nullptr;
    QLabel* lblNom_ = nullptr;
    QLabel* lblRue_ = nullptr;
    QLabel* lblLocalite_ = nullptr;
    QLabel* lblIBAN_ = nullptr;
    QLineEdit* txtNom_ = nullptr;
    QLineEdit* txtRue_ = nullptr;
    QLineEdit* txtNum_ = nullptr;
    QLineEdit* txtCodeP_ = nullptr;
    QLineEdit* txtLocalite_ = nullptr;
    QLineEdit* txtIBAN_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
};

} // namespace kerbolt::ui
