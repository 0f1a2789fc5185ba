// The desktop adapters of the ports: message boxes, opening documents and pages, starting
// programs, ending the process.
#pragma once

#include "app/platform/ports.h"

#include <QWidget>

#include <string>

namespace kerbolt {

// Message boxes with the application's title, parented to whichever window is active.
class QtPrompts final : public IPrompts {
public:
    void Show(const std::string& text, MessageIcon icon) override;
    bool Ask(const std::string& text, MessageIcon icon) override;
};

class QtShell final : public IShell {
public:
    bool OpenDocument(const std::string& path) override;
    bool OpenUrl(const std::string& url) override;
    bool StartProgram(const std::string& path, const std::string& arguments,
                      const std::string& working_folder = {}) override;
};

// Ends the process at once, as closing the main window does.
class ProcessExit final : public IExit {
public:
    void Exit(int code) override;
};

// The title every message box carries.
inline constexpr const char* kApplicationTitle = "Kerbolt";

} // namespace kerbolt
