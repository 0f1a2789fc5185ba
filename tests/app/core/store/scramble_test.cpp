#include "app/core/store/scramble.h"

#include <gtest/gtest.h>

#include <string>

namespace kerbolt::store {
namespace {

struct Vector {
    const char* plain; // Windows-1252 bytes
    const char* scrambled;
};

// The tables are part of the file format: these vectors must never change.
constexpr Vector kVectors[] = {
    {"INFOS", ".$!/&#/%:%$,<%%.>"},
    {"Langue", ".(!%%%#%(%:%(%<%*&>%)(?"},
    {"mail", "%%+!%%%#%&+:%(+<"},
    {"Param", ".,!%%%#%(*:%&*<%))>"},
    {"3", "*.!"},
    {"\xE9", "&)$!"},
    {"a\r\nb", "%$)!&,#(%:%&+<"},
    {"ABCDEFGHIJKLMNOPQ", ",&!.$#..:/+<%$)>%%&?%&$@%&.^%(+_%))`%*&{%+$|%+.}%,+~%.)K%/&-&$$X"},
    {"", ""},
};

TEST(Scramble, KnownVectorsBothWays) {
    for (const Vector& v : kVectors) {
        EXPECT_EQ(Scramble(v.plain), v.scrambled) << v.plain;
        EXPECT_EQ(Unscramble(v.scrambled), v.plain) << v.scrambled;
    }
}

TEST(Scramble, LineBreaksBecomeSymbolsOnly) {
    const std::string s = Scramble("line 1\r\nline 2\r\n");
    EXPECT_EQ(s.find_first_of("\r\n =;[]"), std::string::npos) << s;
    EXPECT_EQ(Unscramble(s), "line 1\r\nline 2\r\n");
}

TEST(Scramble, SameLetterDiffersByPositionButTextIsStable) {
    const std::string s = Scramble("aaa");
    EXPECT_EQ(s, "%$)!%%%#%%.:");
    EXPECT_EQ(Scramble("aaa"), s);
}

TEST(Scramble, SixteenAndSeventeenCharacters) {
    const std::string s16 = Scramble("abcdefghijklmnop");
    for (char sep : kPositionSeparators)
        EXPECT_NE(s16.find(sep), std::string::npos) << sep;
    EXPECT_EQ(s16.back(), '-');
    EXPECT_EQ(s16.find('X'), std::string::npos);
    const std::string s17 = Scramble("abcdefghijklmnopq");
    EXPECT_EQ(s17.back(), 'X');
    EXPECT_EQ(Unscramble(s17), "abcdefghijklmnopq");
}

TEST(Scramble, AlternateSeparatorsAtNineAndFifteen) {
    std::string s = Scramble("ABCDEFGHIJKLMNOPQ");
    s[s.find('_')] = 'Q'; // position 9
    s[s.find('K')] = 'W'; // position 15
    EXPECT_EQ(Unscramble(s), "ABCDEFGHIJKLMNOPQ");
    // Elsewhere an alternate separator is no separator: position 3 ends the decoding.
    std::string t = Scramble("ABCD");
    t[t.find(':')] = 'Q';
    EXPECT_EQ(Unscramble(t), "AB");
}

TEST(Scramble, DamagedTextDecodesAsFarAsItCan) {
    struct Case {
        const char* scrambled;
        const char* plain;
    };
    const Case cases[] = {
        {".$!/&#/%", "IN"},                // third separator missing: the rest is dropped
        {".a$!/&#", "IN"},                 // an unknown symbol inside a group is skipped
        {"!/&#", "N"},                     // an empty group yields nothing but uses its position
        {"/////!/&#", "N"},                // a group beyond 255 yields nothing
        {"(!/&#", "N"},                    // a group below 0 yields nothing
        {"%%%%%%%%%%%%%%%%%%%%%%%%!", ""}, // far too many digits
        {"no separators at all", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Unscramble(c.scrambled), c.plain) << c.scrambled;
}

TEST(Scramble, LongTextsPastTheOldSixteenBitLimit) {
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += static_cast<char>(32 + i % 224);
    const std::string s = Scramble(text);
    EXPECT_EQ(Unscramble(s), text);
    // Position 10000 of code 32 gives 70032: five digit symbols and the shared separator.
    EXPECT_EQ(s.substr(s.size() - 6), ScrambleChar(static_cast<unsigned char>(text.back()), 10000));
    EXPECT_EQ(ScrambleChar(32, 10000), ",$$(&X");
}

} // namespace
} // namespace kerbolt::store
