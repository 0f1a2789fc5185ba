// What keeps an imported page out of an archival (PDF/A-1B) document. The page's objects are
// copied as they are, so a page that brings transparency, a font without its program or another
// feature no archival file may hold takes the document's claim away.
#pragma once

#include <string>
#include <string_view>

namespace pagora::detail {

// The first feature in an object's text that no archival file may hold, as a short phrase
// ("transparency", "a font that is not embedded", ...); empty when there is none. Strings are
// passed over; a name that only looks like a key is taken as one, so the answer errs towards
// refusing.
std::string PdfaObjectObstacle(std::string_view text);

// The same for a content stream: colours in CMYK, which an RGB output profile cannot hold, and
// the names the object texts are checked for. Strings and inline image data are passed over.
std::string PdfaContentObstacle(std::string_view content);

} // namespace pagora::detail
