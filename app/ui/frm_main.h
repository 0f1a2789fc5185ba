// The main window: the spot and plates entry, the printers, the live ticket preview, print and
// save, the settings dialogs, the mandate, the language flags.
#pragma once

#include "app/core/ticket/qr_picture.h"
#include "app/core/ticket/ticket_draft.h"
#include "app/core/ticket/ticket_save.h"
#include "app/ui/app_context.h"
#include "app/ui/window_common.h"

#include <array>
#include <optional>
#include <string>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kerbolt::ui {

class QrBox;

class frmMain : public KerboltWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load step.
    explicit frmMain(AppContext& context, QWidget* parent = nullptr);

    // Refills the spot list from the data file, with no spot chosen.
    void ListePlaces();
    // Rebuilds the preview and its QR code.
    void Creer();
    // Sets the captions for the current language.
    void ApplyLanguage();

    AppContext& Context() { return context_; }
    const ticket::TicketPreview& Preview() const { return draft_.preview; }
    // How many times the preview was rebuilt since the window was made.
    int PreviewBuilds() const { return preview_builds_; }
    const std::optional<ticket::QrPicture>& QrCode() const { return qr_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_QueryUnload();
    void cmdPrint_Click();
    // Prints a ticket once it is numbered and recorded, then notifies it.
    void PrintClaimed(const kerbolt::ticket::ClaimedTicket& claimed,
                      const ticket::TicketEntry& entry);
    // Tells that the server's copy is behind and sends the data file again on Yes.
    void OfferUploadAgain();
    void FetchMandate();
    void cmbPrinters_Click();
    // A setting the settings file did not take: it holds for this run only.
    void TellSettingNotSaved();
    void ShowDialog(DialogRequest dialog);
    ticket::TicketEntry Entry() const;
    void cmdMandat_Click();
    void imgLangue_Click(int index);
    void lblUndo_Click();
    void ShowMandateState();
    std::string MandatePath() const;

    AppContext& context_;
    ticket::TicketDraft draft_;
    int preview_builds_ = 0;
    std::optional<ticket::QrPicture> qr_;
    bool unloading_ = false;

    QLabel* lblTitre_ = nullptr;
    QLabel* lblPlace_ = nullptr;
    QComboBox* cmbPlace_ = nullptr;
    QLabel* lblPlaque_ = nullptr;
    QLineEdit* txtPlaques_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QLabel* lblPrint_ = nullptr;
    QComboBox* cmbPrinters_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QPushButton* cmdInfos_ = nullptr;
    QPushButton* cmdPlaces_ = nullptr;
    QPushButton* cmdParam_ = nullptr;
    QPushButton* cmdIndemn_ = nullptr;
    QPushButton* cmdMandat_ = nullptr;
    QLabel* lblMandat_ = nullptr;
    std::array<QLabel*, ticket::kTicketLabelCount> lblBV_{};
    QrBox* picBox_ = nullptr;
};

} // namespace kerbolt::ui
