// What every window works with: the application state and the ports to the outside world,
// built once by the composition root (app/main.cpp) or by a test.
#pragma once

#include "app/core/store/app_state.h"
#include "app/platform/config.h"
#include "app/platform/notifier.h"
#include "app/platform/ports.h"
#include "app/platform/qt/printers.h"

#include <functional>

namespace kerbolt::ui {

class frmMain;
class TransferRunner;

// The dialogs the main window opens.
enum class Dialog { frmInfos, frmPlaces, frmIndemnites, frmLicence };

// The compensations window shows either the list of compensations or the ticket settings.
enum class IndemnitesMode { List, Settings };

// A dialog to open, and the mode it opens in (only the compensations window has two).
struct DialogRequest {
    Dialog dialog;
    IndemnitesMode mode = IndemnitesMode::List;
    bool operator==(const DialogRequest&) const = default;
};

// Where the dialogs and the mandate builder plug in. While a hook is empty its button opens
// nothing.
struct DialogHooks {
    // Shows a dialog modally and returns when it closes; the main window is hidden meanwhile.
    std::function<void(DialogRequest, frmMain&)> show_dialog;
    // Writes the mandate document and opens it; true when the document was written.
    std::function<bool(frmMain&)> build_mandate;
};

struct AppContext {
    IPaths& paths;
    IFtp& ftp;
    IClock& clock;
    IPrompts& prompts;
    IShell& shell;
    IExit& exit;
    IPrinters& printers;
    INotifier& notifier;
    ServerConfig config = DefaultServerConfig();
    store::State state{};
    DialogHooks hooks{};
    // Where transfers with the server run beside the windows; without one they run on the spot.
    TransferRunner* transfers = nullptr;
};

} // namespace kerbolt::ui
