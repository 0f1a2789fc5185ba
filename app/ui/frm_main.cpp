#include "app/ui/frm_main.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/core/texts/transfer_texts.h"
#include "app/core/ticket/ticket_layout.h"
#include "app/core/ticket/ticket_save.h"
#include "app/core/web/data_transfers.h"
#include "app/platform/qt/desktop.h"
#include "app/ui/language_flags.h"
#include "app/ui/qr_painter.h"
#include "app/ui/qt_language.h"
#include "app/ui/ticket_painter.h"
#include "app/ui/ticket_text_fields.h"
#include "app/ui/transfer_runner.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include <exception>
#include <filesystem>
#include <memory>

namespace kerbolt::ui {

// The preview box of the QR code, with its cross.
class QrBox : public QWidget {
public:
    QrBox(const std::optional<ticket::QrPicture>& picture, QWidget* parent)
        : QWidget(parent), picture_(picture) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, false);
        PaintQrBox(painter, picture_ ? &*picture_ : nullptr, QRectF(rect()));
    }

private:
    const std::optional<ticket::QrPicture>& picture_;
};

namespace {

using texts::kFrench;
using texts::frmMain::Caption;

constexpr int kWidth = 10080;
constexpr int kHeight = 9600;
// The preview's frame; the preview's own layout is inside it.
constexpr int kPreviewLeft = 5640;
constexpr int kPreviewTop = 360;

// A preview label shows the lines the ticket prints of its text, in the font it prints them in.
void ShowLabelText(QLabel& shown, int label, const std::string& text) {
    const TicketLabelText layout = TicketLabelLayout(label, Q(text));
    shown.setFont(layout.font);
    shown.setText(layout.lines.join(QLatin1Char('\n')));
}

// A label with its design (French) caption.
QLabel* MakeLabel(QWidget* parent, const char* name, Caption caption, QRect geometry) {
    return ui::MakeLabel(parent, name, texts::frmMain::CaptionText(kFrench, caption).c_str(),
                         geometry);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const std::string& caption,
                        QRect geometry) {
    return ui::MakeButton(parent, name, caption.c_str(), geometry);
}

} // namespace

