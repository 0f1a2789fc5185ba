#include "app/ui/frm_connect.h"

#include "app/core/store/records.h"
#include "app/core/texts/connect_texts.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/texts/transfer_texts.h"
#include "app/platform/qt/desktop.h"
#include "app/ui/language_flags.h"
#include "app/ui/qt_language.h"
#include "app/ui/ticket_painter.h"
#include "app/ui/transfer_runner.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace kerbolt::ui {

namespace {

using texts::kFrench;
using texts::kNoLanguage;

constexpr int kWidth = 6600;
constexpr int kHeight = 6300;
constexpr int kLanguageFrameTop = 2040;

const char* const kLanguageNames[] = {"Français", "Deutsch", "English", "Italiano"};

} // namespace

frmConnect::frmConnect(AppContext& context, QWidget* parent)
    : KerboltWindow(parent), context_(context),
      sign_in_(context.state, context.ftp, context.prompts) {
    setObjectName(QStringLiteral("frmConnect"));
    if (TransferRunner* runner = context.transfers; runner != nullptr) {
        // The window lives on while the server is asked for the account's data file.
        sign_in_.SetSyncRunner(
            [runner, &state = context.state](const std::function<web::SyncResult()>& sync) {
                web::SyncResult result;
                runner->Wait(texts::StepText(state.Language, texts::Step::Synchronise),
                             [&result, &sync] {
                                 result = sync();
                                 return true;
                             });
                return result;
            });
    }
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    resize(Px(kWidth), Px(kHeight));

    auto* image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    const QImage logo = TicketLogo();
    const int logo_height = logo.isNull() ? 1200 : TicketLogoHeight(logo.width(), logo.height());
    image1->setGeometry(TwipsRect(2050, 240, 2500, logo_height));
    image1->setScaledContents(true);
    if (!logo.isNull()) image1->setPixmap(QPixmap::fromImage(logo));

    connect(AddCloseLabel(kWidth), &ClickLabel::clicked, this, [this] { lblUndo_Click(); });

    // The design captions are the French ones.
    lblNewUser_ = new QLabel(
        Q(texts::frmConnect::CaptionText(kFrench, texts::frmConnect::Caption::lblNewUser)), this);
    lblNewUser_->setObjectName(QStringLiteral("lblNewUser"));
    lblNewUser_->setWordWrap(true);
    lblNewUser_->setGeometry(TwipsRect(300, 1560, 6000, 660));
    lblNewUser_->hide();

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(TwipsRect(300, 2280, 6000, 3000));

    lblMail_ = new QLabel(
        Q(texts::frmConnect::CaptionText(kFrench, texts::frmConnect::Caption::lblMail)), frame1);
    lblMail_->setObjectName(QStringLiteral("lblMail"));
    lblMail_->setGeometry(TwipsRect(240, 330, 1800, 255));
    txtMail_ = new QLineEdit(frame1);
    txtMail_->setObjectName(QStringLiteral("txtMail"));
    txtMail_->setGeometry(TwipsRect(2100, 270, 3600, 375));

    lblPwd_ = new QLabel(
        Q(texts::frmConnect::CaptionText(kFrench, texts::frmConnect::Caption::lblPwd)), frame1);
    lblPwd_->setObjectName(QStringLiteral("lblPwd"));
    lblPwd_->setGeometry(TwipsRect(240, 810, 1800, 255));
    txtPwd_ = new QLineEdit(frame1);
    txtPwd_->setObjectName(QStringLiteral("txtPwd"));
    txtPwd_->setGeometry(TwipsRect(2100, 750, 3600, 375));
    txtPwd_->setEchoMode(QLineEdit::Password);
    txtPwd_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    chkPwd_ = new QCheckBox(
        Q(texts::frmConnect::CaptionText(kFrench, texts::frmConnect::Caption::chkPwd)), frame1);
    chkPwd_->setObjectName(QStringLiteral("chkPwd"));
    chkPwd_->setGeometry(TwipsRect(2100, 1260, 3600, 300));
    connect(chkPwd_, &QCheckBox::clicked, this, [this] { chkPwd_Click(); });

    chkNoPwd_ = new QCheckBox(
        Q(texts::frmConnect::CaptionText(kFrench, texts::frmConnect::Caption::chkNoPwd)), frame1);
    chkNoPwd_->setObjectName(QStringLiteral("chkNoPwd"));
    chkNoPwd_->setGeometry(TwipsRect(240, 1740, 5600, 300));

    cmdOpen_ = new QPushButton(
        Q(texts::frmConnect::CaptionText(kFrench, texts::frmConnect::Caption::cmdOpen)), frame1);
    cmdOpen_->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen_->setGeometry(TwipsRect(2100, 2280, 1800, 495));
    cmdOpen_->setDefault(true);
    connect(cmdOpen_, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(txtPwd_, &QLineEdit::returnPressed, this, [this] { cmdOpen_Click(); });

    for (int i = 0; i < 4; ++i) {
        auto* flag = new ClickLabel(this);
        flag->setObjectName(QStringLiteral("imgLangue%1").arg(i));
        flag->setGeometry(TwipsRect(300 + i * 600, 5580, 420, 285));
        flag->setPixmap(FlagPixmap(i, flag->size()));
        flag->setToolTip(QString::fromUtf8(kLanguageNames[i]));
        connect(flag, &ClickLabel::clicked, this, [this, i] { imgLangue_Click(i); });
    }

    // Laid over the sign-in frame until a language is chosen.
    fraLangue_ = new QGroupBox(QStringLiteral("Select your Language"), this);
    fraLangue_->setObjectName(QStringLiteral("fraLangue"));
    fraLangue_->setAutoFillBackground(true);
    // Tall enough to cover the sign-in frame below it.
    fraLangue_->setGeometry(TwipsRect(300, 5000, 6000, 3300));
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(kLanguageNames[i]), fraLangue_);
        button->setObjectName(QStringLiteral("cmdLangue%1").arg(i));
        button->setGeometry(TwipsRect(240 + i * 1440, 1200, 1320, 555));
        connect(button, &QPushButton::clicked, this, [this, i] { cmdLangue_Click(i); });
    }
    fraLangue_->hide();

    Form_Load();
}

