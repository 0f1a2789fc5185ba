#include "app/core/store/ini_file.h"

#include "app/core/store/file_cache.h"
#include "app/platform/large_pages.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_set>
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

namespace kerbolt::store {

namespace {

// How many names ahead a table's slot is fetched while the table is filled.
constexpr std::size_t kFetchAhead = 16;

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

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

// A hash of a name that ignores ASCII case, as names are matched (FNV-1a).
std::size_t HashIgnoringCase(std::string_view s) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
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

// Replaces a file's content atomically (defined with the platform's calls below).
bool ReplaceContent(const std::string& path, std::string_view bytes, bool owner_only);

std::atomic<std::uint64_t> parse_count{0};

void CountParse() {
    parse_count.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

std::uint64_t ParseCount() {
    return parse_count.load(std::memory_order_relaxed);
}

Document Document::Load(const std::string& path) {
    Document doc;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return doc;
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        doc.readable_ = false;
        return doc;
    }
    return ParseOwned(std::move(*bytes));
}

Document Document::Parse(std::string_view bytes) {
    return ParseOwned(std::string(bytes));
}

Document Document::ParseOwned(std::string bytes) {
    return ParseShared(std::make_shared<const std::string>(std::move(bytes)));
}

Document Document::ParseShared(std::shared_ptr<const std::string> bytes) {
    CountParse();
    Document doc;
    doc.base_ = std::move(bytes);
    doc.base_size_ = doc.base_->size();
    const std::string_view text = *doc.base_;
    // One line for every line end, and one more for text after the last.
    doc.lines_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    AdviseLargePages(doc.lines_.data(), doc.lines_.capacity() * sizeof(Line));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t size = end - start;
        if (size > 0 && text[end - 1] == '\r') --size;
        doc.lines_.push_back({start, size});
        // The headers are found while the line is at hand: a later pass over a file larger than
        // the cache would read it from memory again.
        doc.NoteHeader(doc.lines_.size() - 1, text.substr(start, size));
        start = end + 1;
    }
    doc.ends_mid_line_ = !text.empty() && text.back() != '\n';
    doc.IndexSections();
    return doc;
}

std::string_view Document::LineText(std::size_t line) const {
    const Line& l = lines_[line];
    return l.offset < base_size_
               ? std::string_view(base_->data() + l.offset, l.size)
               : std::string_view(added_.data() + (l.offset - base_size_), l.size);
}

std::string_view Document::NameOf(const Section& section) const {
    return LineText(section.header).substr(section.name_start, section.name_size);
}

std::size_t Document::AppendLine(std::string_view text) {
    const std::size_t offset = base_size_ + added_.size();
    added_.append(text);
    return offset;
}

void Document::Compact() {
    std::string text;
    text.reserve(base_size_ + added_.size() - dead_);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::size_t offset = text.size();
        text.append(LineText(i));
        lines_[i].offset = offset;
    }
    base_.reset();
    base_size_ = 0;
    added_ = std::move(text);
    dead_ = 0;
}

void Document::NoteHeader(std::size_t line, std::string_view text) {
    const auto name = HeaderName(text);
    if (!name) return;
    if (!sections_.empty()) sections_.back().end = line;
    Section section;
    section.header = line;
    section.end = line + 1;
    section.name_start = static_cast<std::size_t>(name->data() - text.data());
    section.name_size = name->size();
    section.hash = HashIgnoringCase(*name);
    sections_.push_back(section);
}

void Document::Index() {
    sections_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i)
        NoteHeader(i, LineText(i));
    IndexSections();
}

void Document::IndexSections() {
    if (!sections_.empty()) sections_.back().end = lines_.size();
    std::size_t slots = 16;
    while (slots < sections_.size() * 2)
        slots *= 2;
    slots_.assign(slots, Slot{});
    named_ = 0;
    // Each name's slot is fetched a few names before it is filled, so that a table larger than
    // the cache does not make every name wait for memory.
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i + kFetchAhead < sections_.size())
            __builtin_prefetch(&slots_[sections_[i + kFetchAhead].hash & mask]);
        IndexName(i);
    }
}

void Document::IndexName(std::size_t section) {
    if ((named_ + 1) * 2 > slots_.size()) {
        // The table grows before it is half full: probes stay short.
        std::vector<Slot> old(std::max<std::size_t>(slots_.size() * 2, 16));
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.section == 0) continue;
            std::size_t at = slot.hash & mask;
            while (slots_[at].section != 0)
                at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }
    const std::string_view name = NameOf(sections_[section]);
    const std::size_t hash = sections_[section].hash;
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].section != 0) {
        // The first section of a name is the one found; a later one of the same name is not
        // indexed.
        const std::size_t other = slots_[at].section - 1;
        if (slots_[at].hash == hash && SameIgnoringCase(NameOf(sections_[other]), name)) {
            sections_[section].first = other;
            return;
        }
        at = (at + 1) & mask;
    }
    sections_[section].first = section;
    slots_[at] = {section + 1, hash};
    ++named_;
}

