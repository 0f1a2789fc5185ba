#include "app/core/session/startup.h"

#include "app/core/store/records.h"

#include <filesystem>

namespace kerbolt::session {

namespace fs = std::filesystem;

StartupDecision Main(store::State& state, IPaths& paths, IFtp& ftp, IPrompts& prompts,
                     const ServerConfig& config, const SyncRunner& run_sync) {
    StartupDecision decision;
    state.DataFolder = paths.DataFolder();
    state.TempFolder = paths.TempFolder();
    state.IniPath = PathIn(state.DataFolder, "Param.ini");

    // The parents are created too: on a fresh account the folder above may be missing.
    std::error_code ec;
    if (!fs::is_directory(state.DataFolder, ec)) {
        fs::create_directories(state.DataFolder, ec);
        if (ec || !fs::is_directory(state.DataFolder, ec)) {
            decision.error = "Impossible de créer le dossier de données : " + state.DataFolder;
            return decision;
        }
        state.NewInstall = true;
    }

    const store::ParamSettings param = store::ReadParamSettings(state.IniPath);
    state.Language = store::ParseLanguage(param.Langue);
    const std::string& remembered = param.Mail;
    if (!remembered.empty()) SetAccount(state, remembered);

    if (remembered.empty()) {
        if (state.Language == texts::kNoLanguage) state.NewInstall = true;
        return decision;
    }
    // A save or a transfer cut off by a crash may have left its temporary file.
    web::RemoveLeftovers(state.DataFile);
    if (!fs::is_regular_file(state.DataFile, ec)) return decision;

    if (run_sync) {
        // Copies: the synchronisation may go on after the user stopped waiting for it.
        decision.sync = run_sync([&ftp, file = state.DataFile, key = state.AccountKey] {
            return web::SyncDataFile(ftp, nullptr, file, key, /*upload=*/false);
        });
    } else {
        decision.sync = web::SyncDataFile(ftp, &prompts, state.DataFile, state.AccountKey,
                                          /*upload=*/false);
    }
    if (state.Language > 0) {
        LoadDefaultTexts(state, config);
        decision.window = FirstWindow::frmMain;
    }
    return decision;
}

} // namespace kerbolt::session
