// The bytes of a source document, from a file or from memory, read at any offset. Tests and
// fuzz targets hand the reader a buffer; GetInfo hands it a file, closed when the reader ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace pagora::detail {

class SourceBytes {
public:
    virtual ~SourceBytes() = default;
    virtual std::int64_t Size() const = 0;
    // Copies up to out.size() bytes from offset into out and returns how many were copied: fewer
    // at the end, 0 at or past the end and for a negative offset.
    virtual std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) = 0;

    // Up to count bytes from offset, as a byte string.
    std::string Text(std::int64_t offset, std::size_t count);
};

class MemorySourceBytes final : public SourceBytes {
public:
    explicit MemorySourceBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> bytes_;
};

class FileSourceBytes final : public SourceBytes {
public:
    // Opens the file read-only; raises error 53 when it does not exist and 75 when it cannot be
    // opened or measured.
    explicit FileSourceBytes(const std::string& path);
    std::int64_t Size() const override { return size_; }
    std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) override;

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::int64_t size_ = 0;
};

// What tells a file apart from the same name rewritten: its length and modification time.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modified_ns = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a file; false when the file does not exist (or cannot be examined).
bool StampFile(const std::string& path, FileStamp& stamp);

} // namespace pagora::detail
