// Arbitrary bytes as a settings or data file: reading, listing and numbering its sections and
// reading its lists of records must neither crash nor hang, unscrambling must be the exact inverse
// of scrambling, the lists hold every record by the store's rule, and a record written under the
// next number must become the highest one, whatever the file held before.
#include "app/core/store/ini_file.h"
#include "app/core/store/records.h"
#include "app/core/store/scramble.h"
#include "app/core/store/scrambled_ini.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace store = kerbolt::store;

// One file for the whole run, removed at exit: the readers only take paths.
const std::string& FilePath() {
    static const std::string path = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "app_ini_XXXXXX").string();
        const int fd = mkstemp(templ.data());
        if (fd < 0) std::abort();
        ::close(fd);
        static const std::string keep = templ;
        std::atexit([] { std::remove(keep.c_str()); });
        return templ;
    }();
    return path;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    if (std::fclose(f) != 0) std::abort();
}

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// True when the file already holds a section that the store would take for `name`.
bool HoldsSection(const std::string& path, const std::string& name) {
    const std::string wanted = LowerAscii(store::Scramble(name));
    for (const std::string& raw : kerbolt::store::SectionNames(path)) {
        if (LowerAscii(raw) == wanted) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The bytes as one scrambled value: decoding them and encoding the result again must give
    // text that decodes to the same bytes.
    const std::string plain = store::Unscramble(bytes);
    if (store::Unscramble(store::Scramble(plain)) != plain) std::abort();

    const std::string& path = FilePath();
    WriteFile(path, data, size);

    const std::vector<std::string> names = store::ListSections(path);
    for (const std::string& name : names) {
        (void)store::ReadIni(name, "IdPlace", path);
        (void)store::ReadIni(name, "NumIndemn", path);
    }
    const std::int32_t last_place = store::LastSectionIndex("PLACE", path);
    const std::int32_t last = store::LastSectionIndex("INDEMNITE", path);
    if (last < -1 || last_place < -1) std::abort();
    const store::Snapshot snapshot(path);
    if (snapshot.LastSectionIndex("INDEMNITE") != last || snapshot.ListSections() != names)
        std::abort();

    // The spot list holds every "PLACE" record at the position of its number, gaps reading as
    // empty entries while they stay few; records numbered past that bound follow one another.
    std::vector<std::int32_t> places;
    for (const std::string& name : names) {
        const std::int32_t n = store::SectionIndex(name, "PLACE");
        if (n >= 0 && std::find(places.begin(), places.end(), n) == places.end())
            places.push_back(n);
    }
    const std::size_t bound =
        std::min<std::size_t>(places.size() + kerbolt::store::kMaxGapEntries,
                              static_cast<std::size_t>(kerbolt::store::kMaxRecordsRead));
    std::size_t placed = 0, following = 0;
    for (const std::int32_t n : places) {
        if (static_cast<std::size_t>(n) < bound)
            placed = std::max(placed, static_cast<std::size_t>(n) + 1);
        else
            ++following;
    }
    if (kerbolt::store::ReadPlaces(path).size() != placed + following) std::abort();
    if (kerbolt::store::ReadIndemnites(path).size() >
        static_cast<std::size_t>(kerbolt::store::kMaxRecordsRead))
        std::abort();

    // The next record, as the print writes it: one past the highest number wherever it stands
    // (the print refuses the largest 32-bit number). The number can only be taken when it is
    // free: a file that already holds it was not written by the program.
    std::int32_t highest = -1;
    for (const std::string& name : names)
        highest = std::max(highest, store::SectionIndex(name, "INDEMNITE"));
    const std::int32_t next = kerbolt::store::NextIndemniteNumber(path);
    if (next != highest + 1) std::abort();
    if (next == INT32_MAX) return 0;
    const std::string section = "INDEMNITE" + std::to_string(next);
    if (HoldsSection(path, section)) return 0;
    const std::string reference = "000NZFAP-" + std::to_string(next);
    if (!store::WriteIniKeys(section, {{"IdPlace", "2"}, {"NumIndemn", reference}}, path))
        std::abort();
    if (kerbolt::store::NextIndemniteNumber(path) != next + 1) std::abort();
    if (store::ReadIni(section, "NumIndemn", path) != reference) std::abort();
    // Every record that was readable before still reads the same.
    for (const std::string& name : names) {
        if (name == section) continue; // a damaged name that decodes to the new one
        if (snapshot.ReadIni(name, "IdPlace") != store::ReadIni(name, "IdPlace", path))
            std::abort();
    }
    return 0;
}
