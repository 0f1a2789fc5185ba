#include "app/core/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kerbolt::ini {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

// The name of a section header line, or nothing when the line is no header.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return Trim(close == std::string_view::npos ? line : line.substr(0, close));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{Trim(trimmed.substr(0, eq)), Trim(trimmed.substr(eq + 1))};
}

} // namespace

Document Document::Load(const std::string& path) {
    Document doc;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return doc;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        doc.readable_ = false;
        return doc;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        doc.readable_ = false;
        return doc;
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        doc.lines_.push_back(std::move(line));
        start = end + 1;
    }
    doc.Index();
    return doc;
}

void Document::Index() {
    sections_.clear();
    first_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = HeaderName(lines_[i]);
        if (!name) continue;
        if (!sections_.empty()) sections_.back().end = i;
        sections_.push_back({std::string(*name), i, lines_.size()});
        first_.emplace(Lower(*name), sections_.size() - 1);
    }
}

const Document::Section* Document::Find(std::string_view section) const {
    const auto it = first_.find(Lower(Trim(section)));
    return it == first_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> Document::Value(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (s == nullptr) return std::nullopt;
    const std::string wanted = Lower(key);
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const auto parsed = ParseKeyLine(lines_[i]);
        if (parsed && Lower(parsed->key) == wanted) return std::string(parsed->value);
    }
    return std::nullopt;
}

std::vector<std::string> Document::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_)
        names.emplace_back(s.name);
    return names;
}

void Document::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line;
    line.append(key).append("=").append(value);
    const Section* s = Find(section);
    if (s == nullptr) {
        std::string header;
        header.append("[").append(section).append("]");
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(line));
        Index();
        return;
    }
    const std::string wanted = Lower(key);
    std::size_t insert_at = s->header + 1;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const auto parsed = ParseKeyLine(lines_[i]);
        if (parsed && Lower(parsed->key) == wanted) {
            lines_[i] = std::move(line);
            Index();
            return;
        }
        // A new key follows the section's last non-blank line, before any blank lines that
        // separate it from the next section.
        if (!Trim(lines_[i]).empty()) insert_at = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), std::move(line));
    Index();
}

std::string Document::Serialize() const {
    std::string bytes;
    for (const std::string& l : lines_)
        bytes.append(l).append("\r\n");
    return bytes;
}

std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    return Document::Load(path).Value(section, key);
}

bool WriteValues(const std::string& path, std::string_view section,
                 const std::vector<std::pair<std::string, std::string>>& keys) {
    Document doc = Document::Load(path);
    if (!doc.Readable()) return false;
    for (const auto& [key, value] : keys)
        doc.Set(section, key, value);
    return WriteFileAtomically(path, doc.Serialize());
}

bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value) {
    return WriteValues(path, section, {{std::string(key), std::string(value)}});
}

std::vector<std::string> SectionNames(const std::string& path) {
    return Document::Load(path).SectionNames();
}

#ifdef _WIN32
bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    // The ANSI entry points take the path in the user's code page, as every path here is.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string temp = path + ".XXXXXX";
        if (_mktemp_s(temp.data(), temp.size() + 1) != 0) return false;
        // CREATE_NEW: a name taken since _mktemp_s looked is tried again, never overwritten.
        const HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return false;
        }
        bool ok = true;
        std::size_t done = 0;
        while (ok && done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            DWORD written = 0;
            ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
            done += written;
        }
        // The new content must be on the disk before the move makes it the file.
        if (ok && !FlushFileBuffers(file)) ok = false;
        if (!CloseHandle(file)) ok = false;
        if (ok) {
            ok = MoveFileExA(temp.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        }
        if (!ok) DeleteFileA(temp.c_str());
        return ok;
    }
    return false;
}
#else
bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    // The new content must be on the disk before the rename makes it the file.
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    // mkstemp creates the file for its owner only; a settings file gets the usual mode.
    if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::chmod(temp.c_str(), 0666 & ~mask) == 0;
    }
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}
#endif

} // namespace kerbolt::ini
