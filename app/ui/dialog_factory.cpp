#include "app/ui/dialog_factory.h"

#include "app/core/texts/main_texts.h"
#include "app/ui/frm_indemnites.h"
#include "app/ui/frm_infos.h"
#include "app/ui/frm_licence.h"
#include "app/ui/frm_main.h"
#include "app/ui/frm_places.h"

namespace kerbolt::ui {

DialogContext MakeDialogContext(AppContext& context, frmMain& main_window) {
    return {context.state,
            context.prompts,
            context.ftp,
            context.shell,
            context.config,
            [&main_window] { main_window.ListePlaces(); },
            [&main_window] { main_window.Creer(); },
            [&context](int number) {
                return kerbolt::texts::frmMain::Message(context.state.Language, number);
            },
            context.transfers};
}

DialogWindow* MakeDialog(DialogRequest request, AppContext& context, frmMain& main_window) {
    DialogContext dialog_context = MakeDialogContext(context, main_window);
    switch (request.dialog) {
    case Dialog::frmInfos:
        return new frmInfos(std::move(dialog_context));
    case Dialog::frmPlaces:
        return new frmPlaces(std::move(dialog_context));
    case Dialog::frmIndemnites:
        return new frmIndemnites(std::move(dialog_context), request.mode);
    case Dialog::frmLicence:
        return new frmLicence(std::move(dialog_context));
    }
    return nullptr;
}

void InstallDialogs(AppContext& context) {
    context.hooks.show_dialog = [&context](DialogRequest request, frmMain& main_window) {
        if (DialogWindow* window = MakeDialog(request, context, main_window)) {
            window->CentreOn(main_window);
            RunModal(window);
        }
    };
}

} // namespace kerbolt::ui
