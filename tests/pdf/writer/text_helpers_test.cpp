#include "pdf/writer/writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pagora::detail;

TEST(TextHelpers, LiteralsEscapeBackslashParenthesesAndLineEnds) {
    WriterState s;
    EXPECT_EQ(FormatLiteral(s, "a(b)c\\d"), "(a\\(b\\)c\\\\d)");
    EXPECT_EQ(FormatLiteral(s, ""), "()");
    EXPECT_EQ(FormatLiteral(s, "x\ry\nz"), "(x\\ry\\nz)");
    // Other control bytes and high bytes pass as they are.
    EXPECT_EQ(EscapeString(std::string("\t\xE9\x00", 3)), std::string("\t\xE9\x00", 3));
    // Escapes at both ends and side by side, appended after what a line already holds.
    std::string line = "2 Tw (";
    AppendEscaped(line, "(\\\r\n)x)");
    EXPECT_EQ(line, "2 Tw (\\(\\\\\\r\\n\\)x\\)");
}

// Texts are passed over eight bytes at a time: every byte value, at every place of a text longer
// than two words and among bytes one off the escaped ones, escapes by the byte-by-byte rule.
TEST(TextHelpers, EveryByteAtEveryPlaceEscapesAsItsOwnRule) {
    const auto escaped = [](const std::string& text) {
        std::string out;
        for (const char c : text) {
            if (c == '\r') {
                out += "\\r";
            } else if (c == '\n') {
                out += "\\n";
            } else {
                if (c == '\\' || c == '(' || c == ')') out += '\\';
                out += c;
            }
        }
        return out;
    };
    for (const char background : {'a', '\'', '*', '[', ']', '\x0B', '\x0E', '\x09'}) {
        for (int byte = 0; byte < 256; ++byte) {
            for (std::size_t at = 0; at < 21; ++at) {
                std::string text(21, background);
                text[at] = static_cast<char>(byte);
                std::string line = "x";
                AppendEscaped(line, text);
                ASSERT_EQ(line, "x" + escaped(text)) << byte << " at " << at;
            }
        }
    }
}

TEST(TextHelpers, NamesEscapeEveryByteOutsideTheRegularCharacters) {
    EXPECT_EQ(FormatName("AABC12+F1"), "/AABC12+F1");
    EXPECT_EQ(FormatName("REF_a b(c)/d#e%f"), "/REF_a#20b#28c#29#2Fd#23e#25f");
    EXPECT_EQ(FormatName("Caf\xE9[1]<2>{3}"), "/Caf#E9#5B1#5D#3C2#3E#7B3#7D");
    EXPECT_EQ(FormatName(std::string("\x00\x7F", 2)), "/#00#7F");
}

TEST(TextHelpers, ReplaceText) {
    WriterState s;
    struct Case {
        const char *text, *find, *with;
        std::size_t start;
        int count;
        const char* result;
    } cases[] = {
        {"abab", "", "x", 0, 2147483647, "abab"},
        {"abab", "ab", "x", 0, 2147483647, "xx"},
        {"abab", "ab", "abc", 0, 2147483647, "abcabc"},
        {"abab", "ab", "x", 0, 1, "xab"},
        {"aaaa", "aa", "b", 0, 2147483647, "bb"},   // no overlap
        {"abab", "ab", "x", 1, 2147483647, "abx"},  // text before start kept
        {"abab", "ab", "x", 3, 2147483647, "abab"}, // a hit across start is not one
        {"abab", "ab", "x", 4, 2147483647, "abab"}, // start at the end
        {"Times New Roman", " ", "", 0, 2147483647, "TimesNewRoman"},
        {"ABC", "b", "x", 0, 2147483647, "ABC"}, // case-sensitive
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceText(c.text, c.find, c.with, c.start, c.count), c.result)
            << c.text << " / " << c.find;
    }
}

TEST(TextHelpers, SplitKeepsEmptyPieces) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitText("a|b|c", "|"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitText("a||b", "|"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitText("", "|"), (V{""}));
    EXPECT_EQ(SplitText("|", "|"), (V{"", ""}));
    EXPECT_EQ(SplitText("a|b", ""), (V{"a|b"}));
}

TEST(TextHelpers, ReadBigEndian) {
    const std::string b("\xFF\xFE\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x80\x00\x00\x00", 14);
    EXPECT_EQ(ReadBigEndian(b, 0, 2, false), -2);
    EXPECT_EQ(ReadBigEndian(b, 0, 2, true), 65534);
    EXPECT_EQ(ReadBigEndian(b, 2, 4, false), -1);
    EXPECT_EQ(ReadBigEndian(b, 6, 4, false), 65536);
    EXPECT_EQ(ReadBigEndian(b, 10, 4, true), 2147483648);
    EXPECT_EQ(ReadBigEndian(b, 10, 4, false), -2147483648LL);
    EXPECT_EQ(ReadBigEndian(b, 0, 3, false), 0);
    for (const std::size_t position : {std::size_t{11}, std::size_t{14}, std::size_t{1000}}) {
        try {
            (void)ReadBigEndian(b, position, 4, false);
            ADD_FAILURE() << "read past the end at " << position;
        } catch (const pagora::PdfError& e) {
            EXPECT_EQ(e.Number(), 9);
        }
    }
}

TEST(TextHelpers, HexToBytes) {
    EXPECT_EQ(HexToBytes("00FFa0"), std::string("\x00\xFF\xA0", 3));
    EXPECT_EQ(HexToBytes("abc"), "\xAB");
    EXPECT_THROW((void)HexToBytes("0G"), pagora::PdfError);
}

} // namespace
