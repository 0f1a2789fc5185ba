// What the window says while a transfer with the server runs, in the four languages.
#pragma once

#include <string>
#include <vector>

namespace kerbolt::texts {

// The step a transfer is at, named in the small progress dialog.
enum class Step { Synchronise, Upload };

// The name of a step in a language 1 to 4 (French for any other).
std::string StepText(int language, Step step);

// The progress dialog's button that stops waiting for a server at start-up.
std::string SkipServerCaption(int language);

// Shown when the user stopped waiting for the server at start-up: the program goes on with the
// data of this computer.
std::string ServerSkippedMessage(int language);

// Added to a "could not be updated on our server" message when the upload can be tried again:
// a question whose Yes sends the data again at once.
std::string RetryQuestion(int language);

// Shown when a synchronisation found one printed payment reference on two tickets (one printed
// while this computer could not reach the server, the other on another computer): both tickets
// stay recorded; the operator needs to be told which payment belongs to which.
std::string SharedReferenceMessage(int language, const std::vector<std::string>& references);

} // namespace kerbolt::texts
