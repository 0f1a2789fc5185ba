// Reading the server's version file and deciding whether a newer program is offered.
#pragma once

#include "app/platform/config.h"

#include <optional>
#include <string>

namespace kerbolt::web {

// The program's version as major, "." and minor-and-revision digits ("1.18").
std::string ProgramVersionText();

// The (at most) four characters after the first "Version" of a reply; nothing when the reply
// holds no "Version".
std::optional<std::string> ExtractServerVersion(const std::string& reply);

// A version text as a number, whatever the system's number format: read with "." as the decimal
// sign, then with every "," read as "."; nothing when neither reading is a finite number. Blanks
// around the number are allowed.
std::optional<double> ParseVersionNumber(const std::string& text);

// True when the program's version is a number strictly below the server's. An empty or
// unreadable version on either side offers nothing.
bool IsUpdateAvailable(const std::string& program_version, const std::string& server_version);

// The addresses of the version file and the installer of this build.
std::string VersionFileUrl(const ServerConfig& config);
std::string InstallerUrl(const ServerConfig& config);
// The installer's path on the product's server when none is configured: the Windows installer
// on Windows, the build for this system elsewhere.
std::string DefaultInstallerPath();

// The file name an address ends in (the part after its last "/").
std::string FileNameOfUrl(const std::string& url);

} // namespace kerbolt::web
