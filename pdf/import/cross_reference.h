// The index of a source document: plain-text cross-reference tables with their trailers and
// cross-reference streams, along the chain of updates (Prev) and the extra stream of hybrid
// files (XRefStm), into the document's object records.
#pragma once

#include "pdf/import/object_reader.h"

#include <cstdint>
#include <functional>

namespace pagora::detail {

struct TrailerNumbers {
    std::int32_t root = 0; // the catalog, from the newest section that names one
    std::int32_t info = 0; // the document information, likewise
};

// Reads the section at offset and every older one. Each object number takes the entry of the
// newest section that lists it. An offset that holds no section is passed to bad_section (once
// per such section) and the other sections are read on. Other faults raise and end the parse;
// what was read before stays. A trailer with /Encrypt sets the record's Encrypted.
void ParseCrossReference(SourceReader& reader, std::int64_t offset, TrailerNumbers& numbers,
                         const std::function<void()>& bad_section);

// No chain of updates may hold more sections than this.
inline constexpr int kMaxCrossReferenceSections = 1000;

} // namespace pagora::detail
