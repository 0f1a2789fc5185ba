// INI files read and written with the semantics of the desktop's own INI routines, on bytes:
// a missing file, section or key reads as absent; a new key goes to the end of its section and a
// new section to the end of the file; file order is kept. Names match without regard to ASCII
// case, the first matching section and key win, and names and values are trimmed of blanks and
// tabs around "=". Lines end in CR LF when written (LF alone is read too). Nothing is cut at any
// length. Every write replaces the file atomically: a temporary file next to it, then a rename.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kerbolt::store {

// A file's lines held in memory, with an index of its sections for quick look-ups.
class Document {
public:
    // The file's content; an empty document when the file is missing. `Readable()` is false when
    // the file exists but could not be read.
    static Document Load(const std::string& path);
    // A file's content given as bytes.
    static Document Parse(std::string_view bytes);
    // The same, keeping the bytes given as the document's own instead of copying them.
    static Document ParseOwned(std::string bytes);
    // The same, sharing the bytes given: copies of the document share them too.
    static Document ParseShared(std::shared_ptr<const std::string> bytes);
    // The bytes the document was parsed from while it still reads as exactly them (no key set,
    // no line dropped); else nothing.
    std::shared_ptr<const std::string> SourceBytes() const { return edited_ ? nullptr : base_; }

    bool Readable() const { return readable_; }
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::vector<std::string> SectionNames() const;

    // One key line of a section. `complete` is false for the file's last line when the file
    // does not end with a line end: a file cut short while it was being written or sent.
    struct Entry {
        std::string key;
        std::string value;
        bool complete = true;
    };
    // The keys of the first section of that name in file order, each key once (the first one
    // counts, as for `Value`).
    std::vector<Entry> Entries(std::string_view section) const;
    // The same keys as views into the document's lines, for readers of whole files that would
    // otherwise copy every key and value: valid while the document lives unchanged.
    struct EntryView {
        std::string_view key;
        std::string_view value;
        bool complete = true;
    };
    std::vector<EntryView> EntryViews(std::string_view section) const;
    // The sections in file order, for readers of whole files that would otherwise look up every
    // section by its name: the name of each (as a view, valid while the document lives unchanged)
    // and the keys `EntryViews` gives for that name, those of the first section of the name.
    std::size_t SectionCount() const { return sections_.size(); }
    std::string_view SectionNameAt(std::size_t section) const { return NameOf(sections_[section]); }
    // A hash of that name without regard to case (names that differ only in case share it),
    // kept since the file was read.
    std::size_t SectionHashAt(std::size_t section) const { return sections_[section].hash; }
    std::vector<EntryView> EntryViewsAt(std::size_t section) const {
        return EntryViewsOf(sections_[sections_[section].first]);
    }

    // Drops a last line cut short (see Entry::complete).
    void DropIncompleteLastLine();
    // True when the file's last line has no line end (see Entry::complete).
    bool EndsMidLine() const { return ends_mid_line_; }
    // Sets a key in place, or adds it to the end of its section, or adds the section.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // The file's bytes, every line ended by CR LF.
    std::string Serialize() const;
    // The size of those bytes, without making them.
    std::size_t SerializedSize() const;

private:
    // A line of the file without its line end: where its text stands in `base_`, or past the
    // end of `base_` in `added_`.
    struct Line {
        std::size_t offset = 0;
        std::size_t size = 0;
    };
    struct Section {
        std::size_t header = 0;     // line of "[name]"
        std::size_t end = 0;        // first line after the section
        std::size_t name_start = 0; // the trimmed name within the header line
        std::size_t name_size = 0;
        std::size_t first = 0; // the first section of the same name, without regard to case
        std::size_t hash = 0;  // of the name, without regard to case
    };
    std::string_view LineText(std::size_t line) const;
    std::string_view NameOf(const Section& section) const;
    std::size_t AppendLine(std::string_view text);
    void Compact();
    // Adds the line as a section's header when it is one, ending the section before it there.
    void NoteHeader(std::size_t line, std::string_view text);
    // Finds the sections in every line, then indexes them.
    void Index();
    // Ends the last section at the last line and makes the table of names anew.
    void IndexSections();
    void IndexName(std::size_t section);
    const Section* Find(std::string_view section) const;
    std::vector<EntryView> EntryViewsOf(const Section& section) const;

    bool readable_ = true;
    bool ends_mid_line_ = false;
    // The file's bytes as read, shared by the document's copies, and the text of every line set
    // since: reading a file costs one buffer and an index of its lines, not a string for each of
    // its hundreds of thousands of lines, and a copy to be edited copies only the index. A line
    // replaced leaves its old text behind until `Compact` drops it.
    std::shared_ptr<const std::string> base_;
    std::size_t base_size_ = 0;
    std::string added_;
    std::size_t dead_ = 0; // bytes no line refers to any more
    bool edited_ = false;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    // The first section of each name, without regard to case: an open-addressed table of section
    // numbers plus one (0 for a free slot) with their names' hashes, its size a power of two.
    struct Slot {
        std::size_t section = 0;
        std::size_t hash = 0;
    };
    std::vector<Slot> slots_;
    std::size_t named_ = 0; // sections in the table
};

// The value of a key, or nothing when the file, the section or the key is missing.
std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key);

// Sets keys of one section in order, creating the file (not its folder) and the section as
// needed, in one atomic replacement. False when the file could not be read or written; the file
// then stays as it was.
// `owner_only` is for the account's data file: it gets the mode 0600 (it holds a password), and a
// last line cut short is dropped as damage. Otherwise a file keeps its mode and a new one gets the
// usual mode. A symbolic link is followed: its target is replaced.
bool WriteValues(const std::string& path, std::string_view section,
                 const std::vector<std::pair<std::string, std::string>>& keys,
                 bool owner_only = false);

// Several sections at once, each with its keys in order, in one atomic replacement.
using SectionKeys = std::pair<std::string, std::vector<std::pair<std::string, std::string>>>;
bool WriteSections(const std::string& path, const std::vector<SectionKeys>& sections,
                   bool owner_only = false);
bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value);

// A file's whole content, read in one piece; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// The section names in file order (empty for a missing file).
std::vector<std::string> SectionNames(const std::string& path);

// Replaces a file's content atomically. False on any failure, which leaves no temporary file.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, bool owner_only = false);

// How many times file content was parsed in this process: lets tests and benchmarks see that an
// unchanged file is not parsed again.
std::uint64_t ParseCount();

// Removes the temporary files an interrupted atomic write of `path` may have left beside it.
void RemoveLeftoverTemporaries(const std::string& path);

} // namespace kerbolt::store
