// The sign-in window's numbered messages and captions in the four languages.
#pragma once

#include <string>

namespace kerbolt::texts::frmConnect {

// The message of that number (1 to 6, and the two below) in a language 1 to 4;
// empty for any other number or language.
std::string LoginMessage(int language, int number);

// Shown instead of creating an account when the server cannot tell whether the address already
// has one.
inline constexpr int kServerUnreachableMessage = 7;

// Shown instead of an attempt when the password holds a character the data file cannot store.
inline constexpr int kPasswordNotStorableMessage = 8;

// The controls whose captions follow the language.
enum class Caption { lblNewUser, lblMail, lblPwd, chkPwd, cmdOpen, chkNoPwd };

// The caption of a control in a language 1 to 4; empty for any other.
std::string CaptionText(int language, Caption control);

} // namespace kerbolt::texts::frmConnect
