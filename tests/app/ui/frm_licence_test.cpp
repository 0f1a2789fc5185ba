#include "app/ui/frm_licence.h"

#include "app/core/texts/desktop_texts.h"
#include "app/core/texts/licence_texts.h"
#include "tests/app/ui/dialog_fixture.h"

#include <QPointer>

namespace kerbolt::ui::testing {
namespace {

class FrmLicence : public DialogTest {};

TEST_F(FrmLicence, GermanLinkOpensTheGermanTermsAndTheWindowStays) {
    state.Language = texts::kGerman;
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

// When nothing on the desktop opens the page the user gets its address, in his language.
TEST_F(FrmLicence, APageThatDoesNotOpenIsToldWithItsAddress) {
    config.product_url = "https://www.kerbolt.ch";
    shell.opens = false;
    for (int language = texts::kFrench; language <= texts::kItalian; ++language) {
        state.Language = static_cast<std::int16_t>(language);
        prompts.shown.clear();
        QPointer<frmLicence> window = new frmLicence(Context());
        OpenModal(window);
        emit Child<ClickLabel>(window, "lblUrl")->clicked();
        const std::string url = window->UrlTag();
        EXPECT_EQ(prompts.shown,
                  std::vector<std::string>{texts::PageNotOpenedMessage(language, url)});
        EXPECT_NE(prompts.shown.at(0).find(url), std::string::npos);
        EXPECT_TRUE(window->isVisible());
        Click(window, "cmdClose");
        Settle();
    }
}

// The link takes the scheme of the product's server: the local stand-in speaks http only.
TEST(LicenceTexts, LinkFollowsTheServersScheme) {
    const struct {
        const char* product_url;
        const char* link;
    } cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"https://www.kerbolt.ch", "https://www.kerbolt.ch"},
        {"HTTP://Example.org/base/", "http://Example.org"},
        {"www.kerbolt.ch", "https://www.kerbolt.ch"},
    };
    for (const auto& c : cases) {
        ServerConfig config;
        config.product_url = c.product_url;
        const auto texts = kerbolt::texts::frmLicence::LoadTexts(2, "1.18", config);
        EXPECT_EQ(texts.lblUrl, c.link) << c.product_url;
        EXPECT_EQ(texts.url_tag, std::string(c.link) + "/de/CGU.html") << c.product_url;
        EXPECT_NE(texts.lblLicence.find(std::string(c.link) + "\r\n"), std::string::npos);
    }
}

TEST(LicenceTexts, TermsTextLinesAndTypographicApostrophes) {
    ServerConfig config;
    config.product_url = "https://www.kerbolt.ch";
    const auto fr = kerbolt::texts::frmLicence::LoadTexts(1, "1.18", config);
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
    EXPECT_EQ(kerbolt::texts::frmLicence::LoadTexts(4, "1.18", config).lblCGU,
              "Condizioni d\xE2\x80\x99uso");
    EXPECT_EQ(kerbolt::texts::frmLicence::LoadTexts(3, "1.18", config).url_tag,
              "https://www.kerbolt.ch/en/CGU.html");
    const auto none = kerbolt::texts::frmLicence::LoadTexts(0, "1.18", config);
    EXPECT_EQ(none.lblVersion, "Kerbolt (1.18)");
    EXPECT_EQ(none.url_tag, "");
}

} // namespace
} // namespace kerbolt::ui::testing
