// The main window's talk with the web servers: the update check at activation, the installer,
// and the notification of every ticket and every new installation. One HTTP port carries all of
// it; every reply goes through one completion handler on the user-interface thread.
#pragma once

#include "app/core/store/app_state.h"
#include "app/core/web/update_check.h"
#include "app/platform/config.h"
#include "app/platform/http.h"
#include "app/platform/notifier.h"
#include "app/platform/ports.h"

#include <functional>
#include <string>

namespace kerbolt::web {

// What the web services need of the main window.
struct MainWindowHooks {
    std::function<void()> hide;
    std::function<void()> show;
    // True when a question may be asked now: the main window is shown and no dialog is open.
    std::function<bool()> ready;
    // The update question in the current language.
    std::function<std::string()> update_question;
};

struct WebPorts {
    IHttp& http;
    IPrompts& prompts;
    IShell& shell;
    IExit& exit;
    IClock& clock;
};

class WebServices final : public INotifier {
public:
    WebServices(WebPorts ports, const store::State& state,
                ServerConfig config = DefaultServerConfig(),
                std::string program_version = ProgramVersionText());

    void SetMainWindow(MainWindowHooks hooks) { hooks_ = std::move(hooks); }

    // frmMain.Form_Activate: called once the main window is first shown and after each of its
    // dialogs closes. Fetches the version file until a reply holding "Version" has been read,
    // and offers a newer version (a question kept back while a dialog was open is asked now).
    void Form_Activate();

    // Starts the notification of a reference and returns at once.
    void NotifyServer(const std::string& reference) override;

    // Hides the main window, downloads the installer (the configured one for an empty address)
    // into the temporary folder, starts it with "/SILENT" there and ends the program. On failure
    // the failure's description is shown and the main window comes back.
    void DownloadAndInstallUpdate(const std::string& url = {});

    // The completion handler of every transfer: a reply holding "Version" sets ServerVersion.
    void Inet1_StateChanged(const HttpReply& reply);

    const std::string& ServerVersion() const { return server_version_; }
    bool IsUpdateAvailable() const;

private:
    void OnVersionFile(const HttpReply& reply);
    void OfferUpdate();
    void FinishInstall(const std::string& url, const std::string& target, const HttpReply& reply);
    void FailInstall(const std::string& description);
    void Call(const std::function<void()>& hook) const {
        if (hook) hook();
    }

    WebPorts ports_;
    const store::State& state_;
    ServerConfig config_;
    std::string program_version_;
    MainWindowHooks hooks_;
    std::string server_version_;
    bool fetch_pending_ = false;
    bool offer_pending_ = false;
    bool installing_ = false;
};

// Limits of the installer download: no limit on the whole transfer (a slow line may take long),
// but a size that no installer reaches.
inline constexpr std::size_t kMaxInstallerBytes = std::size_t{512} << 20;

} // namespace kerbolt::web
