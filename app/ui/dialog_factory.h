// The dialogs the main window opens, built for the application's state and ports and shown
// modally while the main window is hidden.
#pragma once

#include "app/ui/app_context.h"
#include "app/ui/dialog_window.h"

namespace kerbolt::ui {

class frmMain;

// What a dialog works with: the application's state and ports, and the main window's routines.
DialogContext MakeDialogContext(AppContext& context, frmMain& main_window);

// A new dialog (it deletes itself once unloaded).
DialogWindow* MakeDialog(DialogRequest request, AppContext& context, frmMain& main_window);

// Plugs the dialogs into the main window's buttons: each one runs modally and the main window
// comes back once it has unloaded.
void InstallDialogs(AppContext& context);

} // namespace kerbolt::ui
