// The scrambled INI store: the only way the program reads and writes its settings file and the
// user's data file. Names and values are given and returned as UTF-8; in the file they stand as
// Windows-1252 bytes (a character outside that code page becomes "?") in scrambled form.
#pragma once

#include "app/core/store/ini_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kerbolt::store {

// The value of a key, unscrambled; `default_value` when the file, section or key is missing.
std::string ReadIni(const std::string& section, const std::string& key, const std::string& path,
                    const std::string& default_value = {});

// Writes a key (scrambled, or as given with `plain`), creating the file and the section when
// missing. True on success; a failed write leaves the file as it was.
bool WriteIni(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path, bool plain = false);

// The unscrambled section names of a file, in file order; empty for a missing file.
std::vector<std::string> ListSections(const std::string& path);

// The number of the last section in file order whose name is `prefix` followed by a decimal
// number below the largest 32-bit number (case-sensitive), or -1. Every section of the file is
// seen, however many there are.
std::int32_t LastSectionIndex(const std::string& prefix, const std::string& data_file_path);

// The numbers of the sections named `prefix` and a number (as `LastSectionIndex` reads them), in
// ascending order, each once.
std::vector<std::int32_t> SectionNumbers(const std::vector<std::string>& section_names,
                                         const std::string& prefix);
// The number of a section name that is `prefix` and a number, or -1.
std::int32_t SectionIndex(const std::string& section_name, const std::string& prefix);

// Writes several keys of one section in order, in one atomic replacement of the file: a record
// is either written whole or not at all.
// `owner_only` keeps the file readable by its owner alone (the data file holds the password).
bool WriteIniKeys(const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& keys,
                  const std::string& path, bool owner_only = false);

// Several sections, each with its keys in order, in one atomic replacement of the file.
using IniSection = std::pair<std::string, std::vector<std::pair<std::string, std::string>>>;
bool WriteIniSections(const std::vector<IniSection>& sections, const std::string& path,
                      bool owner_only = false);

// A name or a value as it stands in the file, and back.
std::string EncodeText(const std::string& utf8);
std::string DecodeText(const std::string& scrambled);

struct DerivedSections;

// A file read once for many look-ups, with the functions above: reading a list of records key
// by key would otherwise read the whole file for every key. The file's parsed content is shared
// with other snapshots while the file stays unchanged, and the unscrambled section names with it.
class Snapshot {
public:
    explicit Snapshot(const std::string& path);
    std::string ReadIni(const std::string& section, const std::string& key,
                        const std::string& default_value = {}) const;
    // The unscrambled section names in file order, kept as long as the snapshot.
    const std::vector<std::string>& ListSections() const;
    std::int32_t LastSectionIndex(const std::string& prefix) const;
    // The highest number of a section `prefix` and a number, wherever it stands, or -1.
    std::int32_t HighestSectionIndex(const std::string& prefix) const;
    bool HasSection(const std::string& section) const;

private:
    DerivedSections& Derived() const;

    std::shared_ptr<const Document> doc_;
    mutable std::shared_ptr<DerivedSections> sections_;
};

} // namespace kerbolt::store
