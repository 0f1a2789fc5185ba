// A temporary folder that a test owns and removes.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Reads a whole file as bytes ("" when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Runs a shell command; returns its exit status and what it printed on standard output.
struct CommandResult {
    int status = -1;
    std::string out;
};
CommandResult RunCommand(const std::string& command);
// A word for the POSIX shell: text in single quotes, each single quote of it escaped.
std::string ShellQuoted(const std::string& text);

// Where the tests find the project's files.
std::string SourceDir();
std::string TestDataDir();

} // namespace testing_support
