// The page queries over a source document: attributes a page inherits from its page-tree
// ancestors, its MediaBox as four numbers, and its content streams read and joined. ImportPage
// reads pages through the same procedures.
#pragma once

#include "pdf/import/object_reader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// A Parent chain is followed at most this far; a page tree is never that deep, a loop is.
inline constexpr int kMaxParentChain = 64;

// The keys a page inherits from the nodes above it.
inline constexpr std::string_view kInheritedKeys[] = {"Resources", "MediaBox", "CropBox", "Rotate"};

// The value of key (one of kInheritedKeys) in the page's text or, failing that, in the nearest
// ancestor that has it, with a reference resolved to the referenced object's text. Empty when no
// object of the chain has the key. Raises 321 when the chain loops (or runs deeper than any page
// tree) before one is found: a page whose size or resources cannot be known is damage. The
// ancestors are read once per document and kept in its record.
std::string GetInheritedAttribute(SourceReader& reader, std::string_view page_text,
                                  std::string_view key);

// A rectangle as written ("[x1 y1 x2 y2]"): each corner's number is its leading numeric part,
// and a missing or unreadable number reads as 0.
struct PageBox {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
PageBox ParsePageBox(std::string_view text);

// The leading decimal number of a text (after white space), 0 when there is none.
double LeadingNumber(std::string_view text);

// A Rotate text as a 16-bit whole number (halves to the even neighbour); 0 for none. Raises 6
// beyond the 16-bit range.
std::int16_t ParseRotate(std::string_view text);

// The stream objects the Contents entry of a page names, in order (a reference to an array
// object is followed); none without Contents.
std::vector<std::int32_t> ContentStreamNumbers(SourceReader& reader, std::string_view page_text);

// How the content streams of a page become one.
enum class ContentJoin {
    // Each part decoded (Flate, ASCII85, ASCIIHex, run-length; a part of other filters as
    // stored), joined without separator (the page query). Damaged data raises 321, data that
    // expands past its bound (see ExpansionBound) 7.
    kAsQueried,
    // A single stream kept as stored with its filter (Flate data checked by decoding it, and
    // no bytes kept without their filter); several decoded and joined with a line feed between
    // parts, so that operators at the ends of two parts never run together. A part this reader
    // cannot decode raises 321, and so does damaged data; data that expands past its bound
    // raises 7.
    kForImport,
};

struct PageContent {
    std::vector<std::uint8_t> data;
    std::string filter;       // only for a single stream kept as stored
    std::string decode_parms; // likewise: its /DecodeParms as written
    bool has_stream = false;  // the Contents named at least one stream
};

PageContent ReadPageContent(SourceReader& reader, std::string_view page_text, ContentJoin join);

} // namespace pagora::detail
