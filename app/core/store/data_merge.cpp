#include "app/core/store/data_merge.h"

#include "app/core/store/account_key.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kerbolt {

namespace {

using Entries = std::vector<ini::Document::Entry>;

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// A copy's sections by their names as stored, each once (the first one counts, as when reading).
// Names stay as stored: a damaged name that reads as nothing is still kept as it is.
struct Copy {
    std::vector<std::string> order;          // stored names, first appearance
    std::map<std::string, Entries> sections; // stored name -> keys as stored
};

Copy Read(const ini::Document& whole) {
    // A cut last line is damage, whichever copy it ends: a value cut inside ("01.03.2" of
    // "01.03.2025") must not win over the other copy's whole one, and a section name cut inside
    // could read as another section's.
    std::optional<ini::Document> trimmed;
    if (whole.EndsMidLine()) {
        trimmed = whole;
        trimmed->DropIncompleteLastLine();
    }
    const ini::Document& doc = trimmed ? *trimmed : whole;
    Copy copy;
    for (const std::string& stored : doc.SectionNames()) {
        if (copy.sections.count(stored) != 0) continue;
        copy.sections.emplace(stored, doc.Entries(stored));
        copy.order.push_back(stored);
    }
    return copy;
}

// A data file repeats a handful of key names in every section: each is unscrambled once per
// merge, not once per comparison (a file of thousands of records would take seconds otherwise).
class PlainKeys {
public:
    const std::string& Of(const std::string& stored) {
        const auto it = keys_.find(stored);
        if (it != keys_.end()) return it->second;
        return keys_.emplace(stored, LowerAscii(modINI::DecodeText(stored))).first->second;
    }

private:
    std::unordered_map<std::string, std::string> keys_;
};

bool IsOperatorKey(const std::string& plain_lower_key) {
    return plain_lower_key == "mandat" || plain_lower_key == "datepaiement";
}

const ini::Document::Entry* FindKey(PlainKeys& keys, const Entries& entries,
                                    const std::string& plain_lower_key) {
    for (const auto& e : entries) {
        if (keys.Of(e.key) == plain_lower_key) return &e;
    }
    return nullptr;
}

// The keys of one section present in both copies.
Entries MergeSection(PlainKeys& keys, const Entries& local, const Entries& server) {
    Entries merged;
    for (const auto& e : local) {
        const std::string& key = keys.Of(e.key);
        const ini::Document::Entry* theirs = FindKey(keys, server, key);
        // A line cut short that the server's section does not know is a damaged key, not one.
        if (theirs == nullptr && !e.complete) continue;
        if (theirs != nullptr && (IsOperatorKey(key) || !e.complete))
            merged.push_back({e.key, theirs->value, true});
        else
            merged.push_back({e.key, e.value, true});
    }
    for (const auto& e : server) {
        if (FindKey(keys, merged, keys.Of(e.key)) == nullptr)
            merged.push_back({e.key, e.value, true});
    }
    return merged;
}

// Two sections under one ticket number hold the same ticket when every key the program wrote
// into both has one value.
bool SameTicket(PlainKeys& keys, const Entries& local, const Entries& server) {
    for (const auto& e : local) {
        const std::string& key = keys.Of(e.key);
        if (IsOperatorKey(key) || !e.complete) continue;
        const ini::Document::Entry* theirs = FindKey(keys, server, key);
        if (theirs != nullptr && theirs->value != e.value) return false;
    }
    return true;
}

// Where the program puts a section: "INFOS", then the spots, then the tickets, then the rest.
struct Place {
    int group = 3;
    std::int32_t number = 0;
};

Place PlaceOf(const std::string& stored) {
    const std::string name = modINI::DecodeText(stored);
    if (name == kInfosSection) return {0, 0};
    if (const std::int32_t n = modINI::SectionIndex(name, kPlacePrefix); n >= 0) return {1, n};
    if (const std::int32_t n = modINI::SectionIndex(name, kIndemnitePrefix); n >= 0) return {2, n};
    return {3, 0};
}

} // namespace

