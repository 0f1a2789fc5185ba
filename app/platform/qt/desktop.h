// The desktop adapters of the ports: message boxes, opening documents and pages, starting
// programs, ending the process.
#pragma once

#include "app/platform/ports.h"

#include <QUrl>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>

namespace kerbolt {

// Message boxes with the application's title, parented to whichever window is active.
class QtPrompts final : public IPrompts {
public:
    void Show(const std::string& text, MessageIcon icon) override;
    bool Ask(const std::string& text, MessageIcon icon) override;
};

// Documents and pages open with the desktop's default application. On Linux and other
// free desktops that is xdg-open, which may start, look for a viewer and find none: such a late
// failure comes through the failure report, after OpenDocument or OpenUrl returned true.
class QtShell final : public IShell {
public:
    // The target that did not open, and whether it is a document (else a page).
    using FailureReport = std::function<void(const std::string& target, bool document)>;
    void SetFailureReport(FailureReport report) { report_ = std::move(report); }

    bool OpenDocument(const std::string& path) override;
    bool OpenUrl(const std::string& url) override;
    bool StartProgram(const std::string& path, const std::string& arguments,
                      const std::string& working_folder = {}) override;

private:
    bool Open(const QUrl& url, const std::string& target, bool document);

    FailureReport report_;
};

// Ends the process at once, as closing the main window does.
class ProcessExit final : public IExit {
public:
    void Exit(int code) override;
};

// The title every message box carries.
inline constexpr const char* kApplicationTitle = "Kerbolt";

} // namespace kerbolt
