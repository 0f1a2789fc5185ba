// The terms window: the program's version, the terms of use in short and a link to the full
// terms page; a close button instead of the "X" label.
#pragma once

#include "app/ui/dialog_window.h"

class QPushButton;

namespace kerbolt::ui {

class frmLicence : public DialogWindow {
    Q_OBJECT
public:
    explicit frmLicence(DialogContext context, QWidget* parent = nullptr);

    void lblUrl_Click();
    void cmdClose_Click() { Unload(); }

    // The address the link opens.
    const std::string& UrlTag() const { return url_tag_; }

private:
    void Form_Load();

    DialogContext context_;
    std::string url_tag_;
    QLabel* lblTitre_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblLicence_ = nullptr;
    QLabel* lblCGU_ = nullptr;
    ClickLabel* lblUrl_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace kerbolt::ui
