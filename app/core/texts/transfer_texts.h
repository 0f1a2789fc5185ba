// What the window says while a transfer with the server runs, in the four languages.
#pragma once

#include <string>

namespace kerbolt::transfers {

// The step a transfer is at, named in the small progress dialog.
enum class Step { Synchronise, Upload };

// The name of a step in a language 1 to 4 (French for any other).
std::string StepText(int language, Step step);

// The progress dialog's button that stops waiting for a server at start-up.
std::string SkipServerCaption(int language);

// Shown when the user stopped waiting for the server at start-up: the program goes on with the
// data of this computer.
std::string ServerSkippedMessage(int language);

} // namespace kerbolt::transfers
