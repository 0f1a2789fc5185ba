// Fakes of the ports for the core's tests: recorded message boxes, fixed folders, a scripted FTP
// server kept in memory.
#pragma once

#include "app/platform/notifier.h"
#include "app/platform/ports.h"
#include "tests/support/temp_dir.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

using namespace kerbolt;

class RecordingPrompts : public IPrompts {
public:
    void Show(const std::string& text, MessageIcon icon) override {
        shown.push_back(text);
        icons.push_back(icon);
    }
    bool Ask(const std::string& text, MessageIcon icon) override {
        Show(text, icon);
        return answer;
    }
    std::vector<std::string> shown;
    std::vector<MessageIcon> icons;
    bool answer = true;
};

class FixedPaths : public IPaths {
public:
    FixedPaths(std::string data, std::string temp)
        : data_(std::move(data)), temp_(std::move(temp)) {}
    std::string DataFolder() override { return data_; }
    std::string TempFolder() override { return temp_; }

private:
    std::string data_, temp_;
};

// Remote files by path; a status other than Ok makes every transfer fail with it. As the real
// server does, it maps an absolute upload path ("/web/...") and the relative download path
// ("web/...") to one file.
class MemoryFtp : public IFtp {
public:
    FtpStatus Upload(const std::string& local_path, const std::string& remote_path) override {
        calls.push_back("STOR " + remote_path);
        if (status != FtpStatus::Ok) return status;
        files[remote_path] = testing_support::ReadFileBytes(local_path);
        if (!remote_path.empty() && remote_path.front() == '/')
            files[remote_path.substr(1)] = files[remote_path];
        return FtpStatus::Ok;
    }
    FtpStatus Download(const std::string& remote_path, const std::string& local_path) override {
        calls.push_back("RETR " + remote_path + " > " + local_path);
        testing_support::WriteFileBytes(local_path, "");
        if (status != FtpStatus::Ok) return status;
        const auto it = files.find(remote_path);
        if (it == files.end()) return FtpStatus::NotFound;
        testing_support::WriteFileBytes(local_path, it->second);
        return FtpStatus::Ok;
    }
    // A lock is a name held until given back; one held already refuses at once (a test runs one
    // computer at a time).
    FtpStatus Lock(const std::string& remote_folder) override {
        ++lock_calls;
        if (status != FtpStatus::Ok) return status;
        return locks.insert(remote_folder).second ? FtpStatus::Ok : FtpStatus::Failed;
    }
    FtpStatus Unlock(const std::string& remote_folder) override {
        return locks.erase(remote_folder) != 0 ? FtpStatus::Ok : FtpStatus::NotFound;
    }
    std::set<std::string> locks;
    int lock_calls = 0;
    std::map<std::string, std::string> files;
    std::vector<std::string> calls;
    FtpStatus status = FtpStatus::Ok;
};

// Keeps the references it is given instead of telling the server.
class RecordingNotifier final : public INotifier {
public:
    void NotifyServer(const std::string& reference) override { references.push_back(reference); }
    std::vector<std::string> references;
};

} // namespace testing_support
