// The real folders: the per-user data folder and the system's temporary folder.
#pragma once

#include "app/platform/ports.h"

#include <string>

namespace kerbolt {

class SystemPaths : public IPaths {
public:
    // Windows: "USERPROFILE" followed by "\AppData\Local\Kerbolt". Elsewhere
    // "$XDG_DATA_HOME/Kerbolt", by default "~/.local/share/Kerbolt".
    std::string DataFolder() override;
    // TEMP on Windows, TMPDIR elsewhere, else the system's default.
    std::string TempFolder() override;
};

} // namespace kerbolt
