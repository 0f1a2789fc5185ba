#include "app/core/store/ini_file.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kerbolt::store {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(IniFile, ReadsFilesWrittenByOtherHands) {
    TempDir dir;
    const std::string path = dir.File("a.ini");
    WriteFileBytes(path, "stray=before any section\n"
                         "[Alpha]\n"
                         "  key = spaced value \t\n"
                         "; comment=not a key\n"
                         "no equals sign\n"
                         "empty=\n"
                         "dup=first\n"
                         "dup=second\n"
                         "[ Beta ]\r\n"
                         "k=x=y\r\n"
                         "[alpha]\n"
                         "other=in the second alpha\n"
                         "[Gamma");
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"Alpha", "key", "spaced value"},
        {"ALPHA", "KEY", "spaced value"}, // names match without regard to case
        {"Alpha", "empty", ""},
        {"Alpha", "dup", "first"}, // the first key wins
        {"Alpha", "; comment", std::nullopt},
        {"Alpha", "stray", std::nullopt},
        {"Alpha", "other", std::nullopt}, // only the first section of a name is searched
        {"Beta", "k", "x=y"},             // the value runs from the first "="
        {"Beta", "missing", std::nullopt},
        {"Delta", "k", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadValue(path, c.section, c.key), c.value) << c.section << "/" << c.key;
    }
    EXPECT_EQ(SectionNames(path), (std::vector<std::string>{"Alpha", "Beta", "alpha", "Gamma"}));
    EXPECT_EQ(ReadValue(dir.File("missing.ini"), "Alpha", "key"), std::nullopt);
    EXPECT_TRUE(SectionNames(dir.File("missing.ini")).empty());
}

TEST(IniFile, WritesKeepFileOrderAndEndLinesWithCrLf) {
    TempDir dir;
    const std::string path = dir.File("w.ini");
    ASSERT_TRUE(WriteValue(path, "S1", "a", "1"));
    ASSERT_TRUE(WriteValue(path, "S2", "b", "2"));
    ASSERT_TRUE(WriteValue(path, "S1", "c", "3"));   // new key at the end of its section
    ASSERT_TRUE(WriteValue(path, "s1", "A", "one")); // existing key replaced in place
    ASSERT_TRUE(WriteValue(path, "S3", "d", ""));    // new section at the end
    EXPECT_EQ(ReadFileBytes(path), "[S1]\r\nA=one\r\nc=3\r\n[S2]\r\nb=2\r\n[S3]\r\nd=\r\n");
}

TEST(IniFile, NewKeyGoesBeforeTheBlankLinesOfItsSection) {
    TempDir dir;
    const std::string path = dir.File("b.ini");
    WriteFileBytes(path, "[S1]\na=1\n\n[S2]\nb=2");
    ASSERT_TRUE(WriteValue(path, "S1", "c", "3"));
    EXPECT_EQ(ReadFileBytes(path), "[S1]\r\na=1\r\nc=3\r\n\r\n[S2]\r\nb=2\r\n");
}

TEST(IniFile, FailedWriteLeavesNothingBehind) {
    TempDir dir;
    EXPECT_FALSE(WriteValue(dir.File("no/such/folder/x.ini"), "S", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no")));

    const std::string path = dir.File("kept.ini");
    ASSERT_TRUE(WriteValue(path, "S", "k", "v"));
#ifdef _WIN32
    // A folder has no write bit here; what stops a write is another program holding the file
    // open without sharing it (an editor, a backup): then nothing may be written over it.
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteValue(path, "S", "k", "changed"));
    CloseHandle(held);
    EXPECT_EQ(ReadValue(path, "S", "k"), "v");
#else
    if (geteuid() != 0) { // the superuser may write into a read-only folder
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        EXPECT_FALSE(WriteValue(path, "S", "k", "changed"));
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadValue(path, "S", "k"), "v");
    }
#endif
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        entries.push_back(e.path().filename().string());
    }
    EXPECT_EQ(entries, std::vector<std::string>{"kept.ini"});
}