frmMain::frmMain(AppContext& context, QWidget* parent) : KerboltWindow(parent), context_(context) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    resize(Px(kWidth), Px(kHeight));

    connect(AddCloseLabel(kWidth), &ClickLabel::clicked, this, [this] { lblUndo_Click(); });

    // The entry.
    lblTitre_ = MakeLabel(this, "lblTitre", Caption::lblTitre, TwipsRect(360, 480, 4920, 330));
    QFont title_font = lblTitre_->font();
    title_font.setBold(true);
    title_font.setPointSizeF(title_font.pointSizeF() * 1.25);
    lblTitre_->setFont(title_font);

    lblPlace_ = MakeLabel(this, "lblPlace", Caption::lblPlace, TwipsRect(360, 1020, 2280, 300));
    cmbPlace_ = new QComboBox(this);
    cmbPlace_->setObjectName(QStringLiteral("cmbPlace"));
    cmbPlace_->setGeometry(TwipsRect(2700, 975, 2580, 375));
    connect(cmbPlace_, &QComboBox::currentIndexChanged, this, [this] { Creer(); });

    lblPlaque_ = MakeLabel(this, "lblPlaque", Caption::lblPlaque, TwipsRect(360, 1500, 2280, 300));
    txtPlaques_ = new QLineEdit(this);
    txtPlaques_->setObjectName(QStringLiteral("txtPlaques"));
    txtPlaques_->setGeometry(TwipsRect(2700, 1455, 2580, 375));
    LimitToTicketText(txtPlaques_);
    connect(txtPlaques_, &QLineEdit::textChanged, this, [this] { Creer(); });

    lblPrint_ = MakeLabel(this, "lblPrint", Caption::lblPrint, TwipsRect(360, 1980, 2280, 300));
    cmbPrinters_ = new QComboBox(this);
    cmbPrinters_->setObjectName(QStringLiteral("cmbPrinters"));
    cmbPrinters_->setGeometry(TwipsRect(2700, 1935, 2580, 375));
    // Only the user's own choice is stored, not the filling of the list.
    connect(cmbPrinters_, &QComboBox::activated, this, [this] { cmbPrinters_Click(); });

    cmdPrint_ =
        MakeButton(this, "cmdPrint", texts::frmMain::CaptionText(kFrench, Caption::cmdPrint),
                   TwipsRect(2700, 2520, 2580, 555));
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });

    // The settings.
    Frame2_ = new QGroupBox(Q(texts::frmMain::CaptionText(kFrench, Caption::Frame2)), this);
    Frame2_->setObjectName(QStringLiteral("Frame2"));
    Frame2_->setGeometry(TwipsRect(360, 3480, 4920, 1800));
    cmdInfos_ =
        MakeButton(Frame2_, "cmdInfos", texts::frmMain::CaptionText(kFrench, Caption::cmdInfos),
                   TwipsRect(180, 420, 2220, 495));
    cmdPlaces_ =
        MakeButton(Frame2_, "cmdPlaces", texts::frmMain::CaptionText(kFrench, Caption::cmdPlaces),
                   TwipsRect(2520, 420, 2220, 495));
    cmdParam_ =
        MakeButton(Frame2_, "cmdParam", texts::frmMain::CaptionText(kFrench, Caption::cmdParam),
                   TwipsRect(180, 1080, 2220, 495));
    cmdIndemn_ =
        MakeButton(Frame2_, "cmdIndemn", texts::frmMain::CaptionText(kFrench, Caption::cmdIndemn),
                   TwipsRect(2520, 1080, 2220, 495));
    connect(cmdInfos_, &QPushButton::clicked, this, [this] { ShowDialog({Dialog::frmInfos}); });
    connect(cmdPlaces_, &QPushButton::clicked, this, [this] { ShowDialog({Dialog::frmPlaces}); });
    connect(cmdParam_, &QPushButton::clicked, this, [this] {
        ShowDialog({Dialog::frmIndemnites, IndemnitesMode::Settings});
    });
    connect(cmdIndemn_, &QPushButton::clicked, this, [this] {
        ShowDialog({Dialog::frmIndemnites, IndemnitesMode::List});
    });

    // The mandate.
    cmdMandat_ = MakeButton(this, "cmdMandat",
                            texts::frmMain::Message(kFrench, texts::frmMain::kMsgBuildMandate),
                            TwipsRect(360, 5640, 2400, 495));
    connect(cmdMandat_, &QPushButton::clicked, this, [this] { cmdMandat_Click(); });
    lblMandat_ = new QLabel(this);
    lblMandat_->setObjectName(QStringLiteral("lblMandat"));
    lblMandat_->setGeometry(TwipsRect(2880, 5700, 2400, 375));
    lblMandat_->setAlignment(Qt::AlignCenter);
    // Its light text colours need a dark ground.
    lblMandat_->setAutoFillBackground(true);
    QPalette mandate_palette = lblMandat_->palette();
    mandate_palette.setColor(QPalette::Window, QColor(64, 64, 64));
    lblMandat_->setPalette(mandate_palette);

    auto* lblInfos = new ClickLabel(QStringLiteral("Infos"), this);
    lblInfos->setObjectName(QStringLiteral("lblInfos"));
    lblInfos->setGeometry(TwipsRect(360, 9000, 900, 300));
    QFont link_font = lblInfos->font();
    link_font.setUnderline(true);
    lblInfos->setFont(link_font);
    lblInfos->setCursor(Qt::PointingHandCursor);
    connect(lblInfos, &ClickLabel::clicked, this, [this] { ShowDialog({Dialog::frmLicence}); });

    for (int i = 0; i < 4; ++i) {
        auto* flag = new ClickLabel(this);
        flag->setObjectName(QStringLiteral("imgLangue%1").arg(i));
        flag->setGeometry(TwipsRect(2880 + i * 600, 9000, 420, 285));
        flag->setPixmap(FlagPixmap(i, flag->size()));
        flag->setCursor(Qt::PointingHandCursor);
        connect(flag, &ClickLabel::clicked, this, [this, i] { imgLangue_Click(i); });
    }

    // The preview, laid out as the ticket prints.
    auto* frame3 = new QWidget(this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    frame3->setGeometry(TwipsRect(kPreviewLeft, kPreviewTop, 4215, 8880));
    frame3->setAutoFillBackground(true);
    QPalette white = frame3->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    frame3->setPalette(white);

    auto* image1 = new QLabel(frame3);
    image1->setObjectName(QStringLiteral("Image1"));
    const QImage logo = TicketLogo();
    if (!logo.isNull()) {
        // The logo keeps its proportions within the space above the title.
        const int height = std::min(1080, TicketLogoHeight(logo.width(), logo.height()));
        const int width = height * logo.width() / std::max(1, logo.height());
        image1->setGeometry(TwipsRect((4095 - width) / 2, 60, width, height));
        image1->setScaledContents(true);
        image1->setPixmap(QPixmap::fromImage(logo));
    }

    for (int i = 0; i < ticket::kTicketLabelCount; ++i) {
        const auto& r = ticket::kPreviewLabelRects[static_cast<std::size_t>(i)];
        auto* label = new QLabel(frame3);
        label->setObjectName(QStringLiteral("lblBV%1").arg(i));
        label->setGeometry(TwipsRect(r.left, r.top, r.width, r.height));
        label->setFont(TicketLabelFont(i));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // The label gets its lines already broken and cut to its box, the lines the ticket
        // prints; wrapping here could break them otherwise.
        label->setWordWrap(false);
        lblBV_[static_cast<std::size_t>(i)] = label;
    }
    lblBV_[ticket::kLabelPayeeHeading]->setText(
        Q(texts::frmMain::CaptionText(kFrench, Caption::lblBV2)));
    lblBV_[ticket::kLabelAmountHeading]->setText(
        Q(texts::frmMain::CaptionText(kFrench, Caption::lblBV7)));
    lblBV_[ticket::kLabelMessageHeading]->setText(
        Q(texts::frmMain::CaptionText(kFrench, Caption::lblBV10)));
    lblBV_[ticket::kLabelAmount]->setText(QString::fromLatin1(ticket::kInitialAmountLabel));

    picBox_ = new QrBox(qr_, frame3);
    picBox_->setObjectName(QStringLiteral("picBox"));
    picBox_->setGeometry(TwipsRect(ticket::kPreviewQrRect.left, ticket::kPreviewQrRect.top,
                                   ticket::kPreviewQrRect.width, ticket::kPreviewQrRect.height));

    Form_Load();
}

