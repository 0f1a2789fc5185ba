// Errors: the numbers and their texts, raising, recording, and the version a feature needs.
#include "pdf/writer/errors.h"

#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace pagora::detail {

std::string ErrorText(int number) {
    switch (number) {
    case kErrInvalidCall:
        return "Invalid procedure call or argument";
    case kErrOverflow:
        return "Overflow";
    case kErrOutOfMemory:
        return "Out of memory";
    case kErrSubscript:
        return "Subscript out of range";
    case kErrDivisionByZero:
        return "Division by zero";
    case kErrTypeMismatch:
        return "Type mismatch";
    case kErrBadFileNumber:
        return "Bad file name or number";
    case kErrFileNotFound:
        return "File not found";
    case kErrDeviceIo:
        return "Device I/O error";
    case kErrDiskFull:
        return "Disk full";
    case kErrPermissionDenied:
        return "Permission denied";
    case kErrPathFileAccess:
        return "Path/File access error";
    case kErrPathNotFound:
        return "Path not found";
    case kErrInvalidFileFormat:
        return "Invalid file format";
    default:
        return "Application-defined or object-defined error";
    }
}

int FileErrorNumber(std::error_code error, int missing) {
    const std::error_condition condition = error.default_error_condition();
    if (condition == std::errc::no_such_file_or_directory) return missing;
    if (condition == std::errc::not_a_directory) return kErrPathNotFound;
    if (condition == std::errc::permission_denied ||
        condition == std::errc::operation_not_permitted)
        return kErrPermissionDenied;
    if (condition == std::errc::no_space_on_device) return kErrDiskFull;
    if (condition == std::errc::io_error) return kErrDeviceIo;
    return kErrPathFileAccess;
}

void RaiseError(int number, std::string_view operation, std::string description) {
    if (description.empty()) description = ErrorText(number);
    throw PdfError(number, "Pagora." + std::string(operation), std::move(description));
}

void RethrowFailure(std::string_view operation) {
    try {
        throw;
    } catch (const PdfError&) {
        throw;
    } catch (const std::bad_alloc&) {
        RaiseError(kErrOutOfMemory, operation);
    } catch (const std::length_error&) {
        RaiseError(kErrOutOfMemory, operation);
    }
}

void RecordFailure(WriterState& s, std::string_view proc_name, std::string_view extra) {
    try {
        throw;
    } catch (const PdfError& error) {
        RecordError(s, error, proc_name, extra);
    } catch (const std::bad_alloc&) {
        RecordError(s, PdfError(kErrOutOfMemory, "", ErrorText(kErrOutOfMemory)), proc_name, extra);
    } catch (const std::length_error&) {
        RecordError(s, PdfError(kErrOutOfMemory, "", ErrorText(kErrOutOfMemory)), proc_name, extra);
    }
}

void RecordError(WriterState& s, const PdfError& error, std::string_view proc_name,
                 std::string_view extra) {
    s.last_error_number = error.Number();
    s.kept.last_error_source = "Pagora." + std::string(proc_name);
    s.kept.last_error_description = error.Description();
    if (!extra.empty()) s.kept.last_error_description += " - " + std::string(extra);
}

void RequireVersion(WriterState& s, int level) {
    s.version_level = std::max(s.version_level, level);
}

} // namespace pagora::detail

namespace pagora {

int Pagora::ErrNumber() const {
    return m_->writer.last_error_number;
}
std::string Pagora::ErrSource() const try {
    return m_->writer.kept.last_error_source;
} catch (...) {
    detail::RethrowFailure("ErrSource");
}
std::string Pagora::ErrDescription() const try {
    return m_->writer.kept.last_error_description;
} catch (...) {
    detail::RethrowFailure("ErrDescription");
}

} // namespace pagora
