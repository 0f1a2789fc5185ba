#include "pdf/import/source_bytes.h"

#include "pdf/import/reader_errors.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace pagora::detail {

std::string SourceBytes::Text(std::int64_t offset, std::size_t count) {
    std::string text(count, '\0');
    const std::size_t got =
        ReadAt(offset, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    text.resize(got);
    return text;
}

std::size_t MemorySourceBytes::ReadAt(std::int64_t offset, std::span<std::uint8_t> out) {
    if (offset < 0 || offset >= Size()) return 0;
    const auto from = static_cast<std::size_t>(offset);
    const std::size_t count = std::min(out.size(), bytes_.size() - from);
    if (count > 0) std::memcpy(out.data(), bytes_.data() + from, count);
    return count;
}

FileSourceBytes::FileSourceBytes(const std::string& path) {
    FileStamp stamp;
    if (!StampFile(path, stamp)) RaiseError(kErrFileNotFound, "GetInfo");
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) RaiseError(kErrPathFileAccess, "GetInfo");
    if (std::fseek(file_.get(), 0, SEEK_END) != 0) RaiseError(kErrPathFileAccess, "GetInfo");
    const long end = std::ftell(file_.get());
    if (end < 0) RaiseError(kErrPathFileAccess, "GetInfo");
    size_ = end;
}

std::size_t FileSourceBytes::ReadAt(std::int64_t offset, std::span<std::uint8_t> out) {
    if (offset < 0 || offset >= size_ || out.empty()) return 0;
#ifdef _WIN32
    // long is 32 bits there: files past 2 GiB need the 64-bit seek.
    if (_fseeki64(file_.get(), static_cast<long long>(offset), SEEK_SET) != 0) return 0;
#else
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) return 0;
#endif
    const std::size_t wanted =
        std::min<std::size_t>(out.size(), static_cast<std::size_t>(size_ - offset));
    return std::fread(out.data(), 1, wanted, file_.get());
}

bool StampFile(const std::string& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp.size = static_cast<std::int64_t>(info.st_size);
#ifdef _WIN32
    // Windows keeps whole seconds here; with the size that still tells a changed file.
    stamp.modified_ns = static_cast<std::int64_t>(info.st_mtime) * 1000000000;
#else
    stamp.modified_ns = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                        static_cast<std::int64_t>(info.st_mtim.tv_nsec);
#endif
    return true;
}

} // namespace pagora::detail
