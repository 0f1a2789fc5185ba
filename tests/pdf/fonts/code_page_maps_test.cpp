#include "pdf/fonts/code_pages.h"

#include "pdf/writer/Pagora.h"
#include "tests/pdf/fonts/font_file_readers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pagora::detail::GetCharsetUnicodeMap;

struct CodePage {
    int charset;
    const char* iconv_name;
    int undefined_count;
};

constexpr CodePage kCodePages[] = {
    {0, "CP1252", 5},    {161, "CP1253", 17}, {162, "CP1254", 7},
    {186, "CP1257", 12}, {204, "CP1251", 1},  {238, "CP1250", 5},
};

TEST(CodePageMaps, EveryCodeAgreesWithIconv) {
    for (const CodePage& page : kCodePages) {
        SCOPED_TRACE(page.iconv_name);
        const auto& map = GetCharsetUnicodeMap(page.charset);
        int undefined = 0;
        char32_t highest = 0;
        for (int code = 0; code < 256; ++code) {
            const auto expected =
                font_test::IconvCodePoint(page.iconv_name, static_cast<unsigned char>(code));
            const char32_t actual = map[static_cast<std::size_t>(code)];
            if (expected) {
                EXPECT_EQ(actual, *expected) << "code " << code;
            } else {
                EXPECT_EQ(actual, 0U) << "code " << code << " is undefined";
                ++undefined;
            }
            highest = std::max(highest, actual);
        }
        EXPECT_EQ(undefined, page.undefined_count);
        EXPECT_EQ(highest, char32_t{8482});
        EXPECT_EQ(map[153], char32_t{8482});
    }
}

TEST(CodePageMaps, CharsetsOutsideTheSixAreWestern) {
    const auto& western = GetCharsetUnicodeMap(0);
    for (const int charset : {2, 77, 163, 237, -5}) {
        EXPECT_EQ(&GetCharsetUnicodeMap(charset), &western) << charset;
    }
}

TEST(CodePageMaps, TellingCodes) {
    struct Row {
        int charset;
        char32_t at128, at160, at255;
    };
    for (const Row& row : {Row{0, 0x20AC, 0xA0, 0xFF}, Row{161, 0x20AC, 0xA0, 0},
                           Row{162, 0x20AC, 0xA0, 0xFF}, Row{186, 0x20AC, 0xA0, 0x2D9},
                           Row{204, 0x402, 0xA0, 0x44F}, Row{238, 0x20AC, 0xA0, 0x2D9}}) {
        const auto& map = GetCharsetUnicodeMap(row.charset);
        EXPECT_EQ(map[128], row.at128) << row.charset;
        EXPECT_EQ(map[160], row.at160) << row.charset;
        EXPECT_EQ(map[255], row.at255) << row.charset;
        EXPECT_EQ(map[127], char32_t{127}) << row.charset;
    }
    EXPECT_EQ(GetCharsetUnicodeMap(204)[136], char32_t{0x20AC});
}

// The text conversion helpers now serve every charset: each defined upper-half byte comes back
// from its UTF-8 form, and an undefined one decodes to the replacement character.
TEST(CodePageMaps, TextConversionRoundTripsEveryCharset) {
    for (const CodePage& page : kCodePages) {
        const auto& map = GetCharsetUnicodeMap(page.charset);
        std::string defined;
        for (int code = 128; code < 256; ++code) {
            if (map[static_cast<std::size_t>(code)] != 0) defined += static_cast<char>(code);
        }
        const std::string utf8 = pagora::Pagora::ToUtf8(defined, page.charset);
        EXPECT_EQ(pagora::Pagora::FromUtf8(utf8, page.charset), defined) << page.charset;
    }
    EXPECT_EQ(pagora::Pagora::ToUtf8("\x98", 204), "\xEF\xBF\xBD");
    EXPECT_EQ(pagora::Pagora::FromUtf8("\xD0\xAF", 204), "\xDF"); // Cyrillic capital ya
    EXPECT_EQ(pagora::Pagora::FromUtf8("\xD0\xAF", 0), "?");
}

} // namespace
