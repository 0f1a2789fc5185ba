// The main window with its dialogs and web services plugged in as the program plugs them: the
// buttons open the dialogs modally, what the dialogs save shows in the main window, and the
// update check and the notifications reach the loopback web server.
#include "app/core/store/records.h"
#include "app/core/web/web_services.h"
#include "app/platform/curl_http.h"
#include "app/platform/qt/ui_post.h"
#include "app/ui/dialog_factory.h"
#include "app/ui/frm_indemnites.h"
#include "app/ui/frm_infos.h"
#include "app/ui/frm_licence.h"
#include "app/ui/frm_main.h"
#include "app/ui/frm_places.h"
#include "app/ui/main_window_web.h"
#include "tests/support/http_server.h"
#include "tests/support/ui_harness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kerbolt::ui {
namespace {

using testing_support::Control;
using testing_support::ProcessEventsUntil;
using testing_support::UiHarness;

// The visible dialog of a type, while it runs modally.
template <typename T> T* OpenDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<T*>(widget); dialog != nullptr && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

class MainWithDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(harness_.dir.Path() / "web/ctrl");
        harness_.SignedIn(texts::kFrench);
        store::WriteAccount(harness_.context->state.DataFile, "a@b.ch", "secret1");
        store::WritePlaces(harness_.context->state.DataFile, {{"A1", "Rue du Lac 1", "0"}});
        config_ = harness_.context->config;
        config_.web_url = server_.BaseUrl();
        config_.notify_url = server_.BaseUrl();
        config_.product_url = server_.BaseUrl();
        context_.emplace(AppContext{harness_.context->paths, *harness_.ftp, harness_.clock,
                                    harness_.prompts, harness_.shell, harness_.exit,
                                    harness_.printers, notifier_, config_,
                                    harness_.context->state});
        web_.emplace(
            web::WebPorts{http_, harness_.prompts, harness_.shell, harness_.exit, harness_.clock},
            context_->state, config_, "1.18");
        notifier_.target = &*web_;
        InstallDialogs(*context_);
    }
    frmMain& Open() {
        activation_ = AttachWebServices(
            *web_, [this] { return window_.get(); }, context_->state);
        window_ = std::make_unique<frmMain>(*context_);
        window_->show();
        return *window_;
    }
    // Clicks a button of the main window; `inside` runs while the dialog it opens is up.
    void ClickWhileModal(const char* button, const std::function<void()>& inside) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            EXPECT_FALSE(window_->isVisible());
            inside();
            ran = true;
        });
        testing_support::Click(Control<QWidget>(window_.get(), button));
        EXPECT_TRUE(ran);
        EXPECT_TRUE(window_->isVisible());
    }
    std::vector<testing_support::LoggedRequest> Requests(const std::string& path) const {
        std::vector<testing_support::LoggedRequest> found;
        for (const auto& r : server_.Requests())
            if (r.path == path) found.push_back(r);
        return found;
    }

    UiHarness harness_;
    testing_support::HttpServer server_{harness_.dir.File("web"), harness_.dir.File("http.log"),
                                        120};
    ServerConfig config_;
    ForwardingNotifier notifier_;
    std::optional<AppContext> context_;
    CurlHttp http_{QtPostToUi()};
    std::optional<web::WebServices> web_;
    std::unique_ptr<frmMain> window_;
    std::unique_ptr<MainWindowActivation> activation_;
};

TEST_F(MainWithDialogs, TicketSettingsShowInThePreviewAndTheCheckRunsAfterEachDialog) {
    frmMain& main = Open();
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return !http_.Busy() && Requests("/ctrl/kb.txt").size() == 1; }));
    ClickWhileModal("cmdParam", [] {
        frmIndemnites* dialog = OpenDialog<frmIndemnites>();
        ASSERT_NE(dialog, nullptr);
        // The settings button opens the window on its settings, not on the list.
        EXPECT_TRUE(Control<QWidget>(dialog, "fraReglagle")->isVisibleTo(dialog));
        EXPECT_FALSE(Control<QWidget>(dialog, "fraIndemn")->isVisibleTo(dialog));
        Control<QLineEdit>(dialog, "txtTitre")->setText(QStringLiteral("Parking privé"));
        Control<QLineEdit>(dialog, "txtMontant")->setText(QStringLiteral("80"));
        Control<QPushButton>(dialog, "cmdSave")->click();
    });
    EXPECT_EQ(main.Preview().labels[0], "Parking privé");
    EXPECT_EQ(store::ReadParamSettings(context_->state.IniPath).Titre, "Parking privé");
    EXPECT_EQ(testing_support::ReadFileBytes(harness_.ServerFile(context_->state.AccountKey)),
              testing_support::ReadFileBytes(context_->state.DataFile));
    // The version file was not there: the check runs again now that the dialog has closed.
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return !http_.Busy() && Requests("/ctrl/kb.txt").size() == 2; }));
    EXPECT_TRUE(harness_.prompts.prompts.empty());
}