const Document::Section* Document::Find(std::string_view section) const {
    if (slots_.empty()) return nullptr;
    const std::string_view name = Trim(section);
    const std::size_t hash = HashIgnoringCase(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask; slots_[at].section != 0; at = (at + 1) & mask) {
        const Section& s = sections_[slots_[at].section - 1];
        if (slots_[at].hash == hash && SameIgnoringCase(NameOf(s), name)) return &s;
    }
    return nullptr;
}

std::optional<std::string> Document::Value(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (s == nullptr) return std::nullopt;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const auto parsed = ParseKeyLine(LineText(i));
        if (parsed && SameIgnoringCase(parsed->key, key)) return std::string(parsed->value);
    }
    return std::nullopt;
}

std::vector<Document::Entry> Document::Entries(std::string_view section) const {
    std::vector<Entry> entries;
    for (const EntryView& view : EntryViews(section))
        entries.push_back({std::string(view.key), std::string(view.value), view.complete});
    return entries;
}

std::vector<Document::EntryView> Document::EntryViews(std::string_view section) const {
    const Section* s = Find(section);
    return s == nullptr ? std::vector<EntryView>() : EntryViewsOf(*s);
}

std::vector<Document::EntryView> Document::EntryViewsOf(const Section& section) const {
    const Section* s = &section;
    std::vector<EntryView> entries;
    // A section holds a handful of keys: they are compared in place, and only a section of many
    // keys (a damaged file) indexes them.
    constexpr std::size_t kComparedInPlace = 16;
    std::unordered_set<std::string> seen;
    const auto first_of_its_name = [&](std::string_view key) {
        if (entries.size() < kComparedInPlace) {
            return std::none_of(entries.begin(), entries.end(),
                                [&](const EntryView& e) { return SameIgnoringCase(e.key, key); });
        }
        if (seen.empty()) {
            for (const EntryView& e : entries)
                seen.insert(Lower(e.key));
        }
        return seen.insert(Lower(key)).second;
    };
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const auto parsed = ParseKeyLine(LineText(i));
        if (!parsed || !first_of_its_name(parsed->key)) continue;
        const bool complete = !(ends_mid_line_ && i + 1 == lines_.size());
        entries.push_back({parsed->key, parsed->value, complete});
    }
    return entries;
}

void Document::DropIncompleteLastLine() {
    if (!ends_mid_line_) return;
    dead_ += lines_.back().size;
    edited_ = true;
    lines_.pop_back();
    ends_mid_line_ = false;
    Index();
}

std::vector<std::string> Document::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_)
        names.emplace_back(NameOf(s));
    return names;
}

void Document::Set(std::string_view section, std::string_view key, std::string_view value) {
    // The line is made whole before it joins the buffer: the names given may be views of this
    // very document, which growing the buffer would move.
    std::string line;
    line.append(key).append("=").append(value);
    edited_ = true;
    const Section* s = Find(section);
    if (s == nullptr) {
        std::string header;
        header.append("[").append(section).append("]");
        const std::string_view name = Trim(section);
        const std::size_t name_start = 1 + static_cast<std::size_t>(name.data() - section.data());
        if (!sections_.empty()) sections_.back().end = lines_.size();
        Section added;
        added.header = lines_.size();
        added.end = lines_.size() + 2;
        added.name_start = name_start;
        added.name_size = name.size();
        added.hash = HashIgnoringCase(name);
        sections_.push_back(added);
        lines_.push_back({AppendLine(header), header.size()});
        lines_.push_back({AppendLine(line), line.size()});
        IndexName(sections_.size() - 1);
        return;
    }
    std::size_t insert_at = s->header + 1;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const std::string_view text = LineText(i);
        const auto parsed = ParseKeyLine(text);
        if (parsed && SameIgnoringCase(parsed->key, key)) {
            dead_ += lines_[i].size;
            lines_[i] = {AppendLine(line), line.size()};
            // Lines replaced over and over would keep their old text for as long as the
            // document lives: once most of the buffer is such text, it is dropped.
            if (dead_ > (base_size_ + added_.size()) / 2) Compact();
            return;
        }
        // A new key follows the section's last non-blank line, before any blank lines that
        // separate it from the next section.
        if (!Trim(text).empty()) insert_at = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                  Line{AppendLine(line), line.size()});
    // One line more: the sections from here on move down by one. Shifting them keeps a save of
    // thousands of keys from re-reading the whole file for every key. Sections are held in file
    // order, so none before this one moves: a key added to the last section shifts nothing else.
    for (auto other = sections_.begin() + (s - sections_.data()); other != sections_.end();
         ++other) {
        if (other->header >= insert_at) ++other->header;
        if (other->end >= insert_at) ++other->end;
    }
}

