#include "app/ui/frm_infos.h"

#include "app/core/store/records.h"
#include "app/core/texts/infos_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/core/ticket/iban_check.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/frm_places.h"
#include "app/ui/ticket_text_fields.h"
#include "app/ui/transfer_runner.h"

#include <QLineEdit>
#include <QPushButton>

namespace kerbolt::ui {
namespace {

constexpr int kWidth = 7200;
constexpr int kHeight = 4200;

} // namespace

frmInfos::frmInfos(DialogContext context, QWidget* parent)
    : DialogWindow(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("frmInfos"));
    resize(Px(kWidth), Px(kHeight));

    lblTitre_ = MakeTitle(this, "Vos coordonnées", TwipsRect(360, 240, 6000, 375));

    lblNom_ = MakeLabel(this, "lblNom", "Nom", TwipsRect(360, 960, 1300, 300));
    txtNom_ = MakeField(this, "txtNom", TwipsRect(1800, 900, 5000, 330));
    lblRue_ = MakeLabel(this, "lblRue", "Rue", TwipsRect(360, 1500, 1300, 300));
    txtRue_ = MakeField(this, "txtRue", TwipsRect(1800, 1440, 3900, 330));
    txtNum_ = MakeField(this, "txtNum", TwipsRect(5820, 1440, 980, 330));
    lblLocalite_ = MakeLabel(this, "lblLocalite", "Localité", TwipsRect(360, 2040, 1300, 300));
    txtCodeP_ = MakeField(this, "txtCodeP", TwipsRect(1800, 1980, 1100, 330));
    txtLocalite_ = MakeField(this, "txtLocalite", TwipsRect(3020, 1980, 3780, 330));
    lblIBAN_ = MakeLabel(this, "lblIBAN", "IBAN", TwipsRect(360, 2580, 1300, 300));
    txtIBAN_ = MakeField(this, "txtIBAN", TwipsRect(1800, 2520, 5000, 330));
    for (QLineEdit* field : {txtNom_, txtRue_, txtNum_, txtCodeP_, txtLocalite_})
        LimitToTicketText(field);
    txtIBAN_->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 192);"));
    txtIBAN_->setToolTip(QString::fromUtf8(kerbolt::texts::frmInfos::kIbanHint));

    cmdSave_ = MakeButton(this, "cmdSave", "Enregistrer", TwipsRect(5000, 3300, 1800, 450));
    connect(cmdSave_, &QPushButton::clicked, this, [this] { cmdSave_Click(); });

    ClickLabel* close = AddCloseLabel(kWidth);
    connect(close, &ClickLabel::clicked, this, [this] { lblUndo_Click(); });

    Form_Load();
}

std::string frmInfos::Message(int number) const {
    return kerbolt::texts::frmInfos::Message(context_.state.Language, number);
}

void frmInfos::Form_Load() {
    if (!context_.state.NewInstall) {
        const store::InfosRecord infos = store::ReadInfos(context_.state.DataFile);
        txtNom_->setText(Q(infos.Nom));
        txtRue_->setText(Q(infos.rue));
        txtNum_->setText(Q(infos.no));
        txtCodeP_->setText(Q(infos.npa));
        txtLocalite_->setText(Q(infos.ville));
        txtIBAN_->setText(Q(infos.IBAN));
    }
    ApplyLanguage();
}

void frmInfos::ApplyLanguage() {
    using kerbolt::texts::frmInfos::Caption;
    ApplyCaptions<Caption>(context_.state.Language, kerbolt::texts::frmInfos::CaptionText,
                           {{lblTitre_, Caption::lblTitre},
                            {lblNom_, Caption::lblNom},
                            {lblRue_, Caption::lblRue},
                            {lblLocalite_, Caption::lblLocalite},
                            {lblIBAN_, Caption::lblIBAN},
                            {cmdSave_, Caption::cmdSave}});
}

void frmInfos::cmdSave_Click() {
    using kerbolt::texts::frmInfos::kMsgIbanInvalid;
    using kerbolt::texts::frmInfos::kMsgNoPayment;
    using kerbolt::texts::frmInfos::kMsgRequired;
    using kerbolt::texts::frmInfos::kMsgUploadFailed;
    if (txtNom_->text().isEmpty() || txtCodeP_->text().isEmpty() ||
        txtLocalite_->text().isEmpty()) {
        context_.prompts.Show(Message(kMsgRequired), MessageIcon::Information);
        return;
    }
    if (!ticket::CheckIban(S(txtIBAN_->text()))) {
        const std::string question = Message(kMsgIbanInvalid) + "\n" + Message(kMsgNoPayment);
        if (!context_.prompts.Ask(question, MessageIcon::None)) return;
        txtIBAN_->clear();
    }
    store::InfosRecord infos;
    infos.Nom = S(txtNom_->text());
    infos.rue = S(txtRue_->text());
    infos.no = S(txtNum_->text());
    infos.npa = S(txtCodeP_->text());
    infos.ville = S(txtLocalite_->text());
    infos.IBAN = S(txtIBAN_->text());
    const store::State& state = context_.state;
    bool written = false;
    {
        const auto lock = web::LockDataFile();
        written = store::WriteContactDetails(state.DataFile, infos);
    }
    if (!written) {
        context_.prompts.Show(kerbolt::texts::frmMain::DataNotSavedMessage(state.Language),
                              MessageIcon::Critical);
        return;
    }
    // The details stay saved here; the user learns that the server's copy is behind.
    UploadDataFileOrAsk(context_.transfers, context_.ftp, state, context_.prompts,
                        Message(kMsgUploadFailed));
    if (context_.state.NewInstall) {
        context_.state.NewInstall = false;
        hide();
        places_ = new frmPlaces(context_);
        places_->CentreOn(*this);
        OpenModal(places_, [this] { Unload(); });
        return;
    }
    Unload();
}

} // namespace kerbolt::ui
