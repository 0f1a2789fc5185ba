#include "app/core/store/data_merge.h"

#include "app/core/store/account_key.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kerbolt::store {

namespace {

// Views into the two documents' lines, which outlive the merge: a file of a hundred thousand
// records holds close to a million keys and values, none of which the merge needs to copy.
using Entry = Document::EntryView;
using Entries = std::vector<Entry>;

// How many names ahead a table's slot is fetched while names are looked up one after another.
constexpr std::size_t kFetchAhead = 16;

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// A copy's sections by their names as stored, each once (the first one counts, as when reading).
// Names stay as stored: a damaged name that reads as nothing is still kept as it is. A section's
// keys are read from the document when they are needed, never all held at once: a file of a
// hundred thousand records holds close to a million keys.
class Copy {
public:
    explicit Copy(const Document& whole) {
        // A cut last line is damage, whichever copy it ends: a value cut inside ("01.03.2" of
        // "01.03.2025") must not win over the other copy's whole one, and a section name cut
        // inside could read as another section's.
        if (whole.EndsMidLine()) {
            trimmed_ = std::make_unique<Document>(whole);
            trimmed_->DropIncompleteLastLine();
        }
        doc_ = trimmed_ ? trimmed_.get() : &whole;
        const std::size_t count = doc_->SectionCount();
        std::size_t slots = 16;
        while (slots < count * 2)
            slots *= 2;
        slots_.assign(slots, Slot{});
        names_.reserve(count);
        sections_.reserve(count);
        // The document's hashes of the names serve: names equal as stored are equal without
        // regard to case. Each name's slot is fetched a few names before it is filled, so that
        // a table larger than the cache does not make every name wait for memory.
        for (std::size_t i = 0; i < count; ++i) {
            if (i + kFetchAhead < count) Fetch(doc_->SectionHashAt(i + kFetchAhead));
            const std::string_view name = doc_->SectionNameAt(i);
            const std::size_t hash = doc_->SectionHashAt(i);
            const std::size_t at = SlotOf(name, hash);
            if (slots_[at].name != 0) continue;
            sections_.push_back(i);
            names_.push_back(name);
            slots_[at] = {names_.size(), hash};
        }
    }

    // The names in file order, each once, and their hashes.
    const std::vector<std::string_view>& Names() const { return names_; }
    std::size_t HashAt(std::size_t at) const { return doc_->SectionHashAt(sections_[at]); }
    // The place of a name of that hash in `Names()`, or nothing.
    std::optional<std::size_t> Find(std::string_view name, std::size_t hash) const {
        const std::size_t slot = slots_[SlotOf(name, hash)].name;
        return slot == 0 ? std::nullopt : std::optional<std::size_t>(slot - 1);
    }
    // Brings the slot where a name of that hash is looked for into the cache, for a look-up a
    // little later.
    void Fetch(std::size_t hash) const { __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]); }
    // The keys of the name at `at` in `Names()`, as stored.
    Entries KeysAt(std::size_t at) const { return doc_->EntryViewsAt(sections_[at]); }

private:
    // An open-addressed table of places in `names_` plus one (0: free) with the names' hashes.
    struct Slot {
        std::size_t name = 0;
        std::size_t hash = 0;
    };
    // The slot that holds a name, else the free slot where it would go.
    std::size_t SlotOf(std::string_view name, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        while (slots_[at].name != 0 &&
               (slots_[at].hash != hash || names_[slots_[at].name - 1] != name))
            at = (at + 1) & mask;
        return at;
    }

    std::unique_ptr<Document> trimmed_; // the copy without its cut last line
    const Document* doc_ = nullptr;
    std::vector<std::string_view> names_;
    std::vector<std::size_t> sections_; // the document's section for each name
    std::vector<Slot> slots_;
};

