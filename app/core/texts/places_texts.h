// The spots window's numbered messages and captions in the four languages.
#pragma once

#include <string>

namespace kerbolt::texts::frmPlaces {

// Messages 0 to 2 are the status list's entries (owner, tenant, management).
inline constexpr int kMsgSelectSpot = 3;

// The message of that number (0 to 3) in a language 1 to 4; empty for any other.
std::string Message(int language, int number);

enum class Caption {
    lblTitre,
    lblNo,
    lblAdresse,
    lblStatut,
    lblNPlace,
    lblAdr,
    lblVous,
    cmdSavePlace,
    cmdUndo,
    cmdAddPlace,
    cmdModifyPlace,
    cmdSave,
};

std::string CaptionText(int language, Caption control);

} // namespace kerbolt::texts::frmPlaces