bool IsAccountDataFile(const ini::Document& copy, const std::string& account_key) {
    const auto mail = copy.Value(modINI::EncodeText(kInfosSection), modINI::EncodeText("mail"));
    if (!mail) return false;
    const std::string address = modINI::DecodeText(*mail);
    return !address.empty() && Module1::ComputeAccountKey(address) == account_key;
}

std::string MergeDataFiles(const ini::Document& local_doc, const ini::Document& server_doc,
                           std::vector<std::string>* moved_references) {
    PlainKeys keys;
    const Copy local = Read(local_doc);
    const Copy server = Read(server_doc);

    std::map<std::string, Entries> merged;
    std::vector<std::string> others;
    std::vector<Entries> moved; // local tickets whose number the server's copy holds another one
    for (const std::string& name : server.order) {
        merged[name] = server.sections.at(name);
        if (PlaceOf(name).group == 3) others.push_back(name);
    }
    for (const std::string& name : local.order) {
        const Entries& mine = local.sections.at(name);
        const auto theirs = server.sections.find(name);
        if (theirs == server.sections.end()) {
            Entries kept = mine;
            for (auto& e : kept)
                e.complete = true;
            merged[name] = std::move(kept);
            if (PlaceOf(name).group == 3) others.push_back(name);
            continue;
        }
        if (PlaceOf(name).group == 2 && !SameTicket(keys, mine, theirs->second)) {
            moved.push_back(mine);
            continue;
        }
        merged[name] = MergeSection(keys, mine, theirs->second);
    }

    // The moved tickets follow the highest number of either copy, in their local order.
    std::int32_t next = -1;
    for (const auto& [name, entries] : merged) {
        const Place p = PlaceOf(name);
        if (p.group == 2) next = std::max(next, p.number);
    }
    for (Entries& ticket : moved) {
        if (moved_references != nullptr) {
            if (const auto* reference = FindKey(keys, ticket, "numindemn"))
                moved_references->push_back(modINI::DecodeText(reference->value));
        }
        for (auto& e : ticket)
            e.complete = true;
        merged[modINI::EncodeText(IndemniteSection(++next))] = std::move(ticket);
    }

    // Each name's place is worked out once, not at every comparison of the sort.
    std::vector<std::pair<Place, std::string>> placed;
    for (const auto& [name, entries] : merged) {
        const Place p = PlaceOf(name);
        if (p.group != 3) placed.emplace_back(p, name);
    }
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        const Place &pa = a.first, &pb = b.first;
        return pa.group != pb.group ? pa.group < pb.group : pa.number < pb.number;
    });
    std::vector<std::string> order;
    order.reserve(placed.size() + others.size());
    for (auto& [p, name] : placed)
        order.push_back(std::move(name));
    order.insert(order.end(), others.begin(), others.end());

    // The size is known before the first byte: a file of megabytes is not copied over and over
    // while it grows.
    std::size_t size = 0;
    for (const std::string& name : order) {
        size += name.size() + 4;
        for (const auto& e : merged.at(name))
            size += e.key.size() + e.value.size() + 3;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& name : order) {
        bytes.append("[").append(name).append("]\r\n");
        for (const auto& e : merged.at(name))
            bytes.append(e.key).append("=").append(e.value).append("\r\n");
    }
    return bytes;
}

bool HoldsAll(const ini::Document& copy_doc, const ini::Document& mine_doc) {
    const Copy copy = Read(copy_doc);
    const Copy mine = Read(mine_doc);
    for (const std::string& name : mine.order) {
        const auto theirs = copy.sections.find(name);
        if (theirs == copy.sections.end()) return false;
        for (const auto& e : mine.sections.at(name)) {
            const auto same = [&](const ini::Document::Entry& t) {
                return t.key == e.key && t.value == e.value;
            };
            if (std::none_of(theirs->second.begin(), theirs->second.end(), same)) return false;
        }
    }
    return true;
}

} // namespace kerbolt
