// The font programs rewritten for archived documents: one symbol map for a charset's code page.
#include "pdf/fonts/truetype_symbolic.h"

#include "pdf/fonts/code_pages.h"
#include "tests/pdf/fonts/truetype_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

namespace {

std::uint32_t Read(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

std::string Rewrite(const std::string& file, int charset) {
    return pagora::detail::SymbolicFontProgram(
        std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()),
        pagora::detail::GetCharsetUnicodeMap(charset));
}

// The glyph of a code through the only subtable of the map, read here as a viewer reads it.
std::uint32_t SymbolGlyph(const std::string& font, std::uint32_t code) {
    const std::size_t cmap = font_test::TableOffset(font, "cmap");
    const std::size_t sub = cmap + Read(font, cmap + 8, 4);
    const std::size_t segments = Read(font, sub + 6, 2) / 2;
    for (std::size_t s = 0; s < segments; ++s) {
        const std::uint32_t last = Read(font, sub + 14 + 2 * s, 2);
        const std::uint32_t first = Read(font, sub + 16 + 2 * (segments + s), 2);
        if (code < first || code > last) continue;
        const std::uint32_t delta = Read(font, sub + 16 + 4 * segments + 2 * s, 2);
        EXPECT_EQ(Read(font, sub + 16 + 6 * segments + 2 * s, 2), 0U);
        return (code + delta) & 0xFFFF;
    }
    return 0;
}

font_test::BuiltFont CyrillicFont() {
    font_test::BuiltFont font;
    // A, then Cyrillic A to Cyrillic VE through a glyph array, on glyphs 1 to 4.
    font.segments = {{0x41, 0x41, static_cast<std::int16_t>(4 - 0x41)},
                     {0x410, 0x412, 0, {1, 2, 3}}};
    font.advances = {500, 610, 620, 630, 640};
    font.glyphs = {std::nullopt, font_test::BuiltFont::Glyph{1, {0, 0, 500, 700}},
                   font_test::BuiltFont::Glyph{1, {0, 0, 500, 700}},
                   font_test::BuiltFont::Glyph{1, {0, 0, 500, 700}},
                   font_test::BuiltFont::Glyph{1, {0, 0, 500, 700}}};
    return font;
}

TEST(SymbolicFontProgram, CodesOfTheCharsetReachTheirGlyphsThroughOneSymbolMap) {
    const std::string original = CyrillicFont().Build();
    const std::string font = Rewrite(original, 204);
    ASSERT_FALSE(font.empty());
    const std::size_t cmap = font_test::TableOffset(font, "cmap");
    ASSERT_NE(cmap, 0U);
    EXPECT_EQ(Read(font, cmap + 2, 2), 1U); // one subtable: (3, 0), format 4
    EXPECT_EQ(Read(font, cmap + 4, 2), 3U);
    EXPECT_EQ(Read(font, cmap + 6, 2), 0U);
    EXPECT_EQ(Read(font, cmap + Read(font, cmap + 8, 4), 2), 4U);

    struct Case {
        std::uint32_t code;
        std::uint32_t glyph;
    };
    for (const Case c : {Case{0xF041, 4}, Case{0xF0C0, 1}, Case{0xF0C1, 2}, Case{0xF0C2, 3},
                         Case{0xF0C3, 0}, Case{0xF042, 0}, Case{0x41, 0}, Case{0xFFFF, 0}}) {
        EXPECT_EQ(SymbolGlyph(font, c.code), c.glyph) << std::hex << c.code;
    }

    // Every other table is copied byte for byte, and the checksums hold.
    for (const char* tag : {"glyf", "hmtx", "loca", "name", "OS/2"}) {
        const std::size_t at = font_test::TableOffset(font, tag);
        const std::size_t was = font_test::TableOffset(original, tag);
        ASSERT_NE(at, 0U) << tag;
        EXPECT_EQ(font.substr(at, 8), original.substr(was, 8)) << tag;
    }
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at + 4 <= font.size(); at += 4)
        sum += Read(font, at, 4);
    EXPECT_EQ(font.size() % 4, 0U);
    EXPECT_EQ(sum, 0xB1B0AFBAU);
}

TEST(SymbolicFontProgram, DamagedFilesGiveNothingAndNeverReadPastTheirEnd) {
    const std::string original = CyrillicFont().Build();
    for (std::size_t length = 0; length < original.size(); length += 7) {
        const std::string font = Rewrite(original.substr(0, length), 204);
        // A cut that leaves the directory and the map whole may still be rewritten.
        if (!font.empty()) {
            EXPECT_NE(font_test::TableOffset(font, "cmap"), 0U);
        }
    }
    font_test::BuiltFont no_map = CyrillicFont();
    no_map.omit = {"cmap"};
    EXPECT_TRUE(Rewrite(no_map.Build(), 204).empty());
    EXPECT_TRUE(Rewrite(font_test::Patch32(original, 0, 0x4F54544FU), 204).empty()); // "OTTO"
}

} // namespace
