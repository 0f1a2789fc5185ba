#include "app/core/ticket/qr_bill_text.h"

#include "app/core/store/stored_text.h"
#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <string>

namespace kerbolt::ticket {
namespace {

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

TEST(TicketTextCharacters, BothTheQrBillSetAndWindows1252) {
    const struct {
        char32_t c;
        bool qr_bill;
        bool ticket;
    } cases[] = {
        {U' ', true, true},     {U'A', true, true},    {U'~', true, true},
        {0x7F, false, false},   {U'\t', false, false}, {U'\n', false, false},
        {0x85, false, false},   {0xA0, true, true},    {U'é', true, true},
        {U'ÿ', true, true},     {U'Ā', true, false},   {U'Œ', true, true},
        {U'Š', true, true},     {U'ž', true, true},    {U'Ÿ', true, true},
        {U'ł', true, false},    {0x17F, true, false},  {0x180, false, false},
        {U'Ș', true, false},    {U'ț', true, false},   {0x21C, false, false},
        {U'€', true, true},     {U'ƒ', false, false},  {0x2019, false, false},
        {0x201C, false, false}, {U'П', false, false},  {0x1F600, false, false},
        {0xFFFD, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsQrBillLatinCharacter(c.c), c.qr_bill) << std::hex << static_cast<unsigned>(c.c);
        EXPECT_EQ(IsTicketTextCharacter(c.c), c.ticket) << std::hex << static_cast<unsigned>(c.c);
    }
}

TEST(TicketTextCharacters, TheQrBillSetHasItsThreeHundredAndTwentyFourCharacters) {
    int count = 0;
    for (char32_t c = 0; c < 0x30000; ++c)
        count += IsQrBillLatinCharacter(c) ? 1 : 0;
    EXPECT_EQ(count, 324);
}

// The code page table here and the library's conversion that writes the files agree: what the
// table calls storable comes back unchanged, and nothing else above Latin-1 does.
TEST(TicketTextCharacters, Windows1252TableAgreesWithTheFileConversion) {
    for (char32_t c = 0x20; c < 0x3000; ++c) {
        if (c >= 0x80 && c < 0xA0) continue; // C1 controls: no characters of the code page
        const std::string text = Utf8(c);
        const bool round_trip = pagora::Pagora::ToUtf8(pagora::Pagora::FromUtf8(text)) == text;
        EXPECT_EQ(store::IsWindows1252Character(c), round_trip)
            << std::hex << static_cast<unsigned>(c);
    }
}

TEST(TicketTextCharacters, KeepsOnlyWhatTheTicketCanCarry) {
    const struct {
        const char* in;
        bool line_breaks;
        const char* out;
    } cases[] = {
        {"VD 123 456", false, "VD 123 456"},
        {"VD 123\xF0\x9F\x98\x80", false, "VD 123"},         // an emoji
        {"Z\xC3\xBCrich\nBern", false, "Z\xC3\xBCrichBern"}, // Zürich, a line break
        {"Z\xC3\xBCrich\nBern", true, "Z\xC3\xBCrich\nBern"},
        {"a\tb\rc", true, "abc"},
        {"\xD0\x9C\xD0\xBE GE 1", false, " GE 1"}, // Cyrillic letters
        {"\xC8\x98tefan \xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         false,
         "tefan \xC3\xB3"
         "d"},                                                     // Ș, Ł, ź
        {"\xE2\x82\xAC 5 \xE2\x80\x99", false, "\xE2\x82\xAC 5 "}, // euro kept, ’ not
        {"a\xC3(b\xFF", false, "a(b"},                             // bytes that are no UTF-8
        {"\xC0\xAF", false, ""},                                   // an overlong "/"
        {"", false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeepTicketTextCharacters(c.in, c.line_breaks), c.out) << c.in;
}

TEST(StoredText, Windows1252Text) {
    const struct {
        const char* text;
        bool storable;
    } cases[] = {
        {"", true},
        {"secret1", true},
        {"\xC3\xA9t\xC3\xA9 \xC5\x93\xC5\x92 \xE2\x82\xAC \xC6\x92", true}, // été œŒ € ƒ
        {"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C", false},        // пароль
        {"abc\xF0\x9F\x98\x80", false},
        {"\xC2\x81", false},     // a C1 control
        {"abc\xFF", false},      // no UTF-8
        {"\xED\xA0\x80", false}, // a surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(store::IsWindows1252Text(c.text), c.storable) << c.text;
}

} // namespace
} // namespace kerbolt::ticket
