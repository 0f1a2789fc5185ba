// Ports to the world outside the process. The windows and the core talk to these interfaces only;
// main.cpp builds the real adapters, tests hand in fakes.
#pragma once

#include <string>

namespace kerbolt {

// A local date and time.
struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual DateTime Now() = 0;
};

// Message boxes: every box carries the application's title.
enum class MessageIcon { None, Information, Exclamation, Critical };

class IPrompts {
public:
    virtual ~IPrompts() = default;
    // A box with an OK button.
    virtual void Show(const std::string& text, MessageIcon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const std::string& text, MessageIcon icon) = 0;
};

// Opening documents and pages with their default handler, and starting programs.
class IShell {
public:
    virtual ~IShell() = default;
    virtual bool OpenDocument(const std::string& path) = 0;
    virtual bool OpenUrl(const std::string& url) = 0;
    virtual bool StartProgram(const std::string& path, const std::string& arguments) = 0;
};

// Ending the process.
class IExit {
public:
    virtual ~IExit() = default;
    virtual void Exit(int code) = 0;
};

}  // namespace kerbolt
