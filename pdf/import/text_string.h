// Text strings of a source document (document information and the like) as Unicode: UTF-16BE
// after its byte-order mark, UTF-8 after its mark, anything else in the PDF's own single-byte
// encoding.
#pragma once

#include <string>
#include <string_view>

namespace pagora::detail {

// The text a string's bytes stand for, as UTF-8. A code the encoding leaves undefined, and a
// UTF-16 unit that pairs with nothing, becomes U+FFFD. Bytes below 0x18 and printable ASCII
// stand for themselves, so a plain ASCII string comes back byte for byte.
std::string TextStringToUtf8(std::string_view bytes);

} // namespace pagora::detail