std::size_t Document::SerializedSize() const {
    std::size_t size = 0;
    for (const Line& l : lines_)
        size += l.size + 2;
    return size;
}

std::string Document::Serialize() const {
    std::string bytes;
    bytes.reserve(SerializedSize());
    for (std::size_t i = 0; i < lines_.size(); ++i)
        bytes.append(LineText(i)).append("\r\n");
    return bytes;
}

std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    return LoadShared(path)->Value(section, key);
}

bool WriteValues(const std::string& path, std::string_view section,
                 const std::vector<std::pair<std::string, std::string>>& keys, bool owner_only) {
    return WriteSections(path, {{std::string(section), keys}}, owner_only);
}

bool WriteSections(const std::string& path, const std::vector<SectionKeys>& sections,
                   bool owner_only) {
    // A copy of the file as last read: copying costs a fraction of parsing it again.
    Document doc = *LoadShared(path);
    if (!doc.Readable()) return false;
    // The program ends every line of the data file it writes: there a last line cut short (a
    // crash or a broken transfer) is damage. Written back with a line end it would pass for a
    // whole value and outvote the intact copy at the next merge. A settings file edited by hand
    // may well end without a line end, and keeps its last line.
    if (owner_only) doc.DropIncompleteLastLine();
    for (const auto& [section, keys] : sections) {
        for (const auto& [key, value] : keys)
            doc.Set(section, key, value);
    }
    std::string bytes = doc.Serialize();
    if (!ReplaceContent(path, bytes, owner_only)) {
        ForgetShared(path);
        return false;
    }
    // What was just written is the file's content: the next reader need not parse it again.
    RememberWritten(path, std::make_shared<const Document>(std::move(doc)), std::move(bytes));
    return true;
}

bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value) {
    return WriteValues(path, section, {{std::string(key), std::string(value)}});
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    // Read in one piece at the size the file has now, then whatever it grew by since: reading
    // character by character costs more than parsing the content.
    std::string bytes;
    const std::streamoff size = in.tellg();
    in.seekg(0);
    if (size > 0) {
        bytes.reserve(static_cast<std::size_t>(size));
        AdviseLargePages(bytes.data(), static_cast<std::size_t>(size));
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), size);
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    char chunk[65536];
    while (in && !in.eof()) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::vector<std::string> SectionNames(const std::string& path) {
    return LoadShared(path)->SectionNames();
}

namespace {

constexpr std::string_view kTempSuffix = ".~tmp";

// The file a write replaces: the target of a symbolic link (a link the user made to keep the
// file elsewhere stays a link), else the path itself.
std::string ResolvedTarget(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const auto target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target.string();
}

} // namespace

void RemoveLeftoverTemporaries(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path target(ResolvedTarget(path));
    const std::string prefix = target.filename().string() + std::string(kTempSuffix);
    std::error_code ec;
    fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(),
                              ec);
    if (ec) return;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        // The temporary name is the file's name, the marker and six random characters.
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            fs::remove(entry.path(), ec);
    }
}

namespace {

#ifdef _WIN32
bool ReplaceContent(const std::string& requested, std::string_view bytes, bool /*owner_only*/) {
    // Windows keeps a new file private to its user through the profile folder's own rights.
    const std::string path = ResolvedTarget(requested);
    // The ANSI entry points take the path in the user's code page, as every path here is.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string temp = path + std::string(kTempSuffix) + "XXXXXX";
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
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
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
bool ReplaceContent(const std::string& requested, std::string_view bytes, bool owner_only) {
    const std::string path = ResolvedTarget(requested);
    std::string temp = path + std::string(kTempSuffix) + "XXXXXX";
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
    // mkstemp creates the file for its owner only. A file holding a password stays so; any other
    // file keeps the mode it had, and a new one gets the usual mode.
    if (ok && !owner_only) {
        struct stat old {};
        mode_t mode = 0;
        if (::stat(path.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ok = ::chmod(temp.c_str(), mode) == 0;
    }
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}
#endif

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, bool owner_only) {
    const bool written = ReplaceContent(path, bytes, owner_only);
    // Even a failed write may have replaced the file.
    ForgetShared(path);
    return written;
}

} // namespace kerbolt::store