std::string frmMain::MandatePath() const {
    return web::MandateLocalPath(context_.state.DataFolder, context_.state.AccountKey);
}

namespace {

// Message boxes belong to the windows' thread: a transfer beside them shows none.
class SilentPrompts final : public IPrompts {
public:
    void Show(const std::string&, MessageIcon) override {}
    bool Ask(const std::string&, MessageIcon) override { return false; }
};

} // namespace

void frmMain::FetchMandate() {
    const store::State& state = context_.state;
    const std::string remote = web::MandateDownloadPath(state.AccountKey);
    if (context_.transfers == nullptr) {
        web::SyncFromServer(context_.ftp, context_.prompts, remote, MandatePath());
        return;
    }
    auto fetch = [&ftp = context_.ftp, remote, local = MandatePath()] {
        SilentPrompts silent;
        web::SyncFromServer(ftp, silent, remote, local);
        return true;
    };
    const QPointer<frmMain> self(this);
    context_.transfers->Start(texts::StepText(state.Language, texts::Step::Synchronise),
                              std::move(fetch), [self](bool) {
                                  if (self) self->ShowMandateState();
                              });
}

void frmMain::Form_Load() {
    store::State& state = context_.state;
    // The signed mandate comes down beside the window, which opens at once.
    FetchMandate();

    if (state.NewInstall) {
        const bool yes = context_.prompts.Ask(
            texts::frmMain::Message(state.Language, texts::frmMain::kMsgCompleteDetails),
            MessageIcon::None);
        context_.notifier.NotifyServer(state.AccountKey);
        if (yes) ShowDialog({Dialog::frmInfos});
    }

    for (const std::string& name : context_.printers.Names())
        cmbPrinters_->addItem(Q(name));
    const std::string saved = store::ReadParamSettings(state.IniPath).Printer;
    state.SavedPrinterName = context_.printers.CurrentName();
    // A name no longer installed shows no choice.
    cmbPrinters_->setCurrentIndex(
        cmbPrinters_->findText(Q(saved.empty() ? state.SavedPrinterName : saved),
                               Qt::MatchFixedString | Qt::MatchCaseSensitive));

    ListePlaces();
    Creer();
    ApplyLanguage();
    ShowMandateState();
}

