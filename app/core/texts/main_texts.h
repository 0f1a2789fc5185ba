// The main window's numbered messages and captions in the four languages.
#pragma once

#include <string>

namespace kerbolt::texts::frmMain {

// Numbered messages.
inline constexpr int kMsgNoPlates = 1;
inline constexpr int kMsgNoSpot = 2;
inline constexpr int kMsgCompleteDetails = 3;
inline constexpr int kMsgUploadFailed = 4;
inline constexpr int kMsgBuildMandate = 5;
inline constexpr int kMsgViewMandate = 6;
inline constexpr int kMsgNewVersion = 7;
inline constexpr int kMsgNoMandate = 8;
inline constexpr int kMsgMandateActive = 9;

// The message of that number (1 to 9) in a language 1 to 4; empty for any other.
std::string Message(int language, int number);

// Shown when a ticket's record could not be written to the data file: nothing is printed, so
// that no ticket goes out under a reference that the next one would take again.
std::string RecordNotSavedMessage(int language);

// Shown when a dialog's changes could not be written on this computer: the dialog stays open
// with what was typed, so that nothing is lost.
std::string DataNotSavedMessage(int language);

// The controls whose captions follow the language (the preview's three headings included).
enum class Caption {
    lblTitre,
    lblPlace,
    lblPlaque,
    Frame2,
    cmdInfos,
    cmdPlaces,
    cmdParam,
    cmdIndemn,
    lblPrint,
    cmdPrint,
    lblBV2,
    lblBV7,
    lblBV10,
};

// The caption of a control in a language 1 to 4; empty for any other.
std::string CaptionText(int language, Caption control);

} // namespace kerbolt::texts::frmMain
