// The application state that every window reads and writes for the life of the process: where
// the account's files are, and the settings the settings file holds for this run.
#pragma once

#include "app/core/texts/texts.h"
#include "app/platform/config.h"

#include <cstdint>
#include <string>

namespace kerbolt::store {

// The process's shared variables, set at start-up and sign-in. Paths use "/" and are UTF-8.
struct State {
    std::string DataFolder;   // the per-user data folder
    std::string AccountKey;   // key of the signed-in address (ComputeAccountKey)
    std::string DataFile;     // DataFolder/AccountKey: the user's data file, no extension
    std::string IniPath;      // DataFolder/Param.ini
    bool NewInstall = false;  // first run or new account
    std::string TicketAmount; // "Montant", "50" when not set
    std::string TicketTitle;
    std::string TicketText;   // lines joined by CR LF, with the placeholder "{adresse}"
    std::string TicketFooter; // one line in the current language; never stored
    std::string SavedPrinterName;
    std::int16_t Language = texts::kNoLanguage;
    std::string TempFolder; // the system's temporary folder
};

// Sets AccountKey and DataFile for an address.
void SetAccount(State& state, const std::string& address);

// Loads TicketAmount, TicketTitle and TicketText from Param.ini and, for a language 1 to 4,
// fills an empty title or text with the language's default and sets the language's footer.
// With any other language the title and text stay as read and the footer keeps its value.
void LoadDefaultTexts(State& state, const ServerConfig& config = DefaultServerConfig());

// The amount used when none is saved.
inline constexpr const char* kDefaultAmount = "50";

} // namespace kerbolt::store