void frmMain::ShowMandateState() {
    const int language = context_.state.Language;
    std::error_code ec; // a folder that cannot be looked into means no document, not a crash
    const bool have_document = std::filesystem::is_regular_file(MandatePath(), ec);
    cmdMandat_->setText(
        Q(texts::frmMain::Message(language, have_document ? texts::frmMain::kMsgViewMandate
                                                          : texts::frmMain::kMsgBuildMandate)));
    const bool active = !store::ReadInfos(context_.state.DataFile).Mandat.empty();
    lblMandat_->setText(Q(texts::frmMain::Message(
        language, active ? texts::frmMain::kMsgMandateActive : texts::frmMain::kMsgNoMandate)));
    QPalette palette = lblMandat_->palette();
    palette.setColor(QPalette::WindowText, active ? QColor(192, 255, 192) : QColor(255, 192, 192));
    lblMandat_->setPalette(palette);
}

void frmMain::ListePlaces() {
    const QSignalBlocker blocker(cmbPlace_);
    cmbPlace_->clear();
    for (const store::PlaceRecord& place : store::ReadPlaces(context_.state.DataFile))
        cmbPlace_->addItem(Q(place.IdPlace));
    // The list starts with no spot chosen.
    cmbPlace_->setCurrentIndex(-1);
}

ticket::TicketEntry frmMain::Entry() const {
    return {cmbPlace_->currentIndex(), txtPlaques_->text().toStdString(),
            lblBV_[ticket::kLabelAmount]->text().toStdString()};
}

void frmMain::Creer() {
    ++preview_builds_;
    draft_ = ticket::BuildTicketDraft(context_.state, Entry(), context_.clock.Now());
    const ticket::TicketPreview& preview = draft_.preview;
    for (int i = 0; i < ticket::kTicketLabelCount; ++i) {
        const std::string& text = preview.labels[static_cast<std::size_t>(i)];
        const bool heading = i == ticket::kLabelPayeeHeading || i == ticket::kLabelAmountHeading ||
                             i == ticket::kLabelMessageHeading;
        // Without a language the headings keep their captions.
        if (heading && text.empty()) continue;
        ShowLabelText(*lblBV_[static_cast<std::size_t>(i)], i, text);
    }
    qr_ = ticket::CreateTicketQrPicture(preview.payload);
    picBox_->update();
}

