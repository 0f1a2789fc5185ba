#include "pdf/fonts/code_pages.h"
#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pagora::Pagora;

TEST(CodePages, WesternRoundTripsAccentsAndEuro) {
    const std::string text = "Indemnité à Zürich: 50 € – «ok»";
    const std::string bytes = Pagora::FromUtf8(text);
    EXPECT_EQ(bytes, "Indemnit\xE9 \xE0 Z\xFCrich: 50 \x80 \x96 \xABok\xBB");
    EXPECT_EQ(Pagora::ToUtf8(bytes), text);
}

TEST(CodePages, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Pagora::FromUtf8("\xE2\x88\x9E"), "?"); // infinity sign
    EXPECT_EQ(Pagora::FromUtf8("a\xC3"), "a?");       // cut sequence
    EXPECT_EQ(Pagora::FromUtf8("\xFF"
                               "b"),
              "?b");
}

// Every code point up to U+2FFF, in every charset's code page, becomes the lowest code the page
// maps to it, or "?" where the page has none: the byte a walk through the page's codes finds.
TEST(CodePages, EachCodePointBecomesTheLowestCodeThePageGivesIt) {
    for (const int charset : {0, 161, 162, 186, 204, 238}) {
        const pagora::detail::UnicodeMap& map = pagora::detail::GetCharsetUnicodeMap(charset);
        std::string text;
        std::string expected;
        for (char32_t cp = 0; cp < 0x3000; ++cp) {
            if (cp >= 0xD800 && cp < 0xE000) continue; // not characters
            pagora::detail::AppendUtf8(text, cp);
            char byte = '?';
            for (std::size_t code = 0; code < map.size(); ++code) {
                if (map[code] == cp && (cp != 0 || code == 0)) {
                    byte = static_cast<char>(code);
                    break;
                }
            }
            expected += byte;
        }
        EXPECT_EQ(pagora::detail::EncodeCodePage(text, charset), expected) << charset;
    }
}

} // namespace
