#include "tests/support/temp_dir.h"

#include "tests/support/test_labels.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <gtest/gtest.h>

namespace testing_support {

#ifdef _WIN32
TempDir::TempDir() {
    // No mkdtemp here: a random name, and create_directory tells whether it was free.
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("kerbolt-test-" + std::to_string(random() % 1000000000000ULL));
        if (std::filesystem::create_directory(path)) {
            path_ = path;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}
#else
TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kerbolt-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}
#endif

namespace {

// With KERBOLT_KEEP_TEST_FILES set, every temporary folder is copied there before it goes, under
// the test's name and its rank among the test's folders, so that the files two builds write can
// be compared byte for byte.
void KeepCopy(const std::filesystem::path& path) {
    const char* keep = std::getenv("KERBOLT_KEEP_TEST_FILES");
    if (keep == nullptr || *keep == '\0') return;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = test == nullptr
                                 ? std::string("outside-tests")
                                 : std::string(test->test_suite_name()) + "." + test->name();
    // Never destroyed: a static TempDir of a test file goes at exit, after statics made later.
    static std::string& last_name = *new std::string;
    static int rank = 0;
    rank = name == last_name ? rank + 1 : 0;
    last_name = name;
    std::string folder = name;
    for (char& c : folder)
        if (c == '/') c = '_';
    std::error_code ignored;
    const auto target = std::filesystem::path(keep) / folder / std::to_string(rank);
    std::filesystem::create_directories(target, ignored);
    std::filesystem::copy(path, target, std::filesystem::copy_options::recursive, ignored);
}

} // namespace

TempDir::~TempDir() {
    KeepCopy(path_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    if (!OutsideProgramAllowed(command)) return result;
#ifdef _WIN32
    FILE* pipe = _popen(command.c_str(), "rb");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
#ifdef _WIN32
    result.status = _pclose(pipe);
#else
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return result;
}

std::string SourceDir() {
    return KERBOLT_SOURCE_DIR;
}
std::string TestDataDir() {
    return KERBOLT_TEST_DATA;
}

} // namespace testing_support
