// The client's composition root: builds the real adapters and hands them to the windows.
#include "app/core/mandate/mandate_pagora_writer.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/web/web_services.h"
#include "app/platform/curl_ftp.h"
#include "app/platform/curl_http.h"
#include "app/platform/notifier.h"
#include "app/platform/qt/desktop.h"
#include "app/platform/qt/printers.h"
#include "app/platform/qt/ui_post.h"
#include "app/platform/system_clock.h"
#include "app/platform/system_paths.h"
#include "app/ui/app_context.h"
#include "app/ui/application.h"
#include "app/ui/dialog_factory.h"
#include "app/ui/main_window_web.h"
#include "app/ui/mandate_action.h"
#include "app/ui/transfer_runner.h"

#include <QApplication>

int main(int argc, char** argv) {
    kerbolt::QtPrompts prompts;
    kerbolt::ProcessExit exit;
    kerbolt::ui::GuardedApplication app(argc, argv, prompts, exit);
    QApplication::setApplicationName(QString::fromUtf8(kerbolt::kApplicationTitle));
    kerbolt::ui::ConfigureApplication();

    const kerbolt::ServerConfig& config = kerbolt::DefaultServerConfig();
    kerbolt::SystemPaths paths;
    kerbolt::CurlFtp ftp(config);
    kerbolt::CurlHttp http(kerbolt::QtPostToUi());
    kerbolt::SystemClock clock;
    kerbolt::QtShell shell;
    const auto printers = kerbolt::MakeSystemPrinters();
    kerbolt::ForwardingNotifier notifier;

    kerbolt::ui::AppContext context{paths, ftp,       clock,    prompts, shell,
                                    exit,  *printers, notifier, config};
    // The desktop may find no viewer only after the window went on: the user learns where the
    // document or page is all the same.
    shell.SetFailureReport([&context](const std::string& target, bool document) {
        const int language = context.state.Language;
        context.prompts.Show(document ? kerbolt::texts::DocumentNotOpenedMessage(language, target)
                                      : kerbolt::texts::PageNotOpenedMessage(language, target),
                             kerbolt::MessageIcon::Exclamation);
    });
    // Gone before the ports its transfers use, after the windows.
    kerbolt::ui::TransferRunner transfers;
    context.transfers = &transfers;
    kerbolt::web::WebServices web({http, prompts, shell, exit, clock}, context.state, config);
    notifier.target = &web;
    kerbolt::ui::InstallDialogs(context);
    kerbolt::ui::InstallMandateHook(context, kerbolt::mandate::PagoraWriterFactory());
    kerbolt::ui::Application application(context);
    const auto activation = kerbolt::ui::AttachWebServices(
        web, [&application] { return application.MainWindow(); }, context.state);
    if (!application.Start()) return 1;
    return QApplication::exec();
}