void frmMain::ApplyLanguage() {
    const int language = context_.state.Language;
    ApplyQtLanguage(language);
    const auto apply = [language](auto* control, Caption caption) {
        const std::string text = texts::frmMain::CaptionText(language, caption);
        if (!text.empty()) control->setText(Q(text));
    };
    apply(lblTitre_, Caption::lblTitre);
    apply(lblPlace_, Caption::lblPlace);
    apply(lblPlaque_, Caption::lblPlaque);
    if (const std::string title = texts::frmMain::CaptionText(language, Caption::Frame2);
        !title.empty())
        Frame2_->setTitle(Q(title));
    apply(cmdInfos_, Caption::cmdInfos);
    apply(cmdPlaces_, Caption::cmdPlaces);
    apply(cmdParam_, Caption::cmdParam);
    apply(cmdIndemn_, Caption::cmdIndemn);
    apply(lblPrint_, Caption::lblPrint);
    apply(cmdPrint_, Caption::cmdPrint);
    apply(lblBV_[ticket::kLabelPayeeHeading], Caption::lblBV2);
    apply(lblBV_[ticket::kLabelAmountHeading], Caption::lblBV7);
    apply(lblBV_[ticket::kLabelMessageHeading], Caption::lblBV10);
}

void frmMain::cmdPrint_Click() {
    store::State& state = context_.state;
    const std::string plates = txtPlaques_->text().toStdString();
    const int place = cmbPlace_->currentIndex();
    if (const int refusal = ticket::CheckPrintEntry(plates, place); refusal != 0) {
        context_.prompts.Show(texts::frmMain::Message(state.Language, refusal),
                              MessageIcon::Information);
        if (refusal == texts::frmMain::kMsgNoPlates)
            txtPlaques_->setFocus();
        else
            cmbPlace_->setFocus();
        return;
    }

    // The entry is taken now and cleared at once, quietly, so that a second click meanwhile
    // cannot print this vehicle twice; the preview keeps showing the ticket until it is printed.
    const ticket::TicketEntry entry = Entry();
    {
        const QSignalBlocker block_place(cmbPlace_);
        const QSignalBlocker block_plates(txtPlaques_);
        cmbPlace_->setCurrentIndex(-1);
        txtPlaques_->clear();
    }

    // The ticket's number comes from the data file merged with the server's copy while this
    // computer holds the server's lock: another computer of the account cannot print it too.
    // One draft, built then, is saved, printed and encoded, so paper, QR code and record agree.
    auto claimed = std::make_shared<ticket::ClaimedTicket>();
    // Copies: the window's state may change while the job runs.
    auto claim = [&ftp = context_.ftp, settings = context_.state, entry, now = context_.clock.Now(),
                  claimed] {
        *claimed = ticket::ClaimTicket(settings, ftp, entry, now);
        return claimed->saved.written;
    };
    const QPointer<frmMain> self(this);
    auto print = [self, claimed, entry](bool) {
        if (self) self->PrintClaimed(*claimed, entry);
    };
    if (context_.transfers == nullptr) {
        claim();
        print(true);
        return;
    }
    context_.transfers->Start(texts::StepText(state.Language, texts::Step::Upload),
                              std::move(claim), std::move(print));
}

void frmMain::PrintClaimed(const ticket::ClaimedTicket& claimed, const ticket::TicketEntry& entry) {
    const store::State& state = context_.state;
    // Printed without its record, the ticket's reference would be given again to the next one.
    // The entry comes back for another try, unless a new one was typed meanwhile; the preview
    // shows the number it would now get.
    if (!claimed.saved.written) {
        context_.prompts.Show(texts::frmMain::RecordNotSavedMessage(state.Language),
                              MessageIcon::Critical);
        if (cmbPlace_->currentIndex() < 0 && txtPlaques_->text().isEmpty()) {
            const QSignalBlocker block_place(cmbPlace_);
            const QSignalBlocker block_plates(txtPlaques_);
            cmbPlace_->setCurrentIndex(entry.place_index);
            txtPlaques_->setText(Q(entry.plates));
        }
        Creer();
        return;
    }

    const ticket::TicketDraft& draft = claimed.draft;
    context_.printers.SelectCurrent(cmbPrinters_->currentText().toStdString());
    const std::optional<ticket::QrPicture> printed_qr =
        ticket::CreateTicketQrPicture(draft.preview.payload);
    std::string error;
    try {
        error = context_.printers.PrintPage([&](QPainter& painter, QPrinter&) {
            PaintTicket(painter, draft.preview, printed_qr ? &*printed_qr : nullptr, TicketLogo());
        });
    } catch (const std::exception& e) {
        error = e.what();
    }
    // The record stays written; the user sees why nothing came out.
    if (!error.empty()) context_.prompts.Show(error, MessageIcon::Critical);
    // One rebuild shows the cleared entry and the number the next ticket now gets.
    Creer();

    // The ticket's notice follows the upload, as the server may look the ticket up in its copy.
    context_.notifier.NotifyServer(claimed.saved.reference);
    if (!claimed.shared_references.empty()) {
        context_.prompts.Show(
            texts::SharedReferenceMessage(state.Language, claimed.shared_references),
            MessageIcon::Exclamation);
    }
    if (!claimed.saved.uploaded) OfferUploadAgain();
}

