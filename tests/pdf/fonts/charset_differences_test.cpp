#include "pdf/fonts/charset_differences.h"

#include "pdf/fonts/code_pages.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>

namespace {

using pagora::detail::GetCharsetDifferences;

// The codes a /Differences array names: a number sets the next code, each name takes one.
std::set<int> NamedCodes(std::string_view text, int& names) {
    std::set<int> codes;
    std::istringstream in(std::string(text.substr(1, text.size() - 2)));
    std::string token;
    int code = -1;
    names = 0;
    while (in >> token) {
        if (token[0] == '/') {
            EXPECT_GE(code, 0) << "a name before the first code: " << token;
            EXPECT_TRUE(codes.insert(code++).second) << "code named twice";
            ++names;
        } else {
            code = std::stoi(token);
        }
    }
    return codes;
}

TEST(CharsetDifferences, NamesExactlyTheDefinedUpperHalf) {
    struct Row {
        int charset;
        std::size_t length;
    };
    for (const Row& row : {Row{161, 1091}, Row{162, 1229}, Row{186, 1223}, Row{204, 1411},
                           Row{238, 1237}, Row{0, 1229}}) {
        SCOPED_TRACE(row.charset);
        const std::string_view text = GetCharsetDifferences(row.charset);
        EXPECT_EQ(text.size(), row.length);
        ASSERT_GE(text.size(), 2U);
        EXPECT_EQ(text.front(), '[');
        EXPECT_EQ(text.back(), ']');
        EXPECT_EQ(text.find("  /", 0) == std::string_view::npos, row.charset != 162);
        const auto& map = pagora::detail::GetCharsetUnicodeMap(row.charset);
        std::set<int> defined;
        for (int code = 128; code < 256; ++code) {
            if (map[static_cast<std::size_t>(code)] != 0) defined.insert(code);
        }
        int names = 0;
        EXPECT_EQ(NamedCodes(text, names), defined);
        EXPECT_EQ(static_cast<std::size_t>(names), defined.size());
    }
}

TEST(CharsetDifferences, OtherCharsetsGetTheWesternText) {
    const std::string_view western = GetCharsetDifferences(0);
    EXPECT_EQ(western.substr(0, 30), "[128 /Euro 130 /quotesinglbase");
    EXPECT_EQ(western.substr(western.size() - 13), " /ydieresis ]");
    for (const int charset : {1, 77, 163, 237, -5}) {
        EXPECT_EQ(GetCharsetDifferences(charset), western) << charset;
    }
    EXPECT_EQ(GetCharsetDifferences(204).substr(0, 29), "[128 /afii10051 /afii10052 /q");
}

} // namespace
