#include "app/core/store/file_cache.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace kerbolt::store {

namespace {

namespace fs = std::filesystem;
using Clock = fs::file_time_type::clock;
using Time = fs::file_time_type;

// A few files are read over and over (the settings and the data file); any more are tests' or
// old accounts' files, which need not stay in memory.
constexpr std::size_t kKeptFiles = 4;

// How long after a file's time stamp another write could still leave the same stamp. A stamp in
// whole seconds may come from a file system that keeps only seconds, or only even seconds; a
// finer stamp still moves only with the system's clock tick, a few milliseconds.
constexpr auto kCoarseTick = std::chrono::seconds(2);
constexpr auto kFineTick = std::chrono::milliseconds(100);

auto TickOf(Time stamp) {
    const bool whole_seconds =
        stamp.time_since_epoch() % std::chrono::seconds(1) == Time::duration{};
    return whole_seconds ? std::chrono::duration_cast<Time::duration>(kCoarseTick)
                         : std::chrono::duration_cast<Time::duration>(kFineTick);
}

struct Stamp {
    std::uintmax_t size = 0;
    Time modified{};
    bool operator==(const Stamp&) const = default;
};

// The stamp of a regular file, or nothing (missing, not a file, or not to be looked into).
std::optional<Stamp> StampOf(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    Stamp stamp;
    stamp.size = fs::file_size(path, ec);
    if (ec) return std::nullopt;
    stamp.modified = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return stamp;
}

struct Entry {
    std::string path;
    Stamp stamp;
    std::shared_ptr<const Document> doc;
    // The content was known to be `doc` at this time (read at or after it).
    Time seen{};
    // The bytes parsed, kept while the stamp alone cannot vouch for the content.
    std::shared_ptr<const std::string> bytes;
    std::uint64_t used = 0;

    // Any write after `seen` gets a later stamp than this one, on a file system of any tick.
    bool Settled() const { return seen - stamp.modified >= TickOf(stamp.modified); }
    void Seen(Time when) {
        seen = when;
        if (Settled()) bytes.reset();
    }
};

class Cache {
public:
    std::shared_ptr<const Document> Load(const std::string& path) {
        const std::lock_guard<std::mutex> lock(mutex_);
        // The clock is read before the file: what is read is at least as new as this time.
        const Time now = Clock::now();
        const std::optional<Stamp> stamp = StampOf(path);
        Entry* entry = Find(path);
        if (!stamp) {
            if (entry != nullptr) Erase(path);
            return Empty();
        }
        if (entry != nullptr && entry->stamp == *stamp) {
            entry->used = ++uses_;
            if (entry->Settled()) return entry->doc;
        }
        std::optional<std::string> bytes = ReadFileBytes(path);
        if (!bytes) {
            if (entry != nullptr) Erase(path);
            return std::make_shared<const Document>(Document::Load(path));
        }
        if (entry != nullptr && entry->stamp == *stamp && entry->bytes && *entry->bytes == *bytes) {
            entry->Seen(now);
            return entry->doc;
        }
        // The document and the entry share the bytes: they are not copied.
        auto shared = std::make_shared<const std::string>(std::move(*bytes));
        auto doc = std::make_shared<const Document>(Document::ParseShared(shared));
        Keep(path, *stamp, doc, std::move(shared), now);
        return doc;
    }

    void Written(const std::string& path, std::shared_ptr<const Document> doc, std::string bytes) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const Time now = Clock::now();
        const std::optional<Stamp> stamp = StampOf(path);
        // A stamp that does not fit what was written means another writer came in between.
        if (!stamp || stamp->size != bytes.size()) {
            Erase(path);
            return;
        }
        Keep(path, *stamp, std::move(doc), std::make_shared<const std::string>(std::move(bytes)),
             now);
    }

    void Forget(const std::string& path) {
        const std::lock_guard<std::mutex> lock(mutex_);
        Erase(path);
    }

private:
    Entry* Find(const std::string& path) {
        for (Entry& e : entries_) {
            if (e.path == path) return &e;
        }
        return nullptr;
    }

    void Erase(const std::string& path) {
        entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                      [&](const Entry& e) { return e.path == path; }),
                       entries_.end());
    }

    void Keep(const std::string& path, const Stamp& stamp, std::shared_ptr<const Document> doc,
              std::shared_ptr<const std::string> bytes, Time seen) {
        Erase(path);
        if (entries_.size() >= kKeptFiles) {
            entries_.erase(
                std::min_element(entries_.begin(), entries_.end(),
                                 [](const Entry& a, const Entry& b) { return a.used < b.used; }));
        }
        Entry entry;
        entry.path = path;
        entry.stamp = stamp;
        entry.doc = std::move(doc);
        entry.bytes = std::move(bytes);
        entry.used = ++uses_;
        entry.Seen(seen);
        entries_.push_back(std::move(entry));
    }

    static std::shared_ptr<const Document> Empty() {
        static const auto empty = std::make_shared<const Document>();
        return empty;
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
    std::uint64_t uses_ = 0;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

} // namespace

std::shared_ptr<const Document> LoadShared(const std::string& path) {
    return TheCache().Load(path);
}

void RememberWritten(const std::string& path, std::shared_ptr<const Document> doc,
                     std::string bytes) {
    TheCache().Written(path, std::move(doc), std::move(bytes));
}

void ForgetShared(const std::string& path) {
    TheCache().Forget(path);
}

} // namespace kerbolt::store
