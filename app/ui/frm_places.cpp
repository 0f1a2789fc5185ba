#include "app/ui/frm_places.h"

#include "app/core/lists/place_lines.h"
#include "app/core/store/records.h"
#include "app/core/texts/main_texts.h"
#include "app/core/texts/places_texts.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/ticket_text_fields.h"
#include "app/ui/transfer_runner.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace kerbolt::ui {

namespace {

constexpr int kWidth = 12600;
constexpr int kHeight = 6600;
// The main window's message that the server's copy could not be updated.
constexpr int kMainMsgUploadFailed = 4;

} // namespace

frmPlaces::frmPlaces(DialogContext context, QWidget* parent)
    : DialogWindow(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("frmPlaces"));
    resize(Px(kWidth), Px(kHeight));

    lblTitre_ = MakeTitle(this, "Vos places de parking", TwipsRect(360, 240, 8000, 375));
    List1_ = new QListWidget(this);
    List1_->setObjectName(QStringLiteral("List1"));
    List1_->setFont(ListFont());
    List1_->setGeometry(TwipsRect(360, 1200, 11880, 2880));
    lblNo_ = MakeLabel(this, "lblNo", "No de place", {});
    PlaceHeading(lblNo_, List1_, 0, static_cast<int>(lists::kNumberWidth));
    lblAdresse_ = MakeLabel(this, "lblAdresse", "Adresse", {});
    PlaceHeading(lblAdresse_, List1_, static_cast<int>(lists::kNumberWidth) + 1,
                 static_cast<int>(lists::kAddressWidth));
    lblStatut_ = MakeLabel(this, "lblStatut", "Ayant droit", {});
    PlaceHeading(lblStatut_, List1_,
                 static_cast<int>(lists::kNumberWidth + lists::kAddressWidth) + 2,
                 static_cast<int>(lists::kWordWidth) + 4);

    cmdAddPlace_ = MakeButton(this, "cmdAddPlace", "Ajouter", TwipsRect(360, 4200, 1800, 420));
    cmdModifyPlace_ =
        MakeButton(this, "cmdModifyPlace", "Modifier", TwipsRect(2280, 4200, 1800, 420));
    cmdSave_ =
        MakeButton(this, "cmdSave", "Enregistrer / Fermer", TwipsRect(9840, 4200, 2400, 420));
    connect(cmdAddPlace_, &QPushButton::clicked, this, [this] { cmdAddPlace_Click(); });
    connect(cmdModifyPlace_, &QPushButton::clicked, this, [this] { cmdModifyPlace_Click(); });
    connect(cmdSave_, &QPushButton::clicked, this, [this] { cmdSave_Click(); });

    fraPlace_ = new QFrame(this);
    fraPlace_->setObjectName(QStringLiteral("fraPlace"));
    fraPlace_->setFrameShape(QFrame::StyledPanel);
    fraPlace_->setGeometry(TwipsRect(360, 4800, 11880, 1560));
    lblNPlace_ = MakeLabel(fraPlace_, "lblNPlace", "No de place", TwipsRect(120, 120, 1800, 255));
    lblAdr_ = MakeLabel(fraPlace_, "lblAdr", "Adresse", TwipsRect(2040, 120, 6000, 255));
    lblVous_ = MakeLabel(fraPlace_, "lblVous", "Vous êtes le", TwipsRect(8400, 120, 2000, 255));
    txtNPlace_ = MakeField(fraPlace_, "txtNPlace", TwipsRect(120, 420, 1800, 330));
    txtNPlace_->setMaxLength(static_cast<int>(lists::kNumberWidth));
    txtAdressePlace_ = MakeField(fraPlace_, "txtAdressePlace", TwipsRect(2040, 420, 6240, 330));
    txtAdressePlace_->setMaxLength(static_cast<int>(lists::kAddressWidth));
    LimitToTicketText(txtNPlace_);
    LimitToTicketText(txtAdressePlace_);
    cmbStatut_ = new QComboBox(fraPlace_);
    cmbStatut_->setObjectName(QStringLiteral("cmbStatut"));
    cmbStatut_->setEditable(false);
    cmbStatut_->setGeometry(TwipsRect(8400, 420, 3300, 330));
    cmdSavePlace_ =
        MakeButton(fraPlace_, "cmdSavePlace", "Mettre à jour", TwipsRect(7560, 960, 2000, 420));
    cmdUndo_ = MakeButton(fraPlace_, "cmdUndo", "Annuler", TwipsRect(9700, 960, 2000, 420));
    connect(cmdSavePlace_, &QPushButton::clicked, this, [this] { cmdSavePlace_Click(); });
    connect(cmdUndo_, &QPushButton::clicked, this, [this] { cmdUndo_Click(); });
    fraPlace_->hide();

    ClickLabel* close = AddCloseLabel(kWidth);
    connect(close, &ClickLabel::clicked, this, [this] { lblUndo_Click(); });

    Form_Load();
}

