// The object reader of source documents: an object located through the document's index (or at
// a byte offset), read from the file or taken out of a compressed object stream, with its
// normalised text, Type, Filter and, on request, its stored stream data.
#pragma once

#include "pdf/import/source_bytes.h"
#include "pdf/import/source_records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace pagora::detail {

// One reading of one document: its bytes, its record, and the reads in progress.
struct SourceReader {
    SourceBytes& bytes;
    SourceDocRecord& doc;
    int depth = 0;                              // nested reads (a Length that is a reference...)
    std::unordered_set<std::int32_t> loading{}; // object streams being decoded
};

struct SourceObject {
    std::int32_t number = 0; // the number in the object's header; 0 when not read from the file
    std::string text;        // the value's text, normalised
    std::string type;        // the value of /Type without its "/"
    bool has_stream = false;
    std::vector<std::uint8_t> data; // the stream's stored bytes, when asked for
    std::string filter;             // "/FlateDecode" (also written as a one-element array) or
                                    // the /Filter value as written
};

// Reads object number (0: the object whose header begins at position). Objects of kind 0 or
// above 2 give an empty object. Raises 9 for a number beyond the document's index, 321 for
// an offset that holds no object header or another object's header, 62 for an object without
// its end keyword or with stream data reaching past the end of the file.
SourceObject ReadObject(SourceReader& reader, std::int32_t number, bool with_stream,
                        std::int64_t position = 0);

std::string GetObjectText(SourceReader& reader, std::int32_t number);

// An object's text as written, for values whose bytes matter (text strings hold NUL bytes and
// line ends that the normalised text drops).
std::string GetWrittenObjectText(SourceReader& reader, std::int32_t number);

// The text of the value at pos: a reference gives the referenced object's text, anything else
// the parsed value.
std::string ResolvedValueAt(SourceReader& reader, std::string_view text, std::size_t pos);

// The stream's bytes decoded: as stored without a filter, else through the filters page content
// is decoded with (Flate, ASCII85, ASCIIHex, run-length; no Flate bytes give none), without
// parameters. Raises 321 for other filters and for damaged data, 7 past the reader's bound.
std::vector<std::uint8_t> DecodeStreamData(const SourceObject& object);

// The normalised filter of a /Filter value: a one-element array becomes its name.
std::string NormaliseFilter(std::string_view value);

} // namespace pagora::detail
