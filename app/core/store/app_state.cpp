#include "app/core/store/app_state.h"

#include "app/core/store/account_key.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/texts/default_texts.h"
#include "app/platform/ports.h"

namespace kerbolt::store {

void SetAccount(State& state, const std::string& address) {
    state.AccountKey = ComputeAccountKey(address);
    state.DataFile = PathIn(state.DataFolder, state.AccountKey);
}

void LoadDefaultTexts(State& state, const ServerConfig& config) {
    const ParamSettings param = ReadParamSettings(state.IniPath);
    // Only an empty amount takes the default: a saved "0" stays "0".
    state.TicketAmount = param.Montant.empty() ? kDefaultAmount : param.Montant;
    state.TicketTitle = param.Titre;
    state.TicketText = param.Texte;
    if (state.Language < texts::kFrench || state.Language > texts::kItalian) return;
    if (state.TicketTitle.empty()) state.TicketTitle = texts::DefaultTitle(state.Language);
    if (state.TicketText.empty()) state.TicketText = texts::DefaultText(state.Language);
    state.TicketFooter = texts::Footer(state.Language, config);
}

} // namespace kerbolt::store