void frmPlaces::Form_Load() {
    const store::State& state = context_.state;
    List1_->clear();
    for (const std::string& line : lists::LoadPlaceLines(store::ReadPlaces(state.DataFile))) {
        List1_->addItem(Q(line));
    }
    List1_->setCurrentRow(-1);
    cmbStatut_->clear();
    for (int i = 0; i <= 2; ++i)
        cmbStatut_->addItem(Q(texts::frmPlaces::Message(state.Language, i)));
    // Nothing is chosen until the user chooses.
    cmbStatut_->setCurrentIndex(-1);
    ApplyLanguage();
}

void frmPlaces::ApplyLanguage() {
    using texts::frmPlaces::Caption;
    ApplyCaptions<Caption>(context_.state.Language, texts::frmPlaces::CaptionText,
                           {{lblTitre_, Caption::lblTitre},
                            {lblNo_, Caption::lblNo},
                            {lblAdresse_, Caption::lblAdresse},
                            {lblStatut_, Caption::lblStatut},
                            {lblNPlace_, Caption::lblNPlace},
                            {lblAdr_, Caption::lblAdr},
                            {lblVous_, Caption::lblVous},
                            {cmdSavePlace_, Caption::cmdSavePlace},
                            {cmdUndo_, Caption::cmdUndo},
                            {cmdAddPlace_, Caption::cmdAddPlace},
                            {cmdModifyPlace_, Caption::cmdModifyPlace},
                            {cmdSave_, Caption::cmdSave}});
}

std::vector<std::string> frmPlaces::Lines() const {
    return ListLines(List1_);
}

void frmPlaces::SetEditing(bool editing) {
    fraPlace_->setVisible(editing);
    for (QWidget* outer :
         {static_cast<QWidget*>(cmdAddPlace_), static_cast<QWidget*>(cmdModifyPlace_),
          static_cast<QWidget*>(cmdSave_), static_cast<QWidget*>(List1_)}) {
        outer->setEnabled(!editing);
    }
}

void frmPlaces::cmdAddPlace_Click() {
    // The fields keep whatever they held before.
    SetEditing(true);
    PlaceAddMode = true;
    txtNPlace_->setFocus();
}

void frmPlaces::cmdModifyPlace_Click() {
    const int row = List1_->currentRow();
    if (row < 0) {
        context_.prompts.Show(
            texts::frmPlaces::Message(context_.state.Language, texts::frmPlaces::kMsgSelectSpot),
            MessageIcon::Information);
        return;
    }
    SetEditing(true);
    PlaceAddMode = false;
    const lists::PlaceCut cut = lists::CutPlaceLine(S(List1_->item(row)->text()));
    // The fields show the values alone: the list's padding would have to be deleted before
    // typing, and the saved line pads them again.
    txtNPlace_->setText(Q(cut.number));
    txtAdressePlace_->setText(Q(cut.address));
    int status = -1;
    if (lists::ParseStatus(cut.status, status) && status >= 0 && status <= 2) {
        cmbStatut_->setCurrentIndex(status);
    }
    txtNPlace_->setFocus();
}

void frmPlaces::cmdSavePlace_Click() {
    const std::string line =
        lists::PlaceLine(S(txtNPlace_->text()), S(txtAdressePlace_->text()),
                         S(cmbStatut_->currentText()), cmbStatut_->currentIndex());
    if (PlaceAddMode) {
        List1_->addItem(Q(line));
    } else if (QListWidgetItem* item = List1_->currentItem()) {
        item->setText(Q(line));
    }
    PlaceAddMode = false;
    cmdUndo_Click();
}

void frmPlaces::cmdUndo_Click() {
    SetEditing(false);
}

void frmPlaces::cmdSave_Click() {
    const store::State& state = context_.state;
    bool written = false;
    {
        const auto lock = web::LockDataFile();
        written = WritePlaces(state.DataFile, lists::PlacesFromLines(Lines()));
    }
    if (!written) {
        context_.prompts.Show(kerbolt::texts::frmMain::DataNotSavedMessage(state.Language),
                              MessageIcon::Critical);
        return;
    }
    // The spots stay saved here; the user learns that the server's copy is behind.
    if (context_.MainMessage) {
        UploadDataFileOrAsk(context_.transfers, context_.ftp, state, context_.prompts,
                            context_.MainMessage(kMainMsgUploadFailed));
    } else {
        UploadDataFileWaiting(context_.transfers, context_.ftp, state);
    }
    if (context_.ListePlaces) context_.ListePlaces();
    Unload();
}

} // namespace kerbolt::ui
