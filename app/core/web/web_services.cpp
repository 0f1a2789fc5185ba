#include "app/core/web/web_services.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/web/notification.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace kerbolt::web {

namespace fs = std::filesystem;

WebServices::WebServices(WebPorts ports, const store::State& state, ServerConfig config,
                         std::string program_version)
    : ports_(ports), state_(state), config_(std::move(config)),
      program_version_(std::move(program_version)) {}

bool WebServices::IsUpdateAvailable() const {
    return kerbolt::web::IsUpdateAvailable(program_version_, server_version_);
}

void WebServices::Form_Activate() {
    if (offer_pending_) {
        OfferUpdate();
        return;
    }
    // One version request at a time: a second activation while it runs waits for its reply.
    if (!server_version_.empty() || fetch_pending_ || installing_) return;
    fetch_pending_ = true;
    HttpRequest request;
    request.url = VersionFileUrl(config_);
    ports_.http.Start(std::move(request), [this](const HttpReply& reply) { OnVersionFile(reply); });
}

void WebServices::OnVersionFile(const HttpReply& reply) {
    fetch_pending_ = false;
    Inet1_StateChanged(reply);
    if (IsUpdateAvailable()) OfferUpdate();
}

void WebServices::OfferUpdate() {
    // The question waits while a dialog is open: its answer ends the program.
    if (hooks_.ready && !hooks_.ready()) {
        offer_pending_ = true;
        return;
    }
    offer_pending_ = false;
    const std::string question = hooks_.update_question ? hooks_.update_question() : std::string();
    if (ports_.prompts.Ask(question, MessageIcon::None)) DownloadAndInstallUpdate();
}

void WebServices::Inet1_StateChanged(const HttpReply& reply) {
    // Only a successful answer counts: an error page must not pass for the version file.
    if (!reply.completed || reply.status < 200 || reply.status > 299) return;
    if (auto version = ExtractServerVersion(reply.body)) server_version_ = std::move(*version);
}

void WebServices::NotifyServer(const std::string& reference) {
    const std::string mail = store::ReadIni(store::kParamSection, "Mail", state_.IniPath, "");
    HttpRequest request;
    request.method = "POST";
    request.url = NotificationUrl(config_.notify_url);
    request.body = BuildNotificationBody(mail, reference, program_version_, ports_.clock.Now());
    request.headers = {kFormContentType};
    ports_.http.Start(std::move(request),
                      [this](const HttpReply& reply) { Inet1_StateChanged(reply); });
}

void WebServices::DownloadAndInstallUpdate(const std::string& url) {
    if (installing_) return;
    installing_ = true;
    Call(hooks_.hide);
    const std::string address = url.empty() ? InstallerUrl(config_) : url;
    const std::string name = FileNameOfUrl(address);
    if (name.empty()) {
        FailInstall("No file name in " + address);
        return;
    }
    const std::string target = PathIn(state_.TempFolder, name);
    std::error_code error;
    fs::remove(target, error);
    if (error) {
        FailInstall(target + ": " + error.message());
        return;
    }
    HttpRequest request;
    request.url = address;
    request.timeout_s = 0;
    request.max_body_bytes = kMaxInstallerBytes;
    ports_.http.Start(std::move(request), [this, address, target](const HttpReply& reply) {
        FinishInstall(address, target, reply);
    });
}

void WebServices::FinishInstall(const std::string& url, const std::string& target,
                                const HttpReply& reply) {
    if (!reply.completed) {
        FailInstall(reply.error);
        return;
    }
    // Only a whole installer is ever started: not an error page, not an empty file.
    if (reply.status != 200) {
        FailInstall("The server answered " + std::to_string(reply.status) + " for " + url);
        return;
    }
    if (reply.body.empty()) {
        FailInstall("The server sent an empty file for " + url);
        return;
    }
    // Written under a temporary name and renamed, so that a broken write never leaves a
    // truncated installer under the real name.
    const std::string partial = target + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reply.body.data(), static_cast<std::streamsize>(reply.body.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            FailInstall("The installer could not be written to " + target);
            return;
        }
    }
    std::error_code error;
    fs::rename(partial, target, error);
#ifndef _WIN32
    if (!error) {
        fs::permissions(target, fs::perms::owner_all, fs::perm_options::replace, error);
    }
#endif
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        FailInstall(target + ": " + error.message());
        return;
    }
    if (!ports_.shell.StartProgram(target, "/SILENT", state_.TempFolder)) {
        FailInstall("The installer could not be started: " + target);
        return;
    }
    ports_.exit.Exit(0);
}

void WebServices::FailInstall(const std::string& description) {
    installing_ = false;
    ports_.prompts.Show(description, MessageIcon::None);
    // The main window comes back: hidden, the program would run on with no window at all.
    Call(hooks_.show);
}

} // namespace kerbolt::web
