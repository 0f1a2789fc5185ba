#include "app/ui/frm_licence.h"

#include "app/core/texts/desktop_texts.h"
#include "app/core/texts/licence_texts.h"
#include "app/core/web/update_check.h"

#include <QPushButton>

namespace kerbolt::ui {
namespace {

constexpr int kWidth = 9000;
constexpr int kHeight = 6000;

} // namespace

frmLicence::frmLicence(DialogContext context, QWidget* parent)
    : DialogWindow(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("frmLicence"));
    resize(Px(kWidth), Px(kHeight));

    lblTitre_ = MakeTitle(this, "", TwipsRect(360, 240, 8280, 375));
    lblVersion_ = MakeLabel(this, "lblVersion", "", TwipsRect(360, 660, 8280, 255));
    lblLicence_ = MakeLabel(this, "lblLicence", "", TwipsRect(360, 1080, 8280, 3300));
    lblLicence_->setWordWrap(true);
    lblLicence_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCGU_ = MakeLabel(this, "lblCGU", "", TwipsRect(360, 4500, 8280, 255));
    lblUrl_ = new ClickLabel(this);
    lblUrl_->setObjectName(QStringLiteral("lblUrl"));
    lblUrl_->setGeometry(TwipsRect(360, 4800, 6000, 255));
    lblUrl_->setCursor(Qt::PointingHandCursor);
    lblUrl_->setStyleSheet(QStringLiteral("color: rgb(0, 0, 192); text-decoration: underline;"));
    connect(lblUrl_, &ClickLabel::clicked, this, [this] { lblUrl_Click(); });
    cmdClose_ = new QPushButton(this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setGeometry(TwipsRect(6840, 5280, 1800, 450));
    connect(cmdClose_, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    Form_Load();
}

void frmLicence::Form_Load() {
    const kerbolt::texts::frmLicence::LicenceTexts texts = kerbolt::texts::frmLicence::LoadTexts(
        context_.state.Language, web::ProgramVersionText(), context_.config);
    lblVersion_->setText(Q(texts.lblVersion));
    lblTitre_->setText(Q(texts.lblTitre));
    lblLicence_->setText(Q(texts.lblLicence).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    lblCGU_->setText(Q(texts.lblCGU));
    lblUrl_->setText(Q(texts.lblUrl));
    cmdClose_->setText(Q(texts.cmdClose));
    url_tag_ = texts.url_tag;
}

void frmLicence::lblUrl_Click() {
    // The window stays open; when no browser takes the page the user learns its address.
    if (!context_.shell.OpenUrl(url_tag_))
        context_.prompts.Show(texts::PageNotOpenedMessage(context_.state.Language, url_tag_),
                              MessageIcon::Exclamation);
}

} // namespace kerbolt::ui
