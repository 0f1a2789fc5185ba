#include "app/core/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace kerbolt::ini {

namespace {

struct FileText {
    bool exists = false;
    bool readable = true;
    std::vector<std::string> lines; // without their line ends
};

FileText Load(const std::string& path) {
    FileText text;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return text;
    text.exists = true;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        text.readable = false;
        return text;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text.lines.push_back(std::move(line));
        start = end + 1;
    }
    return text;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
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

// Lines [first, last) of the first section of that name; first == last == npos when missing.
struct SectionSpan {
    std::size_t header = std::string::npos;
    std::size_t end = std::string::npos;
};

SectionSpan FindSection(const std::vector<std::string>& lines, std::string_view section) {
    SectionSpan span;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = HeaderName(lines[i]);
        if (!name) continue;
        if (span.header != std::string::npos) {
            span.end = i;
            return span;
        }
        if (SameName(*name, section)) span.header = i;
    }
    if (span.header != std::string::npos) span.end = lines.size();
    return span;
}

} // namespace

std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    const FileText text = Load(path);
    const SectionSpan span = FindSection(text.lines, section);
    if (span.header == std::string::npos) return std::nullopt;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const auto parsed = ParseKeyLine(text.lines[i]);
        if (parsed && SameName(parsed->key, key)) return std::string(parsed->value);
    }
    return std::nullopt;
}

bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value) {
    FileText text = Load(path);
    if (!text.readable) return false;
    std::string line;
    line.append(key).append("=").append(value);

    const SectionSpan span = FindSection(text.lines, section);
    if (span.header == std::string::npos) {
        std::string header;
        header.append("[").append(section).append("]");
        text.lines.push_back(std::move(header));
        text.lines.push_back(std::move(line));
    } else {
        std::size_t insert_at = span.header + 1;
        bool replaced = false;
        for (std::size_t i = span.header + 1; i < span.end; ++i) {
            const auto parsed = ParseKeyLine(text.lines[i]);
            if (parsed && SameName(parsed->key, key)) {
                text.lines[i] = std::move(line);
                replaced = true;
                break;
            }
            // A new key follows the section's last non-blank line, before any blank lines
            // that separate it from the next section.
            if (!Trim(text.lines[i]).empty()) insert_at = i + 1;
        }
        if (!replaced) {
            text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
                              std::move(line));
        }
    }

    std::string bytes;
    for (const std::string& l : text.lines)
        bytes.append(l).append("\r\n");
    return WriteFileAtomically(path, bytes);
}

std::vector<std::string> SectionNames(const std::string& path) {
    std::vector<std::string> names;
    for (const std::string& line : Load(path).lines) {
        if (const auto name = HeaderName(line)) names.emplace_back(*name);
    }
    return names;
}

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

} // namespace kerbolt::ini
