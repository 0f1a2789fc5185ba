// Fakes of the ports that the web services and the dialogs reach: a fixed clock, a shell and an
// exit that only record what they were asked.
#pragma once

#include "app/platform/ports.h"

#include <string>
#include <vector>

namespace testing_support {

using namespace kerbolt;

// 3 February 2025 unless a test sets another moment.
class FixedClock : public IClock {
public:
    DateTime Now() override { return now; }
    DateTime now{2025, 2, 3, 9, 5, 0};
};

class RecordingShell : public IShell {
public:
    bool OpenDocument(const std::string& path) override {
        calls.push_back("document " + path);
        return opens;
    }
    bool OpenUrl(const std::string& url) override {
        calls.push_back("url " + url);
        return opens;
    }
    bool StartProgram(const std::string& path, const std::string& arguments,
                      const std::string& working_folder) override {
        calls.push_back("start " + path + " " + arguments + " in " + working_folder);
        return true;
    }
    std::vector<std::string> calls;
    // False: the desktop has nothing that opens documents or pages.
    bool opens = true;
};

class RecordingExit : public IExit {
public:
    void Exit(int code) override { codes.push_back(code); }
    std::vector<int> codes;
};

} // namespace testing_support
