// Reading the files callers name: the whole file, with the error number of what went wrong.
#include "pdf/writer/writer.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace pagora::detail {

void RefuseNulName(std::string_view name, std::string_view operation) {
    if (name.find('\0') != std::string_view::npos) RaiseError(kErrInvalidCall, operation);
}

int UnreadableFileNumber(const std::string& name) {
    if (name.empty()) return kErrFileNotFound;
    const std::filesystem::path path(name);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        // The folder the name points into is missing: the path is wrong, not just the file.
        const std::filesystem::path folder = path.parent_path();
        std::error_code folder_error;
        if (!folder.empty() && !std::filesystem::is_directory(folder, folder_error))
            return kErrPathNotFound;
        return kErrFileNotFound;
    }
    if (error) return FileErrorNumber(error);
    // Only a regular file has an end: a pipe would block the caller, a device such as /dev/zero
    // would be read until memory runs out, and a folder is no file at all.
    if (status.type() != std::filesystem::file_type::regular) return kErrPathFileAccess;
    return 0;
}

int WriteFailureNumber() {
#ifdef EDQUOT
    if (errno == EDQUOT) return kErrDiskFull;
#endif
    return errno == ENOSPC ? kErrDiskFull : kErrDeviceIo;
}

namespace {

template <typename Buffer>
Buffer ReadWholeFile(const std::string& name, std::uint64_t max_bytes, std::string_view operation) {
    // A name cut short by a NUL byte would name another file.
    if (name.find('\0') != std::string::npos) RaiseError(kErrBadFileNumber, operation);
    if (const int number = UnreadableFileNumber(name); number != 0) RaiseError(number, operation);

    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"),
                                                               &std::fclose);
    if (!file)
        RaiseError(FileErrorNumber(std::error_code(errno, std::generic_category())), operation);
    // Read to the end rather than to the size the folder states: files of the system's own
    // folders state none, and a file can change between the two.
    Buffer bytes;
    // Room for the size the folder states, when it states one: a buffer grown step by step holds
    // its old and its new block at once at every step, twice the file at the last.
    std::error_code error;
    const std::uintmax_t stated = std::filesystem::file_size(std::filesystem::path(name), error);
    if (!error && stated > 0 && stated <= max_bytes)
        bytes.reserve(static_cast<std::size_t>(stated));
    char buffer[65536];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got > max_bytes - bytes.size()) RaiseError(kErrOutOfMemory, operation);
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer) break;
    }
    if (std::ferror(file.get()) != 0) {
        const int number = errno == 0
                               ? kErrDeviceIo
                               : FileErrorNumber(std::error_code(errno, std::generic_category()));
        // A read that fails after the open is the device's failure, whatever it calls it.
        RaiseError(number == kErrPathFileAccess ? kErrDeviceIo : number, operation);
    }
    return bytes;
}

} // namespace

std::vector<std::uint8_t> ReadCallerFile(const std::string& name, std::uint64_t max_bytes,
                                         std::string_view operation) {
    return ReadWholeFile<std::vector<std::uint8_t>>(name, max_bytes, operation);
}

std::string ReadCallerFileAsString(const std::string& name, std::uint64_t max_bytes,
                                   std::string_view operation) {
    return ReadWholeFile<std::string>(name, max_bytes, operation);
}

} // namespace pagora::detail