void frmMain::OfferUploadAgain() {
    const store::State& state = context_.state;
    const std::string question =
        texts::frmMain::Message(state.Language, texts::frmMain::kMsgUploadFailed) + "\n" +
        texts::RetryQuestion(state.Language);
    // The upload stays owed either way: the next save or start sends it.
    if (!context_.prompts.Ask(question, MessageIcon::Information)) return;
    // Copies: the window's state may change while the job runs.
    auto upload = [&ftp = context_.ftp, file = state.DataFile, key = state.AccountKey] {
        return web::UploadDataFile(ftp, file, key);
    };
    const QPointer<frmMain> self(this);
    auto report = [self](bool uploaded) {
        if (self && !uploaded) self->OfferUploadAgain();
    };
    if (context_.transfers == nullptr) {
        report(upload());
        return;
    }
    context_.transfers->Start(texts::StepText(state.Language, texts::Step::Upload),
                              std::move(upload), std::move(report));
}

void frmMain::cmbPrinters_Click() {
    if (!store::SavePrinter(context_.state.IniPath, cmbPrinters_->currentText().toStdString()))
        TellSettingNotSaved();
}

void frmMain::TellSettingNotSaved() {
    const store::State& state = context_.state;
    context_.prompts.Show(texts::SettingNotSavedMessage(state.Language, state.IniPath),
                          MessageIcon::Exclamation);
}

void frmMain::ShowDialog(DialogRequest dialog) {
    if (!context_.hooks.show_dialog) return;
    hide();
    context_.hooks.show_dialog(dialog, *this);
    show();
}

void frmMain::cmdMandat_Click() {
    const std::string path = MandatePath();
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        if (!context_.shell.OpenDocument(path))
            context_.prompts.Show(texts::DocumentNotOpenedMessage(context_.state.Language, path),
                                  MessageIcon::Exclamation);
        return;
    }
    if (!context_.hooks.build_mandate) return;
    if (context_.hooks.build_mandate(*this))
        cmdMandat_->setText(
            Q(texts::frmMain::Message(context_.state.Language, texts::frmMain::kMsgViewMandate)));
}

void frmMain::imgLangue_Click(int index) {
    store::State& state = context_.state;
    state.Language = static_cast<std::int16_t>(index + 1);
    const bool saved = store::SaveLanguage(state.IniPath, state.Language);
    ApplyLanguage();
    store::LoadDefaultTexts(state, context_.config);
    Creer();
    // The mandate texts follow the language too, not only at the next start.
    ShowMandateState();
    // Told in the language just chosen, which holds for this run.
    if (!saved) TellSettingNotSaved();
}

void frmMain::lblUndo_Click() {
    hide();
    Form_QueryUnload();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_QueryUnload();
}

void frmMain::Form_QueryUnload() {
    if (unloading_) return;
    unloading_ = true;
    context_.printers.SelectCurrent(context_.state.SavedPrinterName);
    context_.exit.Exit(0);
}

} // namespace kerbolt::ui
