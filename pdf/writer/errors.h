// Errors: the exception every failing operation raises, the run-time error numbers callers
// already test for, and their texts. A leaf: the readers, encoders and codecs include this and
// nothing of the document state, so they stay pure units over bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace pagora {

// A run-time error: the error number callers test for, the operation that raised it ("Pagora." and
// the operation's name) and a description.
class PdfError : public std::runtime_error {
public:
    PdfError(int number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)),
          description_(std::move(description)) {}
    int Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

private:
    int number_;
    std::string source_;
    std::string description_;
};

} // namespace pagora

namespace pagora::detail {

// The run-time error numbers the library reports, which callers already test for.
inline constexpr int kErrInvalidCall = 5;       // "Invalid procedure call or argument"
inline constexpr int kErrOverflow = 6;          // "Overflow"
inline constexpr int kErrOutOfMemory = 7;       // "Out of memory"
inline constexpr int kErrSubscript = 9;         // "Subscript out of range"
inline constexpr int kErrDivisionByZero = 11;   // "Division by zero"
inline constexpr int kErrTypeMismatch = 13;     // "Type mismatch"
inline constexpr int kErrBadFileNumber = 52;    // "Bad file name or number"
inline constexpr int kErrFileNotFound = 53;     // "File not found"
inline constexpr int kErrDeviceIo = 57;         // "Device I/O error"
inline constexpr int kErrDiskFull = 61;         // "Disk full"
inline constexpr int kErrPermissionDenied = 70; // "Permission denied"
inline constexpr int kErrPathFileAccess = 75;   // "Path/File access error"
inline constexpr int kErrPathNotFound = 76;     // "Path not found"

// Raised by the reader of source documents for a file it cannot read.
inline constexpr int kErrInvalidFileFormat = 321; // "Invalid file format"

// The description of an error number ("Application-defined or object-defined error" for
// numbers without one).
std::string ErrorText(int number);

// The error number of a file that could not be opened, read or created, from the system's
// error: `missing` (53 for a file to read, 76 for a file to create) when nothing is there, 76
// for a folder missing on its path, 70 without the right, 61 for a full disk, 57 for a device
// that failed, 75 for anything else (a folder in the file's place, say).
int FileErrorNumber(std::error_code error, int missing = kErrFileNotFound);

// Throws PdfError with the number, source "Pagora." + operation and the number's text
// (or the description given).
[[noreturn]] void RaiseError(int number, std::string_view operation, std::string description = {});

// The handler every public operation that raises its failures ends with (`catch (...)`): a
// PdfError goes on as it is, and an allocation that failed anywhere inside (std::bad_alloc, or a
// size beyond what a container can hold) goes on as error 7, so that callers meet one kind of
// failure. Anything else goes on unchanged.
[[noreturn]] void RethrowFailure(std::string_view operation);

} // namespace pagora::detail
