#include "app/core/store/scrambled_ini.h"

#include "app/core/store/file_cache.h"
#include "app/core/store/ini_file.h"
#include "app/core/store/scramble.h"
#include "pdf/writer/Pagora.h"

#include <algorithm>
#include <array>
#include <limits>
#include <mutex>

namespace kerbolt::store {

namespace {

std::string Encode(const std::string& utf8) {
    return EncodeText(utf8);
}
std::string Decode(const std::string& scrambled) {
    return DecodeText(scrambled);
}

// The value of a plain run of decimal digits, or -1 when it is none or exceeds 32 bits. The
// largest 32-bit number is no record number either: no next number could follow it.
std::int32_t SectionNumber(std::string_view digits) {
    if (digits.empty()) return -1;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
        if (value >= std::numeric_limits<std::int32_t>::max()) return -1;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

std::string EncodeText(const std::string& utf8) {
    return Scramble(pagora::Pagora::FromUtf8(utf8));
}
std::string DecodeText(const std::string& scrambled) {
    return pagora::Pagora::ToUtf8(Unscramble(scrambled));
}

std::int32_t SectionIndex(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    return SectionNumber(std::string_view(name).substr(prefix.size()));
}

std::vector<std::int32_t> SectionNumbers(const std::vector<std::string>& section_names,
                                         const std::string& prefix) {
    std::vector<std::int32_t> numbers;
    for (const std::string& name : section_names) {
        const std::int32_t number = SectionIndex(name, prefix);
        if (number >= 0) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::string ReadIni(const std::string& section, const std::string& key, const std::string& path,
                    const std::string& default_value) {
    return Snapshot(path).ReadIni(section, key, default_value);
}

bool WriteIni(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path, bool plain) {
    if (plain) {
        return WriteValue(path, pagora::Pagora::FromUtf8(section), pagora::Pagora::FromUtf8(key),
                          pagora::Pagora::FromUtf8(value));
    }
    return WriteValue(path, Encode(section), Encode(key), Encode(value));
}

bool WriteIniKeys(const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& keys,
                  const std::string& path, bool owner_only) {
    return WriteIniSections({{section, keys}}, path, owner_only);
}

bool WriteIniSections(const std::vector<IniSection>& sections, const std::string& path,
                      bool owner_only) {
    std::vector<SectionKeys> encoded;
    encoded.reserve(sections.size());
    for (const auto& [section, keys] : sections) {
        std::vector<std::pair<std::string, std::string>> values;
        values.reserve(keys.size());
        for (const auto& [key, value] : keys)
            values.emplace_back(Encode(key), Encode(value));
        encoded.emplace_back(Encode(section), std::move(values));
    }
    return WriteSections(path, encoded, owner_only);
}

std::vector<std::string> ListSections(const std::string& path) {
    return Snapshot(path).ListSections();
}

std::int32_t LastSectionIndex(const std::string& prefix, const std::string& data_file_path) {
    return Snapshot(data_file_path).LastSectionIndex(prefix);
}

// What the look-ups derive from all of a file's section names, kept with the parsed file:
// unscrambling thousands of names on every look-up would cost as much as the parse the cache
// saves.
struct DerivedSections {
    std::vector<std::string> names; // unscrambled, in file order
    // The highest number of each prefix asked for so far.
    std::mutex mutex;
    std::vector<std::pair<std::string, std::int32_t>> highest;
};

namespace {

class SectionsMemo {
public:
    std::shared_ptr<DerivedSections> For(const std::shared_ptr<const Document>& doc) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (const Slot& slot : slots_) {
                if (slot.doc.lock() == doc) return slot.sections;
            }
        }
        auto sections = std::make_shared<DerivedSections>();
        for (const std::string& name : doc->SectionNames())
            sections->names.push_back(Decode(name));
        const std::lock_guard<std::mutex> lock(mutex_);
        slots_[next_] = {doc, sections};
        next_ = (next_ + 1) % slots_.size();
        return sections;
    }

private:
    struct Slot {
        std::weak_ptr<const Document> doc;
        std::shared_ptr<DerivedSections> sections;
    };
    std::mutex mutex_;
    std::array<Slot, 4> slots_{};
    std::size_t next_ = 0;
};

SectionsMemo& TheSectionsMemo() {
    static SectionsMemo memo;
    return memo;
}

} // namespace

Snapshot::Snapshot(const std::string& path) : doc_(LoadShared(path)) {}

DerivedSections& Snapshot::Derived() const {
    if (!sections_) sections_ = TheSectionsMemo().For(doc_);
    return *sections_;
}

std::string Snapshot::ReadIni(const std::string& section, const std::string& key,
                              const std::string& default_value) const {
    // The whole value is read: a fixed buffer would cut long ticket texts.
    const auto value = doc_->Value(Encode(section), Encode(key));
    return value ? Decode(*value) : default_value;
}

const std::vector<std::string>& Snapshot::ListSections() const {
    return Derived().names;
}

std::int32_t Snapshot::LastSectionIndex(const std::string& prefix) const {
    // Every name is seen: a list cut at a fixed size would make a new record reuse the number
    // of an older one and overwrite it.
    std::int32_t last = -1;
    for (const std::string& name : Derived().names) {
        const std::int32_t number = SectionIndex(name, prefix);
        if (number >= 0) last = number;
    }
    return last;
}

std::int32_t Snapshot::HighestSectionIndex(const std::string& prefix) const {
    DerivedSections& sections = Derived();
    const std::lock_guard<std::mutex> lock(sections.mutex);
    for (const auto& [known, number] : sections.highest) {
        if (known == prefix) return number;
    }
    std::int32_t highest = -1;
    for (const std::string& name : sections.names)
        highest = std::max(highest, SectionIndex(name, prefix));
    sections.highest.emplace_back(prefix, highest);
    return highest;
}

bool Snapshot::HasSection(const std::string& section) const {
    const std::vector<std::string>& names = Derived().names;
    return std::find(names.begin(), names.end(), section) != names.end();
}

} // namespace kerbolt::store