// The rules of a document, written out plainly over one string per line: the document, which
// keeps a file in one buffer with edits beside it, must read and write exactly as this does.
class PlainDocument {
public:
    explicit PlainDocument(std::string_view bytes) {
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string_view::npos) end = bytes.size();
            std::string_view line = bytes.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines_.emplace_back(line);
            start = end + 1;
        }
        ends_mid_line_ = !bytes.empty() && bytes.back() != '\n';
    }

    std::optional<std::string> Value(std::string_view section, std::string_view key) const {
        const auto range = Find(section);
        if (!range) return std::nullopt;
        for (std::size_t i = range->first + 1; i < range->second; ++i) {
            const auto parsed = KeyLine(lines_[i]);
            if (parsed && Same(parsed->first, key)) return std::string(parsed->second);
        }
        return std::nullopt;
    }

    std::vector<std::tuple<std::string, std::string, bool>>
    Entries(std::string_view section) const {
        std::vector<std::tuple<std::string, std::string, bool>> entries;
        const auto range = Find(section);
        if (!range) return entries;
        for (std::size_t i = range->first + 1; i < range->second; ++i) {
            const auto parsed = KeyLine(lines_[i]);
            if (!parsed) continue;
            const bool seen = std::any_of(entries.begin(), entries.end(), [&](const auto& e) {
                return Same(std::get<0>(e), parsed->first);
            });
            if (!seen)
                entries.emplace_back(parsed->first, parsed->second,
                                     !(ends_mid_line_ && i + 1 == lines_.size()));
        }
        return entries;
    }

    std::vector<std::string> SectionNames() const {
        std::vector<std::string> names;
        for (const std::string& line : lines_) {
            if (const auto name = Header(line)) names.emplace_back(*name);
        }
        return names;
    }

    void Set(std::string_view section, std::string_view key, std::string_view value) {
        const std::string line = std::string(key) + "=" + std::string(value);
        const auto range = Find(section);
        if (!range) {
            lines_.push_back("[" + std::string(section) + "]");
            lines_.push_back(line);
            return;
        }
        std::size_t insert_at = range->first + 1;
        for (std::size_t i = range->first + 1; i < range->second; ++i) {
            const auto parsed = KeyLine(lines_[i]);
            if (parsed && Same(parsed->first, key)) {
                lines_[i] = line;
                return;
            }
            if (!Trim(lines_[i]).empty()) insert_at = i + 1;
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), line);
    }

    void DropIncompleteLastLine() {
        if (!ends_mid_line_) return;
        lines_.pop_back();
        ends_mid_line_ = false;
    }

    std::string Serialize() const {
        std::string bytes;
        for (const std::string& line : lines_)
            bytes += line + "\r\n";
        return bytes;
    }

private:
    static std::string_view Trim(std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.remove_suffix(1);
        return s;
    }
    static bool Same(std::string_view a, std::string_view b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [&](char x, char y) { return lower(x) == lower(y); });
    }
    static std::optional<std::string_view> Header(std::string_view line) {
        line = Trim(line);
        if (line.empty() || line.front() != '[') return std::nullopt;
        line.remove_prefix(1);
        return Trim(line.substr(0, line.find(']')));
    }
    static std::optional<std::pair<std::string_view, std::string_view>>
    KeyLine(std::string_view line) {
        line = Trim(line);
        const std::size_t eq = line.find('=');
        if (line.empty() || line.front() == ';' || eq == std::string_view::npos)
            return std::nullopt;
        return std::pair{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
    }
    // The lines of the first section of that name: its header and the line after its last.
    std::optional<std::pair<std::size_t, std::size_t>> Find(std::string_view section) const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const auto name = Header(lines_[i]);
            if (!name || !Same(*name, Trim(section))) continue;
            std::size_t end = i + 1;
            while (end < lines_.size() && !Header(lines_[end]))
                ++end;
            return std::pair{i, end};
        }
        return std::nullopt;
    }

    std::vector<std::string> lines_;
    bool ends_mid_line_ = false;
};

