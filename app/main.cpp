// The client's composition root: builds the real adapters and hands them to the windows.
#include "app/platform/curl_ftp.h"
#include "app/platform/notifier.h"
#include "app/platform/qt/desktop.h"
#include "app/platform/qt/printers.h"
#include "app/platform/system_clock.h"
#include "app/platform/system_paths.h"
#include "app/ui/app_context.h"
#include "app/ui/application.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kerbolt::kApplicationTitle));
    kerbolt::ui::ConfigureApplication();

    const kerbolt::ServerConfig& config = kerbolt::DefaultServerConfig();
    kerbolt::SystemPaths paths;
    kerbolt::CurlFtp ftp(config);
    kerbolt::SystemClock clock;
    kerbolt::QtPrompts prompts;
    kerbolt::QtShell shell;
    kerbolt::ProcessExit exit;
    const auto printers = kerbolt::MakeSystemPrinters();
    // Stands in for the notification of the operator's web script until that is plugged in.
    kerbolt::RecordingNotifier notifier;

    kerbolt::ui::AppContext context{paths, ftp,       clock,    prompts, shell,
                                    exit,  *printers, notifier, config};
    kerbolt::ui::Application application(context);
    if (!application.Start()) return 1;
    return QApplication::exec();
}
