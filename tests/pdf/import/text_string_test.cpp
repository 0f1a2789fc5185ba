// Text strings of source documents to UTF-8: the byte-order marks, pairs of UTF-16 units, and
// the codes where the PDF's single-byte encoding is not Latin-1.
#include "pdf/import/text_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextString, EveryEncodingToUtf8) {
    struct Case {
        std::string bytes;
        std::string utf8;
    };
    const Case cases[] = {
        {"Plain \t\n text", "Plain \t\n text"}, // ASCII stands for itself
        {std::string("\xFE\xFF\x00\x41\x04\x1E", 6), "A\xD0\x9E"},
        {std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6), "\xF0\x9F\x98\x80"}, // a surrogate pair
        {std::string("\xFE\xFF\xD8\x3D\x00\x41", 6), "\xEF\xBF\xBD"
                                                     "A"},      // a lone high half
        {std::string("\xFE\xFF\xDE\x00", 4), "\xEF\xBF\xBD"},   // a lone low half
        {std::string("\xFE\xFF\x00\x41\x00", 5), "A"},          // an odd last byte
        {std::string("\xFF\xFE\x41\x00", 4), "A"},              // the other order
        {"\xEF\xBB\xBF\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"}, // UTF-8 with its mark
        {"\x18\x1F", "\xCB\x98\xCB\x9C"},                       // breve, small tilde
        {"\x80\x8A\x93\x9E", "\xE2\x80\xA2\xE2\x88\x92\xEF\xAC\x81\xC5\xBE"},
        {"\xA0\xA9\xFF", "\xE2\x82\xAC\xC2\xA9\xC3\xBF"},         // euro, then Latin-1
        {"\x7F\x9F\xAD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // undefined codes
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(pagora::detail::TextStringToUtf8(c.bytes), c.utf8);
    }
}

} // namespace
