#include "app/ui/frm_licence.h"

#include "app/core/texts/licence_texts.h"
#include "tests/app/ui/dialog_fixture.h"

#include <QPointer>

namespace kerbolt::ui::testing {
namespace {

class FrmLicence : public DialogTest {};

TEST_F(FrmLicence, GermanLinkOpensTheGermanTermsAndTheWindowStays) {
    state.Language = Module1::kGerman;
    config.product_url = "https://www.kerbolt.ch";
    QPointer<frmLicence> window = new frmLicence(Context());
    OpenModal(window);
    EXPECT_EQ(window->UrlTag(), "https://www.kerbolt.ch/de/CGU.html");
    auto* link = Child<ClickLabel>(window, "lblUrl");
    EXPECT_EQ(link->text(), QStringLiteral("https://www.kerbolt.ch"));
    EXPECT_EQ(Child<QLabel>(window, "lblVersion")->text(), QStringLiteral("Kerbolt (1.18)"));
    EXPECT_EQ(Child<QPushButton>(window, "cmdClose")->text(), QString::fromUtf8("Schließen"));
    emit link->clicked();
    emit link->clicked();
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"url https://www.kerbolt.ch/de/CGU.html",
                                                     "url https://www.kerbolt.ch/de/CGU.html"}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblUndo")), nullptr);
    Click(window, "cmdClose");
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST(LicenceTexts, TermsTextLinesAndTypographicApostrophes) {
    ServerConfig config;
    config.product_url = "https://www.kerbolt.ch";
    const auto fr = kerbolt::frmLicence::LoadTexts(1, "1.18", config);
    EXPECT_EQ(fr.lblLicence,
              "© 2025 Velquin Sàrl – tous droits réservés.\r\n\r\n"
              "Kerbolt est un Freeware (gratuit) disponible sur la plateforme "
              "https://www.kerbolt.ch\r\n"
              "Kerbolt est fourni tel quel et sans garantie.\r\n"
              "L'auteur autorise les copies non modifiées qui conservent cette mention des "
              "droits.\r\n"
              "La décompilation, la modification sous quelque forme que ce soit est "
              "formellement interdite.\r\n\r\n"
              "Pour toute question ou remarque, veuillez utiliser la page de contact du site.");
    EXPECT_EQ(fr.lblCGU, "Conditions Générales d\xE2\x80\x99Utilisation");
    EXPECT_EQ(kerbolt::frmLicence::LoadTexts(4, "1.18", config).lblCGU,
              "Condizioni d\xE2\x80\x99uso");
    EXPECT_EQ(kerbolt::frmLicence::LoadTexts(3, "1.18", config).url_tag,
              "https://www.kerbolt.ch/en/CGU.html");
    const auto none = kerbolt::frmLicence::LoadTexts(0, "1.18", config);
    EXPECT_EQ(none.lblVersion, "Kerbolt (1.18)");
    EXPECT_EQ(none.url_tag, "");
}

} // namespace
} // namespace kerbolt::ui::testing
