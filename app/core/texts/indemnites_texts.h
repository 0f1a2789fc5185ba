// The compensations and ticket settings window's numbered messages and captions.
#pragma once

#include <string>

namespace kerbolt::texts::frmIndemnites {

inline constexpr int kMsgListTitle = 1;
inline constexpr int kMsgSettingsTitle = 2;
inline constexpr int kMsgUploadFailed = 3;
inline constexpr int kMsgAmountRefused = 4;

// The message of that number (1 to 4) in a language 1 to 4; empty for any other.
std::string Message(int language, int number);

enum class Caption {
    lblMontant,
    lblTitre,
    lblTexte,
    cmdSave,
    lblId,
    lblPlace,
    lblDate,
    lblPlaques,
    lblBrut,
    lblPaye,
    optSelect0,
    optSelect1,
    optSelect2,
};

std::string CaptionText(int language, Caption control);

} // namespace kerbolt::texts::frmIndemnites