// A data file repeats a handful of key names in every section: each is unscrambled once per
// merge, not once per comparison (a file of thousands of records would take seconds otherwise).
class PlainKeys {
public:
    const std::string& Of(std::string_view stored) {
        const auto it = keys_.find(stored);
        if (it != keys_.end()) return it->second;
        std::string name(stored);
        std::string plain = LowerAscii(DecodeText(name));
        return keys_.emplace(std::move(name), std::move(plain)).first->second;
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> keys_;
};

bool IsOperatorKey(const std::string& plain_lower_key) {
    return plain_lower_key == "mandat" || plain_lower_key == "datepaiement";
}

// Each entry of a section with its key unscrambled and lower-cased, looked up once: the merge
// compares every key of a section with every key of its other copy.
struct KeyedEntry {
    const Entry* entry;
    const std::string* key;
};
using KeyedEntries = std::vector<KeyedEntry>;

KeyedEntries Keyed(PlainKeys& keys, const Entries& entries) {
    KeyedEntries keyed;
    keyed.reserve(entries.size());
    for (const auto& e : entries)
        keyed.push_back({&e, &keys.Of(e.key)});
    return keyed;
}

const Entry* FindKey(const KeyedEntries& entries, const std::string& plain_lower_key) {
    for (const KeyedEntry& e : entries) {
        if (*e.key == plain_lower_key) return e.entry;
    }
    return nullptr;
}

// The keys of one section present in both copies.
Entries MergeSection(const KeyedEntries& local, const KeyedEntries& server) {
    Entries merged;
    std::vector<const std::string*> merged_keys;
    merged.reserve(local.size() + server.size());
    merged_keys.reserve(local.size() + server.size());
    for (const KeyedEntry& mine : local) {
        const auto& e = *mine.entry;
        const std::string& key = *mine.key;
        const Entry* theirs = FindKey(server, key);
        // A line cut short that the server's section does not know is a damaged key, not one.
        if (theirs == nullptr && !e.complete) continue;
        if (theirs != nullptr && (IsOperatorKey(key) || !e.complete))
            merged.push_back({e.key, theirs->value, true});
        else
            merged.push_back({e.key, e.value, true});
        merged_keys.push_back(&key);
    }
    for (const KeyedEntry& theirs : server) {
        const bool known = std::any_of(merged_keys.begin(), merged_keys.end(),
                                       [&](const std::string* key) { return *key == *theirs.key; });
        if (!known) {
            merged.push_back({theirs.entry->key, theirs.entry->value, true});
            merged_keys.push_back(theirs.key);
        }
    }
    return merged;
}

// Two sections under one ticket number hold the same ticket when every key the program wrote
// into both has one value.
bool SameTicket(const KeyedEntries& local, const KeyedEntries& server) {
    for (const KeyedEntry& mine : local) {
        if (IsOperatorKey(*mine.key) || !mine.entry->complete) continue;
        const Entry* theirs = FindKey(server, *mine.key);
        if (theirs != nullptr && theirs->value != mine.entry->value) return false;
    }
    return true;
}

// Where the program puts a section: "INFOS", then the spots, then the tickets, then the rest.
struct Place {
    int group = 3;
    std::int32_t number = 0;
};

Place PlaceOf(std::string_view stored) {
    const std::string name = DecodeText(std::string(stored));
    if (name == kInfosSection) return {0, 0};
    if (const std::int32_t n = SectionIndex(name, kPlacePrefix); n >= 0) return {1, n};
    if (const std::int32_t n = SectionIndex(name, kIndemnitePrefix); n >= 0) return {2, n};
    return {3, 0};
}

} // namespace

bool IsAccountDataFile(const Document& copy, const std::string& account_key) {
    const auto mail = copy.Value(EncodeText(kInfosSection), EncodeText("mail"));
    if (!mail) return false;
    const std::string address = DecodeText(*mail);
    return !address.empty() && ComputeAccountKey(address) == account_key;
}

