// The picture files a fixture script of this folder makes (bmp_fixtures.py, png_fixtures.py,
// raster_fixtures.py for GIF, JPEG and TGA), made once per test suite, and the script's
// independent decoding. The readers' tests and the whole-document tests of every picture format
// share them. A script's malformed files are named "bad_...", the ones the library refuses by
// design "refused_...", and a file whose picture is known but which the independent decoder reads
// otherwise has that picture beside it as "<name>.intended.<extension>".
#pragma once

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace raster_test {

inline std::span<const std::uint8_t> AsBytes(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

template <const char* kScript> class FixtureFiles {
public:
    static std::string Script() {
        return testing_support::SourceDir() + "/tests/pdf/content/" + kScript;
    }
    static void Make() {
        folder_ = std::make_unique<testing_support::TempDir>();
        decoded_ = std::make_unique<testing_support::TempDir>();
        const auto made = testing_support::RunCommand("/usr/bin/python3 " + Script() + " make " +
                                                      folder_->Path().string());
        ASSERT_EQ(made.status, 0) << made.out;
    }
    static void Remove() {
        folder_.reset();
        decoded_.reset();
    }
    static std::string File(const std::string& name) { return folder_->File(name); }
    static std::string Bytes(const std::string& name) {
        return testing_support::ReadFileBytes(folder_->File(name));
    }
    // Every file the script made, in the folder's order.
    static std::vector<std::string> All() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_->Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    static std::vector<std::string> Prefixed(const std::string& prefix) {
        std::vector<std::string> names;
        for (const std::string& name : All())
            if (name.rfind(prefix, 0) == 0) names.push_back(name);
        return names;
    }
    // The files neither malformed nor refused, the intended pictures included.
    static std::vector<std::string> WellFormed() {
        std::vector<std::string> names;
        for (const std::string& name : All())
            if (name.rfind("bad_", 0) != 0 && name.rfind("refused_", 0) != 0) names.push_back(name);
        return names;
    }
    // The well-formed files with this extension (".gif"), or the malformed ones ("bad_"); never
    // an intended picture.
    static std::vector<std::string> Named(const std::string& extension, bool malformed = false) {
        std::vector<std::string> names;
        for (const std::string& name : All()) {
            if (std::filesystem::path(name).extension() != extension) continue;
            if (name.find(".intended.") != std::string::npos) continue;
            if ((name.rfind("bad_", 0) == 0) == malformed) names.push_back(name);
        }
        return names;
    }
    // The name of the picture a file is known to hold: its intended picture where it has one.
    static std::string Intended(const std::string& name) {
        const std::filesystem::path path(name);
        const std::string intended = path.stem().string() + ".intended" + path.extension().string();
        return std::filesystem::exists(folder_->File(intended)) ? intended : name;
    }
    // The independent decoding: "width height\n" and RGB bytes, top row first. It is written
    // beside the files, not among them, so that it never joins a listing.
    static std::string Decoded(const std::string& name, int frame = 1) {
        const std::string out = decoded_->File(name + ".rgb");
        const auto run = testing_support::RunCommand("/usr/bin/python3 " + Script() + " decode " +
                                                     folder_->File(name) + " " + out + " " +
                                                     std::to_string(frame));
        EXPECT_EQ(run.status, 0) << name;
        return testing_support::ReadFileBytes(out);
    }

private:
    static inline std::unique_ptr<testing_support::TempDir> folder_;
    static inline std::unique_ptr<testing_support::TempDir> decoded_;
};

// A suite of tests over one script's files, made before its first test and removed after its
// last.
template <const char* kScript>
class ScriptFixtures : public ::testing::Test, protected FixtureFiles<kScript> {
protected:
    static void SetUpTestSuite() { FixtureFiles<kScript>::Make(); }
    static void TearDownTestSuite() { FixtureFiles<kScript>::Remove(); }
};

inline constexpr char kBmpScript[] = "bmp_fixtures.py";
inline constexpr char kPngScript[] = "png_fixtures.py";
inline constexpr char kRasterScript[] = "raster_fixtures.py";

using BmpFiles = FixtureFiles<kBmpScript>;
using PngFiles = FixtureFiles<kPngScript>;
using RasterFiles = FixtureFiles<kRasterScript>;
using RasterFixtures = ScriptFixtures<kRasterScript>;

} // namespace raster_test
