// The contact details window's numbered messages and captions in the four languages.
#pragma once

#include <string>

namespace kerbolt::texts::frmInfos {

inline constexpr int kMsgIbanInvalid = 1;
inline constexpr int kMsgNoPayment = 2;
inline constexpr int kMsgRequired = 3;
inline constexpr int kMsgUploadFailed = 4;

// The hint on the IBAN field, in every language.
inline constexpr const char* kIbanHint =
    "Figure seulement dans l'entête, pas sur le bulletin de versement";

// The message of that number (1 to 4) in a language 1 to 4; empty for any other.
std::string Message(int language, int number);

enum class Caption { lblTitre, lblNom, lblRue, lblLocalite, lblIBAN, cmdSave };

// The caption of a control in a language 1 to 4; empty for any other.
std::string CaptionText(int language, Caption control);

} // namespace kerbolt::texts::frmInfos
