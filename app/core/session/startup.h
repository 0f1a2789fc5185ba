// The start-up decision: where the files are, which window comes first, and whether the data
// file is synchronised before it opens. The windows layer shows the chosen window.
#pragma once

#include "app/core/store/app_state.h"
#include "app/core/web/data_transfers.h"
#include "app/platform/config.h"
#include "app/platform/ports.h"

#include <functional>
#include <optional>
#include <string>

namespace kerbolt::session {

enum class FirstWindow { frmConnect, frmMain };

struct StartupDecision {
    FirstWindow window = FirstWindow::frmConnect;
    // The synchronisation of the data file, when one ran.
    std::optional<web::SyncResult> sync;
    // Not empty when the data folder could not be created: the text to show before ending.
    std::string error;
};

// Runs the start-up's synchronisation of the data file (the windows run it beside the event
// loop); nothing when the user chose not to wait for it.
using SyncRunner =
    std::function<std::optional<web::SyncResult>(const std::function<web::SyncResult()>& sync)>;

// Sets the paths of `state` (creating the data folder with its parents; NewInstall when the
// folder itself had to be created), reads "Langue" and "Mail" from Param.ini, derives the
// account from a remembered address, synchronises the data file when the sign-in may be
// skipped, loads the ticket texts before the main window, and says which window comes first.
// With `run_sync` the synchronisation runs through it, may run on another thread and shows no
// message box; without it, it runs here.
StartupDecision Main(store::State& state, IPaths& paths, IFtp& ftp, IPrompts& prompts,
                     const ServerConfig& config = DefaultServerConfig(),
                     const SyncRunner& run_sync = {});

} // namespace kerbolt::session