TEST_F(MainWithDialogs, SavedSpotsShowInTheMainWindowsList) {
    frmMain& main = Open();
    ClickWhileModal("cmdPlaces", [] {
        frmPlaces* dialog = OpenDialog<frmPlaces>();
        ASSERT_NE(dialog, nullptr);
        dialog->cmdAddPlace_Click();
        Control<QLineEdit>(dialog, "txtNPlace")->setText(QStringLiteral("B2"));
        dialog->cmdSavePlace_Click();
        dialog->cmdSave_Click();
    });
    auto* spots = Control<QComboBox>(&main, "cmbPlace");
    ASSERT_EQ(spots->count(), 2);
    EXPECT_EQ(spots->itemText(1), QStringLiteral("B2"));
    ClickWhileModal("lblInfos", [] {
        frmLicence* dialog = OpenDialog<frmLicence>();
        ASSERT_NE(dialog, nullptr);
        dialog->cmdClose_Click();
    });
}

TEST_F(MainWithDialogs, NewInstallationNotifiesTheBareKeyAndANewerVersionIsOffered) {
    testing_support::WriteFileBytes(harness_.dir.Path() / "web/ctrl/kb.txt", "Version1.20");
    context_->state.NewInstall = true;
    harness_.prompts.answers = {false, false}; // no contact details now, no update
    Open();
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return !http_.Busy() && harness_.prompts.prompts.size() == 2; }));
    const auto posts = Requests("/ctrl/kb.php?");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].content_type, "application/x-www-form-urlencoded");
    EXPECT_EQ(posts[0].body, "&M=&F=" + context_->state.AccountKey + "&V=1.18&D=03.02.2025");
    EXPECT_EQ(harness_.prompts.prompts[1].text,
              "Une nouvelle version est disponible, voulez-vous l'installer maintenant ?");
    EXPECT_EQ(web_->ServerVersion(), "1.20");
    EXPECT_TRUE(harness_.exit.codes.empty());
}

TEST_F(MainWithDialogs, FirstRunGoesFromContactDetailsToSpotsBeforeTheMainWindowShows) {
    context_->state.NewInstall = true;
    harness_.prompts.answers = {true}; // complete the details now
    bool spots_seen = false;
    QTimer::singleShot(0, [&] {
        frmInfos* infos = OpenDialog<frmInfos>();
        ASSERT_NE(infos, nullptr);
        Control<QLineEdit>(infos, "txtNom")->setText(QStringLiteral("Jean Muster"));
        Control<QLineEdit>(infos, "txtCodeP")->setText(QStringLiteral("1000"));
        Control<QLineEdit>(infos, "txtLocalite")->setText(QStringLiteral("Lausanne"));
        Control<QLineEdit>(infos, "txtIBAN")->setText(QStringLiteral("CH9300762011623852957"));
        QTimer::singleShot(0, [&] {
            frmPlaces* places = OpenDialog<frmPlaces>();
            ASSERT_NE(places, nullptr);
            EXPECT_EQ(OpenDialog<frmInfos>(), nullptr); // hidden, still loaded
            spots_seen = true;
            places->cmdSave_Click();
        });
        Control<QPushButton>(infos, "cmdSave")->click();
    });
    frmMain& main = Open();
    EXPECT_TRUE(spots_seen);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(context_->state.NewInstall);
    EXPECT_EQ(store::ReadInfos(context_->state.DataFile).IBAN, "CH9300762011623852957");
    EXPECT_EQ(harness_.prompts.prompts.size(), 1u);
}

} // namespace
} // namespace kerbolt::ui