void ExpectSame(const Document& doc, const PlainDocument& plain,
                const std::vector<std::string>& sections, const std::vector<std::string>& keys) {
    ASSERT_EQ(doc.Serialize(), plain.Serialize());
    EXPECT_EQ(doc.SerializedSize(), doc.Serialize().size());
    ASSERT_EQ(doc.SectionNames(), plain.SectionNames());
    for (const std::string& section : sections) {
        std::vector<std::tuple<std::string, std::string, bool>> entries;
        for (const Document::Entry& e : doc.Entries(section))
            entries.emplace_back(e.key, e.value, e.complete);
        EXPECT_EQ(entries, plain.Entries(section)) << section;
        for (const std::string& key : keys)
            EXPECT_EQ(doc.Value(section, key), plain.Value(section, key)) << section << "/" << key;
    }
    ASSERT_EQ(doc.SectionCount(), doc.SectionNames().size());
    for (std::size_t i = 0; i < doc.SectionCount(); ++i) {
        const auto at = doc.EntryViewsAt(i);
        const auto named = doc.EntryViews(doc.SectionNameAt(i));
        ASSERT_EQ(at.size(), named.size());
        for (std::size_t k = 0; k < at.size(); ++k) {
            EXPECT_EQ(at[k].key, named[k].key);
            EXPECT_EQ(at[k].value, named[k].value);
        }
    }
}

// Files of blanks, comments, stray keys, sections of one name in several cases, both line ends
// and a last line with or without its end, edited at random: replaced keys (over and over, so
// that the old text is dropped), new keys before a section's blank lines, new sections, copies
// edited apart, names given as views of the document itself.
TEST(IniFile, EditsReadAndWriteAsLinesOfTheirOwn) {
    const std::vector<std::string> sections = {"Alpha", "ALPHA", " beta ", "Gamma", "delta", "New"};
    const std::vector<std::string> keys = {"a", "A", "b", "key", "Other", "x"};
    const std::vector<std::string> pieces = {
        "[Alpha]", "[ALPHA]", "[ beta ]", "[Gamma", "a=1",  " A = 2 ", "b=",     "key=x=y",
        "; c=3",   "",        "  ",       "junk",   "x=\t", "[alpha]", "Other=v"};
    std::mt19937 rng(20261211);
    const auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    for (int file = 0; file < 60; ++file) {
        std::string bytes;
        const int lines = std::uniform_int_distribution<int>(0, 14)(rng);
        for (int i = 0; i < lines; ++i)
            bytes += pick(pieces) + (rng() % 3 == 0 ? "\r\n" : "\n");
        if (rng() % 2 == 0 && !bytes.empty()) bytes.pop_back(); // cut mid-line
        SCOPED_TRACE(bytes);
        Document doc = Document::Parse(bytes);
        PlainDocument plain(bytes);
        ExpectSame(doc, plain, sections, keys);
        if (rng() % 3 == 0) {
            doc.DropIncompleteLastLine();
            plain.DropIncompleteLastLine();
            ExpectSame(doc, plain, sections, keys);
        }
        for (int edit = 0; edit < 40; ++edit) {
            const std::string value = std::to_string(rng() % 1000) + std::string(rng() % 40, 'v');
            if (edit % 10 == 9 && doc.SectionCount() > 0) {
                // A name that is a view into the document's own buffer, which the edit may move.
                const std::string_view section = doc.SectionNameAt(rng() % doc.SectionCount());
                const std::string name(section);
                doc.Set(section, "key", value);
                plain.Set(name, "key", value);
            } else if (edit % 10 == 4) {
                // A copy shares the bytes it was read from; edits to either stay its own.
                Document copy = doc;
                copy.Set("Gamma", "x", "copy's");
                doc.Set("Gamma", "x", value);
                plain.Set("Gamma", "x", value);
            } else {
                const std::string section = pick(sections);
                const std::string key = pick(keys);
                doc.Set(section, key, value);
                plain.Set(section, key, value);
            }
            ExpectSame(doc, plain, sections, keys);
        }
    }
}

} // namespace
} // namespace kerbolt::store