void frmConnect::Form_Load() {
    if (context_.state.Language != kNoLanguage) {
        ApplyLanguage();
        if (context_.state.NewInstall) lblNewUser_->show();
        return;
    }
    fraLangue_->move(fraLangue_->x(), Px(kLanguageFrameTop));
    fraLangue_->raise();
    fraLangue_->show();
}

void frmConnect::ApplyLanguage() {
    const int language = context_.state.Language;
    ApplyQtLanguage(language);
    const auto apply = [language](auto* control, texts::frmConnect::Caption caption) {
        const std::string text = texts::frmConnect::CaptionText(language, caption);
        if (!text.empty()) control->setText(Q(text));
    };
    apply(lblNewUser_, texts::frmConnect::Caption::lblNewUser);
    apply(lblMail_, texts::frmConnect::Caption::lblMail);
    apply(lblPwd_, texts::frmConnect::Caption::lblPwd);
    apply(chkPwd_, texts::frmConnect::Caption::chkPwd);
    apply(cmdOpen_, texts::frmConnect::Caption::cmdOpen);
    apply(chkNoPwd_, texts::frmConnect::Caption::chkNoPwd);
    store::LoadDefaultTexts(context_.state, context_.config);
}

void frmConnect::ChooseLanguage(int index) {
    store::State& state = context_.state;
    state.Language = static_cast<std::int16_t>(index + 1);
    const bool saved = store::SaveLanguage(state.IniPath, state.Language);
    ApplyLanguage();
    // Told in the language just chosen, which holds for this run.
    if (!saved)
        context_.prompts.Show(texts::SettingNotSavedMessage(state.Language, state.IniPath),
                              MessageIcon::Exclamation);
}

void frmConnect::cmdLangue_Click(int index) {
    ChooseLanguage(index);
    fraLangue_->hide();
    if (context_.state.NewInstall) lblNewUser_->show();
}

void frmConnect::imgLangue_Click(int index) {
    ChooseLanguage(index);
}

void frmConnect::chkPwd_Click() {
    txtPwd_->setEchoMode(chkPwd_->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void frmConnect::cmdOpen_Click() {
    const auto next = sign_in_.Attempt(txtMail_->text().toStdString(),
                                       txtPwd_->text().toStdString(), chkNoPwd_->isChecked());
    switch (next) {
    case kerbolt::session::SignInNext::Stay:
        break;
    case kerbolt::session::SignInNext::OpenMain:
        emit SignedIn();
        break;
    case kerbolt::session::SignInNext::EndProcess:
        context_.exit.Exit(0);
        break;
    }
}

void frmConnect::lblUndo_Click() {
    context_.exit.Exit(0);
}

void frmConnect::closeEvent(QCloseEvent* event) {
    event->accept();
    context_.exit.Exit(0);
}

} // namespace kerbolt::ui
