// The cache records of source documents: one record per file read by GetInfo, with its pages,
// the index of its objects and the object streams decoded so far.
#pragma once

#include "pdf/import/source_bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pagora::detail {

// No source document may list more objects than this; a cross-reference section asking for more
// is refused instead of making the reader reserve gigabytes.
inline constexpr std::int32_t kMaxSourceObjects = 8388607;

// What the index knows of one object number.
struct SourceXrefRecord {
    // 0 nothing (free or never listed), 1 at offset in the file, 2 inside object stream
    // stream_number at stream_index, 3 or more an entry type this reader does not know.
    std::int32_t kind = 0;
    std::int32_t stream_number = 0;
    std::int32_t stream_index = 0;
    std::int64_t offset = 0;
    // Filled by the newest section that lists the number, so older sections (read later) never
    // replace it, whatever mix of tables and streams the chain of updates holds.
    bool listed = false;
    // The number the object received in the document being written; 0 while not copied.
    std::int32_t copied_as = 0;
};

// A decoded object stream: its objects' numbers and where each one's text begins.
struct ObjectStreamCache {
    std::vector<std::int32_t> object_numbers;
    std::vector<std::int64_t> object_offsets; // into text, one more than objects: the end
    std::string text;
};

// The object index of one document: records for the numbers the sections listed, dense where
// the numbers are, sparse where a section names a lone high number.
class SourceXrefTable {
public:
    // The record of a number, nullptr when no section listed it.
    const SourceXrefRecord* Find(std::int32_t number) const;
    SourceXrefRecord* FindMutable(std::int32_t number);
    // The record of a number, made empty when absent. Raises 321 beyond kMaxSourceObjects.
    SourceXrefRecord& Slot(std::int32_t number);
    // The highest number the sections declared (their Size or subsections); reading beyond it
    // fails with error 9.
    std::int64_t UpperBound() const { return upper_bound_; }
    void DeclareUpperBound(std::int64_t bound);
    std::size_t ListedCount() const { return listed_count_; }
    void CountListed() { ++listed_count_; }
    void Clear() { *this = SourceXrefTable{}; }

private:
    std::vector<SourceXrefRecord> dense_;
    std::unordered_map<std::int32_t, SourceXrefRecord> sparse_;
    std::int64_t upper_bound_ = 0;
    std::size_t listed_count_ = 0;
};

struct SourcePageRecord {
    std::int32_t object_number = 0; // the page object's number
    // The page's size and rotation, filled when the page is imported: a page once imported is
    // placed again from these, without reading the source file.
    float width = 0;
    float height = 0;
    std::int16_t rotate = 0;
    bool imported = false;
};

// A node of the page tree above the pages, as the page queries use it: the node it hangs from
// and the values of the keys pages inherit (a reference resolved to its object's text). Read
// once per document, so that the pages of a wide tree do not each read their parent's long
// Kids array again.
struct PageTreeNode {
    std::int32_t parent = 0; // 0: the root, or a Parent that names no object
    std::vector<std::pair<std::string, std::string>> inherited; // key without "/", value
};

struct SourceDocRecord {
    std::int32_t version_level = 0; // the header's minor version minus 3
    std::string name;               // the cache key
    std::string path;               // the name the file is opened under
    FileStamp stamp;                // the file as it was read
    // Line ends before the header's "%": the file's offsets count from the "%", so every offset
    // read from the file is moved by this many bytes.
    std::int64_t offset_base = 0;
    std::vector<SourcePageRecord> pages; // at most 32767
    std::int32_t PageCount() const { return static_cast<std::int32_t>(pages.size()); }
    SourceXrefTable objects;
    std::unordered_map<std::int32_t, ObjectStreamCache> object_streams;
    std::int64_t object_stream_bytes = 0; // decoded bytes kept in object_streams
    std::unordered_map<std::int32_t, PageTreeNode> page_tree_nodes; // by object number
    // The document information's texts as UTF-8, decoded from their encodings; GetInfo hands
    // them on in the document's code page.
    std::string title, author, creator, producer, subject;
    bool encrypted = false;
    bool pdfa = false;
};

} // namespace pagora::detail
