// The client's ports as its benchmarks need them: a signed-in user's folders, a server that holds
// a copy of the data file (or none reachable) and message boxes nobody answers.
#pragma once

#include "app/core/store/app_state.h"
#include "app/core/store/records.h"
#include "app/platform/ports.h"
#include "tests/support/data_file_sample.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace bench_support {

class BenchPaths final : public kerbolt::IPaths {
public:
    explicit BenchPaths(std::string folder) : folder_(std::move(folder)) {}
    std::string DataFolder() override { return folder_ + "/data"; }
    std::string TempFolder() override { return folder_ + "/tmp"; }

private:
    std::string folder_;
};

// A server that holds a copy of the local data file, or none reachable.
class BenchFtp final : public kerbolt::IFtp {
public:
    kerbolt::FtpStatus Upload(const std::string&, const std::string&) override {
        return kerbolt::FtpStatus::Ok;
    }
    kerbolt::FtpStatus Download(const std::string& remote, const std::string& local) override {
        if (!reachable) return kerbolt::FtpStatus::Unreachable;
        if (remote.find("Mandats") != std::string::npos) return kerbolt::FtpStatus::NotFound;
        std::error_code ec;
        std::filesystem::copy_file(server_copy, local,
                                   std::filesystem::copy_options::overwrite_existing, ec);
        return ec ? kerbolt::FtpStatus::Failed : kerbolt::FtpStatus::Ok;
    }
    // One computer: the account's lock is always free.
    kerbolt::FtpStatus Lock(const std::string&) override { return kerbolt::FtpStatus::Ok; }
    kerbolt::FtpStatus Unlock(const std::string&) override { return kerbolt::FtpStatus::Ok; }
    bool reachable = true;
    std::string server_copy;
};

class SilentPrompts final : public kerbolt::IPrompts {
public:
    void Show(const std::string&, kerbolt::MessageIcon) override {}
    bool Ask(const std::string&, kerbolt::MessageIcon) override { return false; }
};

// A user signed in as "a@b.ch" with the folders of `paths` (emptied first), French as the
// language and a data file of `records` compensations. Returns the data file's path.
inline std::string SignedInAccount(BenchPaths& paths, const std::string& folder, int records) {
    namespace fs = std::filesystem;
    fs::remove_all(folder);
    fs::create_directories(paths.DataFolder());
    fs::create_directories(paths.TempFolder());
    const std::string ini = paths.DataFolder() + "/Param.ini";
    if (!kerbolt::store::SaveLanguage(ini, 1) || !kerbolt::store::SaveRememberedMail(ini, "a@b.ch"))
        std::abort();
    kerbolt::store::State probe;
    probe.DataFolder = paths.DataFolder();
    kerbolt::store::SetAccount(probe, "a@b.ch");
    if (!testing_support::WriteSampleDataFile(probe.DataFile, "a@b.ch", probe.AccountKey, records))
        std::abort();
    return probe.DataFile;
}

} // namespace bench_support
