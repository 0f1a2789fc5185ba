#include "app/ui/frm_indemnites.h"

#include "app/core/lists/indemnite_lines.h"
#include "app/core/store/records.h"
#include "app/core/store/ticket_amount.h"
#include "app/core/texts/indemnites_texts.h"
#include "app/core/texts/main_texts.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/ticket_text_fields.h"
#include "app/ui/transfer_runner.h"

#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace kerbolt::ui {

namespace {

constexpr int kSettingsWidth = 9615;
constexpr int kListWidth = 12315;
constexpr int kHeight = 6900;
// The close label sits this far from the right edge in both widths.
constexpr int kCloseFromRight = 375;
constexpr int kListColumns = 6;

// Ticket texts keep CR LF line ends; the text field works with LF.
QString FromStored(const std::string& text) {
    return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string ToStored(const QString& text) {
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return S(lf.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

} // namespace

AmountEdit::AmountEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void AmountEdit::keyPressEvent(QKeyEvent* event) {
    // Pasting would bring in any text, whichever keys ask for it.
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    // Keys that type nothing (arrows, Home, Delete, which some systems give a control
    // character) move and erase as usual.
    if (text.isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const auto typed = lists::FilterAmountKey(text.size() == 1 ? text.at(0).unicode() : 0);
    event->accept();
    if (!typed) return; // letters, signs, blanks, pasting and other control keys
    if (*typed == U'.' && text != QStringLiteral(".")) {
        insert(QStringLiteral("."));
        return;
    }
    QLineEdit::keyPressEvent(event);
}

frmIndemnites::frmIndemnites(DialogContext context, IndemnitesMode mode, QWidget* parent)
    : DialogWindow(parent), context_(std::move(context)), mode_(mode) {
    setObjectName(QStringLiteral("frmIndemnites"));
    resize(Px(kListWidth), Px(kHeight));

    lblIndemnite_ = MakeTitle(this, "", TwipsRect(360, 240, 8000, 375), "lblIndemnite");

    fraReglagle_ = new QFrame(this);
    fraReglagle_->setObjectName(QStringLiteral("fraReglagle"));
    fraReglagle_->setGeometry(TwipsRect(360, 840, 8880, 5700));
    lblMontant_ = MakeLabel(fraReglagle_, "lblMontant", "Montant de l'indemnité de dérangement",
                            TwipsRect(0, 60, 5400, 255));
    txtMontant_ = new AmountEdit(fraReglagle_);
    txtMontant_->setObjectName(QStringLiteral("txtMontant"));
    txtMontant_->setGeometry(TwipsRect(5520, 0, 1500, 330));
    lblTitre_ = MakeLabel(fraReglagle_, "lblTitre", "Titre :", TwipsRect(0, 600, 1200, 255));
    txtTitre_ = MakeField(fraReglagle_, "txtTitre", TwipsRect(1200, 540, 7680, 330));
    lblTexte_ = MakeLabel(fraReglagle_, "lblTexte", "Texte :", TwipsRect(0, 1080, 1200, 255));
    txtTexte_ = new QPlainTextEdit(fraReglagle_);
    txtTexte_->setObjectName(QStringLiteral("txtTexte"));
    txtTexte_->setGeometry(TwipsRect(1200, 1020, 7680, 3900));
    LimitToTicketText(txtTitre_);
    LimitToTicketText(txtTexte_);
    cmdSave_ = MakeButton(fraReglagle_, "cmdSave", "Enregistrer", TwipsRect(6880, 5100, 2000, 450));
    connect(cmdSave_, &QPushButton::clicked, this, [this] { cmdSave_Click(); });

    fraIndemn_ = new QFrame(this);
    fraIndemn_->setObjectName(QStringLiteral("fraIndemn"));
    fraIndemn_->setGeometry(TwipsRect(360, 840, 11640, 5700));
    static const char* const kOptions[] = {"Tout", "En attente", "Payé"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(kOptions[i]), fraIndemn_);
        option->setObjectName(QStringLiteral("optSelect%1").arg(i));
        option->setGeometry(TwipsRect(i * 2400, 0, 2300, 300));
        connect(option, &QRadioButton::clicked, this, [this, i] { optSelect_Click(i); });
        optSelect_[static_cast<std::size_t>(i)] = option;
    }
    List1_ = new QTreeWidget(fraIndemn_);
    List1_->setObjectName(QStringLiteral("List1"));
    List1_->setFont(ListFont());
    // Its headings are its own, so it takes the room that the headings above it had.
    List1_->setGeometry(TwipsRect(0, 420, 11640, 5160));
    List1_->setColumnCount(kListColumns);
    List1_->setRootIsDecorated(false);
    List1_->setUniformRowHeights(true);
    List1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Each column as wide as its heading and its widest entry, in any language: fixed widths
    // put long headings over their neighbours and cut long plates.
    List1_->header()->setFont(font());
    List1_->header()->setStretchLastSection(false);
    List1_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    List1_->setHeaderLabels({QStringLiteral("Id"), QStringLiteral("Place"), QStringLiteral("Date"),
                             QStringLiteral("Plaques"), QStringLiteral("Montant brut"),
                             QString::fromUtf8("Payé le")});

    lblUndo_ = AddCloseLabel(kListWidth);
    connect(lblUndo_, &ClickLabel::clicked, this, [this] { lblUndo_Click(); });

    Form_Load();
    Form_Resize();
}

void frmIndemnites::Form_Load() {
    const store::State& state = context_.state;
    // The list frame takes the settings frame's place.
    fraIndemn_->move(fraReglagle_->x(), fraIndemn_->y());
    txtMontant_->setText(Q(state.TicketAmount));
    txtTitre_->setText(Q(state.TicketTitle));
    txtTexte_->setPlainText(FromStored(state.TicketText));
    if (SettingsMode()) {
        lblIndemnite_->setText(Q(texts::frmIndemnites::Message(
            state.Language, texts::frmIndemnites::kMsgSettingsTitle)));
        fraReglagle_->show();
        fraIndemn_->hide();
    } else {
        lblIndemnite_->setText(
            Q(texts::frmIndemnites::Message(state.Language, texts::frmIndemnites::kMsgListTitle)));
        fraReglagle_->hide();
        fraIndemn_->show();
        optSelect_[0]->setChecked(true);
        optSelect_Click(lists::kAll);
    }
    ApplyLanguage();
}

void frmIndemnites::resizeEvent(QResizeEvent* event) {
    DialogWindow::resizeEvent(event);
    Form_Resize();
}

void frmIndemnites::Form_Resize() {
    const int width = SettingsMode() ? kSettingsWidth : kListWidth;
    if (this->width() != Px(width)) resize(Px(width), height());
    if (lblUndo_ != nullptr) {
        lblUndo_->move(Px(width - kCloseFromRight), lblUndo_->y());
    }
}

void frmIndemnites::ApplyLanguage() {
    using texts::frmIndemnites::Caption;
    ApplyCaptions<Caption>(context_.state.Language, texts::frmIndemnites::CaptionText,
                           {{lblMontant_, Caption::lblMontant},
                            {lblTitre_, Caption::lblTitre},
                            {lblTexte_, Caption::lblTexte},
                            {cmdSave_, Caption::cmdSave},
                            {optSelect_[0], Caption::optSelect0},
                            {optSelect_[1], Caption::optSelect1},
                            {optSelect_[2], Caption::optSelect2}});
    const int language = context_.state.Language;
    if (language < 1 || language > 4) return;
    const Caption headings[kListColumns] = {Caption::lblId,   Caption::lblPlace,
                                            Caption::lblDate, Caption::lblPlaques,
                                            Caption::lblBrut, Caption::lblPaye};
    QStringList labels;
    for (Caption heading : headings)
        labels.push_back(Q(texts::frmIndemnites::CaptionText(language, heading)));
    List1_->setHeaderLabels(labels);
}

void frmIndemnites::FillList(int filter) {
    List1_->clear();
    lines_.clear();
    for (const store::IndemniteRecord& record :
         lists::ListedIndemnites(store::ReadIndemnites(context_.state.DataFile), filter)) {
        lines_.push_back(lists::IndemniteLine(record));
        auto* item = new QTreeWidgetItem(
            QStringList{Q(record.NumIndemn), Q(record.IdPlace), Q(record.date + " " + record.heure),
                        Q(record.nPlaques), Q(record.Montant100), Q(record.datepaiement)});
        List1_->addTopLevelItem(item);
    }
}

void frmIndemnites::optSelect_Click(int index) {
    FillList(index);
}

std::vector<std::string> frmIndemnites::Lines() const {
    return lines_;
}

void frmIndemnites::cmdSave_Click() {
    store::State& state = context_.state;
    if (!SettingsMode()) return;
    const std::string amount = S(txtMontant_->text());
    const std::string title = S(txtTitre_->text());
    const std::string text = ToStored(txtTexte_->toPlainText());
    // Only an amount a QR-bill can carry is kept, so the paper, the code and the record agree.
    if (!store::FormatTicketAmount(amount)) {
        context_.prompts.Show(
            texts::frmIndemnites::Message(state.Language, texts::frmIndemnites::kMsgAmountRefused),
            MessageIcon::Exclamation);
        txtMontant_->setFocus();
        return;
    }
    if (!store::SaveTicketSettings(state.IniPath, amount, title, text)) {
        context_.prompts.Show(kerbolt::texts::frmMain::DataNotSavedMessage(state.Language),
                              MessageIcon::Critical);
        return;
    }
    state.TicketAmount = amount;
    state.TicketTitle = title;
    state.TicketText = text;
    // The settings stay saved here; the user learns that the server's copy is behind.
    UploadDataFileOrAsk(
        context_.transfers, context_.ftp, state, context_.prompts,
        texts::frmIndemnites::Message(state.Language, texts::frmIndemnites::kMsgUploadFailed));
    if (context_.Creer) context_.Creer();
    Unload();
}

} // namespace kerbolt::ui
