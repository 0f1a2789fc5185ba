// Page import: a page of a source document copied into the document being written as a form
// XObject (its resources' objects copied once each, with new numbers), and drawn where the
// caller places it.
#pragma once

#include "pdf/import/object_reader.h"
#include "pdf/writer/members.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// Rewrites an object's text token by token, so that nothing inside a string, a name or a
// comment is taken for a reference: every reference "n g R" becomes what reference(n) returns
// (n of any generation; a number beyond 32 bits is passed as the largest int64), and, when
// strings is
// set, every literal or hexadecimal string becomes what strings(bytes) returns for its bytes.
std::string RewriteObjectText(std::string_view text,
                              const std::function<std::string(std::int64_t)>& reference,
                              const std::function<std::string(std::string_view)>& strings = {});

// The numbers the references of a text name, in order, repeats included.
std::vector<std::int64_t> ReferencedNumbers(std::string_view text);

// Copies a page of source document doc_index (0-based) into the output as a form XObject and
// registers it as an XObject resource, unless it was copied before. Everything is read first:
// a page that cannot be read, or whose MediaBox has no width or height, raises before anything
// is written, and the numbers taken are all written.
void CopySourcePage(Pagora::Members& m, SourceReader& reader, std::size_t doc_index,
                    std::int32_t page_number);

// Draws a copied page with its top-left corner at (x, y) in user units, width and height as
// the caller asks (0 for either keeps the page's proportions, 0 for both its own size).
void DrawSourcePage(Pagora::Members& m, std::size_t doc_index, std::int32_t page_number, float x,
                    float y, float width, float height);

// The resource name of an imported page.
std::string ImportedPageName(const WriterState& s, std::size_t doc_index, std::int32_t page_number);

} // namespace pagora::detail