void MergeDataFiles(const Document& local_doc, const Document& server_doc,
                    std::vector<std::string>* moved_references,
                    const std::function<bool(std::string_view)>& take) {
    PlainKeys keys;
    const Copy local(local_doc);
    const Copy server(server_doc);

    // What the result holds under each name, worked out once per name; the keys themselves are
    // merged only when the section is written.
    enum class From { Local, Server, Both };
    struct Section {
        std::string_view name; // a view into a copy, or into `new_names` for a moved ticket
        Place place;
        From from = From::Local;
        std::size_t local = 0; // places in the copies' names
        std::size_t server = 0;
    };
    std::deque<std::string> new_names;
    std::vector<Section> merged;
    merged.reserve(local.Names().size() + server.Names().size());
    std::vector<bool> local_moved(local.Names().size(), false);
    std::vector<std::size_t> of_server(
        server.Names().size()); // each server name's place in `merged`
    std::vector<std::size_t> local_others;
    std::vector<std::size_t>
        moved; // local tickets whose number the server's copy holds another one
    // The local sections first: they decide which of the server's sections stay as they are.
    for (std::size_t at = 0; at < local.Names().size(); ++at) {
        if (at + kFetchAhead < local.Names().size()) server.Fetch(local.HashAt(at + kFetchAhead));
        const std::string_view name = local.Names()[at];
        const Place place = PlaceOf(name);
        const std::optional<std::size_t> theirs = server.Find(name, local.HashAt(at));
        if (!theirs) {
            if (place.group == 3) local_others.push_back(merged.size());
            merged.push_back({name, place, From::Local, at, 0});
            continue;
        }
        if (place.group == 2 &&
            !SameTicket(Keyed(keys, local.KeysAt(at)), Keyed(keys, server.KeysAt(*theirs)))) {
            local_moved[at] = true;
            moved.push_back(at);
            continue;
        }
        of_server[*theirs] = merged.size();
        merged.push_back({name, place, From::Both, at, *theirs});
    }
    std::vector<std::size_t> others;
    for (std::size_t at = 0; at < server.Names().size(); ++at) {
        if (at + kFetchAhead < server.Names().size()) local.Fetch(server.HashAt(at + kFetchAhead));
        const std::string_view name = server.Names()[at];
        const std::optional<std::size_t> mine = local.Find(name, server.HashAt(at));
        if (mine && !local_moved[*mine]) continue; // merged above
        of_server[at] = merged.size();
        merged.push_back({name, PlaceOf(name), From::Server, 0, at});
    }

    // The moved tickets follow the highest number of either copy, in their local order.
    std::int32_t next = -1;
    for (const Section& section : merged) {
        if (section.place.group == 2) next = std::max(next, section.place.number);
    }
    for (const std::size_t at : moved) {
        const Entries ticket = local.KeysAt(at);
        if (moved_references != nullptr) {
            const auto reference = std::find_if(ticket.begin(), ticket.end(), [&](const Entry& e) {
                return keys.Of(e.key) == "numindemn";
            });
            if (reference != ticket.end())
                moved_references->push_back(DecodeText(std::string(reference->value)));
        }
        // A name no section of either copy has: it reads as a ticket number above them all.
        const std::string_view name = new_names.emplace_back(EncodeText(IndemniteSection(++next)));
        merged.push_back({name, PlaceOf(name), From::Local, at, 0});
    }

    // The program's sections by their places, those of a name in order of their names; then
    // the other sections, the server's in its order, then this computer's.
    const auto before = [](const auto& a, const auto& b) {
        const Place &pa = a.first, &pb = b.first;
        return pa.group != pb.group ? pa.group < pb.group : pa.number < pb.number;
    };
    std::vector<std::pair<Place, std::size_t>> placed;
    for (std::size_t i = 0; i < merged.size(); ++i) {
        if (merged[i].place.group != 3) placed.emplace_back(merged[i].place, i);
    }
    std::sort(placed.begin(), placed.end(), before);
    // Sections of one place (a number written twice, as "7" and "07") come in the order the
    // sort leaves them when it starts from the sections in order of their names. Only then are
    // the names sorted: with every place taken once, the order is the same from any start.
    const auto same_place = [&](const auto& a, const auto& b) { return !before(a, b); };
    if (std::adjacent_find(placed.begin(), placed.end(), same_place) != placed.end()) {
        std::sort(placed.begin(), placed.end(), [&](const auto& a, const auto& b) {
            return merged[a.second].name < merged[b.second].name;
        });
        std::sort(placed.begin(), placed.end(), before);
    }
    for (const std::size_t i : of_server) {
        if (merged[i].place.group == 3) others.push_back(i);
    }
    others.insert(others.end(), local_others.begin(), local_others.end());
    std::vector<std::size_t> order;
    order.reserve(placed.size() + others.size());
    for (const auto& [p, i] : placed)
        order.push_back(i);
    order.insert(order.end(), others.begin(), others.end());

    std::string piece;
    for (const std::size_t i : order) {
        const Section& section = merged[i];
        const Entries entries = section.from == From::Local ? local.KeysAt(section.local)
                                : section.from == From::Server
                                    ? server.KeysAt(section.server)
                                    : MergeSection(Keyed(keys, local.KeysAt(section.local)),
                                                   Keyed(keys, server.KeysAt(section.server)));
        piece.clear();
        piece.append("[").append(section.name).append("]\r\n");
        for (const auto& e : entries)
            piece.append(e.key).append("=").append(e.value).append("\r\n");
        if (!take(piece)) return;
    }
}

std::string MergeDataFiles(const Document& local, const Document& server,
                           std::vector<std::string>* moved_references) {
    // The result is at most both copies together: its buffer is made once, not copied over and
    // over while it grows.
    std::string bytes;
    bytes.reserve(local.SerializedSize() + server.SerializedSize());
    MergeDataFiles(local, server, moved_references, [&](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}

bool HoldsAll(const Document& copy_doc, const Document& mine_doc) {
    const Copy copy(copy_doc);
    const Copy mine(mine_doc);
    for (std::size_t at = 0; at < mine.Names().size(); ++at) {
        if (at + kFetchAhead < mine.Names().size()) copy.Fetch(mine.HashAt(at + kFetchAhead));
        const std::optional<std::size_t> theirs = copy.Find(mine.Names()[at], mine.HashAt(at));
        if (!theirs) return false;
        const Entries their_keys = copy.KeysAt(*theirs);
        for (const auto& e : mine.KeysAt(at)) {
            const auto same = [&](const Entry& t) { return t.key == e.key && t.value == e.value; };
            if (std::none_of(their_keys.begin(), their_keys.end(), same)) return false;
        }
    }
    return true;
}

} // namespace kerbolt::store
