#include "app/core/store/data_merge.h"

#include "app/core/store/account_key.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kerbolt::store {

namespace {

// Views into the two documents' lines, which outlive the merge: a file of a hundred thousand
// records holds close to a million keys and values, none of which the merge needs to copy.
using Entry = Document::EntryView;
using Entries = std::vector<Entry>;

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// A copy's sections by their names as stored, each once (the first one counts, as when reading).
// Names stay as stored: a damaged name that reads as nothing is still kept as it is.
struct Copy {
    std::vector<std::string> order;                    // stored names, first appearance
    std::unordered_map<std::string, Entries> sections; // stored name -> keys as stored
    // The copy without its cut last line, when it had one: the views above point into it, so it
    // lives on the heap and stays where it is when the copy is moved.
    std::unique_ptr<Document> trimmed;
};

Copy Read(const Document& whole) {
    // A cut last line is damage, whichever copy it ends: a value cut inside ("01.03.2" of
    // "01.03.2025") must not win over the other copy's whole one, and a section name cut inside
    // could read as another section's.
    Copy copy;
    if (whole.EndsMidLine()) {
        copy.trimmed = std::make_unique<Document>(whole);
        copy.trimmed->DropIncompleteLastLine();
    }
    const Document& doc = copy.trimmed ? *copy.trimmed : whole;
    std::vector<std::string> names = doc.SectionNames();
    copy.sections.reserve(names.size());
    copy.order.reserve(names.size());
    for (std::string& stored : names) {
        const auto [at, added] = copy.sections.try_emplace(stored);
        if (!added) continue;
        at->second = doc.EntryViews(stored);
        copy.order.push_back(std::move(stored));
    }
    return copy;
}

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

Place PlaceOf(const std::string& stored) {
    const std::string name = DecodeText(stored);
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

std::string MergeDataFiles(const Document& local_doc, const Document& server_doc,
                           std::vector<std::string>* moved_references) {
    PlainKeys keys;
    // The copies' entries are moved into the result, not copied: a file of a hundred thousand
    // records holds close to a million of them.
    Copy local = Read(local_doc);
    Copy server = Read(server_doc);

    // Each section with its place, worked out once per name.
    struct Section {
        Place place;
        Entries entries;
    };
    std::map<std::string, Section> merged;
    std::vector<std::string> local_others;
    std::vector<Entries> moved; // local tickets whose number the server's copy holds another one
    // The local sections first: they decide which of the server's sections stay as they are.
    for (const std::string& name : local.order) {
        Entries& mine = local.sections.at(name);
        const Place place = PlaceOf(name);
        const auto theirs = server.sections.find(name);
        if (theirs == server.sections.end()) {
            for (auto& e : mine)
                e.complete = true;
            merged.try_emplace(name, Section{place, std::move(mine)});
            if (place.group == 3) local_others.push_back(name);
            continue;
        }
        const KeyedEntries my_keys = Keyed(keys, mine);
        const KeyedEntries their_keys = Keyed(keys, theirs->second);
        if (place.group == 2 && !SameTicket(my_keys, their_keys)) {
            moved.push_back(std::move(mine));
            continue;
        }
        merged.try_emplace(name, Section{place, MergeSection(my_keys, their_keys)});
    }
    std::vector<std::string> others;
    for (const std::string& name : server.order) {
        const auto [at, added] = merged.try_emplace(name);
        if (added) at->second = Section{PlaceOf(name), std::move(server.sections.at(name))};
        if (at->second.place.group == 3) others.push_back(name);
    }
    others.insert(others.end(), std::make_move_iterator(local_others.begin()),
                  std::make_move_iterator(local_others.end()));

    // The moved tickets follow the highest number of either copy, in their local order.
    std::int32_t next = -1;
    for (const auto& [name, section] : merged) {
        if (section.place.group == 2) next = std::max(next, section.place.number);
    }
    for (Entries& ticket : moved) {
        if (moved_references != nullptr) {
            const auto reference = std::find_if(ticket.begin(), ticket.end(), [&](const Entry& e) {
                return keys.Of(e.key) == "numindemn";
            });
            if (reference != ticket.end())
                moved_references->push_back(DecodeText(std::string(reference->value)));
        }
        for (auto& e : ticket)
            e.complete = true;
        std::string name = EncodeText(IndemniteSection(++next));
        const Place place = PlaceOf(name);
        merged[std::move(name)] = Section{place, std::move(ticket)};
    }

    using Named = const std::pair<const std::string, Section>*;
    std::vector<std::pair<Place, Named>> placed;
    for (const auto& named : merged) {
        if (named.second.place.group != 3) placed.emplace_back(named.second.place, &named);
    }
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        const Place &pa = a.first, &pb = b.first;
        return pa.group != pb.group ? pa.group < pb.group : pa.number < pb.number;
    });
    std::vector<Named> order;
    order.reserve(placed.size() + others.size());
    for (const auto& [p, named] : placed)
        order.push_back(named);
    for (const std::string& name : others)
        order.push_back(&*merged.find(name));

    // The size is known before the first byte: a file of megabytes is not copied over and over
    // while it grows.
    std::size_t size = 0;
    for (const Named named : order) {
        size += named->first.size() + 4;
        for (const auto& e : named->second.entries)
            size += e.key.size() + e.value.size() + 3;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const Named named : order) {
        bytes.append("[").append(named->first).append("]\r\n");
        for (const auto& e : named->second.entries)
            bytes.append(e.key).append("=").append(e.value).append("\r\n");
    }
    return bytes;
}

bool HoldsAll(const Document& copy_doc, const Document& mine_doc) {
    const Copy copy = Read(copy_doc);
    const Copy mine = Read(mine_doc);
    for (const std::string& name : mine.order) {
        const auto theirs = copy.sections.find(name);
        if (theirs == copy.sections.end()) return false;
        for (const auto& e : mine.sections.at(name)) {
            const auto same = [&](const Entry& t) { return t.key == e.key && t.value == e.value; };
            if (std::none_of(theirs->second.begin(), theirs->second.end(), same)) return false;
        }
    }
    return true;
}

} // namespace kerbolt::store
