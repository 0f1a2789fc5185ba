// The GIF, JPEG and TGA fixture files of raster_fixtures.py, made once per test suite, and their
// independent decoding.
#pragma once

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace raster_test {

inline std::string FixtureScript() {
    return testing_support::SourceDir() + "/tests/pdf/content/raster_fixtures.py";
}

inline std::span<const std::uint8_t> AsBytes(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// The files themselves, for suites that share them.
class RasterFiles {
public:
    static void Make() {
        folder_ = new testing_support::TempDir();
        const auto made = testing_support::RunCommand("/usr/bin/python3 " + FixtureScript() +
                                                      " make " + folder_->Path().string());
        ASSERT_EQ(made.status, 0);
    }
    static void Remove() {
        delete folder_;
        folder_ = nullptr;
    }
    static std::string File(const std::string& name) { return folder_->File(name); }
    static std::string Bytes(const std::string& name) {
        return testing_support::ReadFileBytes(folder_->File(name));
    }
    // The well-formed fixtures with this extension (".gif"), or the malformed ones ("bad_").
    static std::vector<std::string> Named(const std::string& extension, bool malformed = false) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_->Path())) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != extension) continue;
            if (name.find(".intended.") != std::string::npos) continue;
            if ((name.rfind("bad_", 0) == 0) == malformed) names.push_back(name);
        }
        return names;
    }
    // The independent decoding: "width height\n" and RGB bytes, top row first.
    static std::string Decoded(const std::string& name, int frame = 1) {
        const std::string out = folder_->File(name + ".rgb");
        const auto run = testing_support::RunCommand("/usr/bin/python3 " + FixtureScript() +
                                                     " decode " + folder_->File(name) + " " + out +
                                                     " " + std::to_string(frame));
        EXPECT_EQ(run.status, 0) << name;
        return testing_support::ReadFileBytes(out);
    }

private:
    static testing_support::TempDir* folder_;
};

inline testing_support::TempDir* RasterFiles::folder_ = nullptr;

class RasterFixtures : public ::testing::Test, protected RasterFiles {
protected:
    static void SetUpTestSuite() { Make(); }
    static void TearDownTestSuite() { Remove(); }
};

} // namespace raster_test
