// The TrueType reader over file bytes: installed fonts against FreeType and fontconfig, each
// edge of the tables with a font built to have it, and damaged files.
#include "pdf/fonts/truetype.h"

#include "pdf/fonts/code_pages.h"
#include "pdf/fonts/truetype_font.h"
#include "tests/pdf/fonts/truetype_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <map>
#include <span>
#include <sstream>
#include <string>

namespace {

using font_test::BuiltFont;
using pagora::detail::ReadTrueType;
using pagora::detail::TrueTypeMetrics;

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";
const std::string kLiberation = "/usr/share/fonts/truetype/liberation/";

TrueTypeMetrics Read(const std::string& bytes, int charset = 0) {
    const auto span = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return ReadTrueType(span, pagora::detail::GetCharsetUnicodeMap(charset));
}

std::string Steps(const TrueTypeMetrics& metrics) {
    std::string text;
    for (const auto& failure : metrics.failures) {
        text += std::string(failure.step) + ":" + std::to_string(failure.number) + " ";
    }
    return text;
}

// ---- Installed fonts against independent readers ----------------------------------------------

struct InstalledFont {
    std::string path;
    int charset;
    const char* code_page; // Python's codec name
};

class InstalledFontTest : public ::testing::TestWithParam<InstalledFont> {};

TEST_P(InstalledFontTest, MetricsAgreeWithFreeTypeAndFontconfig) {
    const InstalledFont& font = GetParam();
    const auto reference = testing_support::RunCommand(
        "/usr/bin/python3 '" + testing_support::SourceDir() +
        "/tests/pdf/fonts/truetype_reference.py' '" + font.path + "' " + font.code_page);
    ASSERT_EQ(reference.status, 0) << reference.out;
    std::map<std::string, std::string> expected;
    std::istringstream lines(reference.out);
    for (std::string key, value; lines >> key && std::getline(lines, value);) {
        expected[key] = value.substr(1);
    }

    const TrueTypeMetrics metrics = Read(testing_support::ReadFileBytes(font.path), font.charset);
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_EQ(metrics.full_name, expected["name"]);
    EXPECT_EQ(metrics.fixed_pitch, expected["fixed"] == "1");
    EXPECT_EQ(std::to_string(metrics.ascent), expected["ascent"]);
    EXPECT_EQ(std::to_string(metrics.descent), expected["descent"]);
    std::istringstream widths(expected["widths"]);
    for (int code = 0; code < 256; ++code) {
        int width = 0;
        ASSERT_TRUE(widths >> width);
        EXPECT_EQ(metrics.widths[static_cast<std::size_t>(code)], width) << "code " << code;
    }
    // The box holds every outline, so it reaches below the baseline and above the ascent of
    // these text faces.
    EXPECT_LT(metrics.box[1], 0);
    EXPECT_GT(metrics.box[3], 0);
    EXPECT_LE(metrics.box[0], 0);
}

KERBOLT_TEST_LABEL(oracle, "Faces/InstalledFontTest.*");
INSTANTIATE_TEST_SUITE_P(
    Faces, InstalledFontTest,
    ::testing::Values(
        // Its long metrics stop at glyph 4: the other glyphs share the last advance.
        InstalledFont{kDejaVu + "DejaVuSansMono.ttf", 0, "cp1252"},
        InstalledFont{kDejaVu + "DejaVuSans.ttf", 0, "cp1252"},
        InstalledFont{kDejaVu + "DejaVuSans.ttf", 204, "cp1251"},
        InstalledFont{kDejaVu + "DejaVuSans.ttf", 161, "cp1253"},
        InstalledFont{kDejaVu + "DejaVuSans-Bold.ttf", 238, "cp1250"},
        InstalledFont{kLiberation + "LiberationSans-BoldItalic.ttf", 0, "cp1252"},
        InstalledFont{kLiberation + "LiberationMono-Italic.ttf", 186, "cp1257"},
        InstalledFont{kLiberation + "LiberationSerif-Regular.ttf", 162, "cp1254"}));

TEST(TrueTypeReader, StyleOfInstalledFaces) {
    struct Case {
        std::string path;
        const char* base_name;
        std::int32_t flags;
        float italic_angle;
    };
    const Case cases[] = {
        {kDejaVu + "DejaVuSans.ttf", "DejaVuSans", 32, 0.0F},
        {kDejaVu + "DejaVuSans-Bold.ttf", "DejaVuSansBold,Bold", 32, 0.0F},
        {kDejaVu + "DejaVuSansMono.ttf", "DejaVuSansMono", 33, 0.0F},
        {kLiberation + "LiberationSans-BoldItalic.ttf", "LiberationSansBoldItalic,BoldItalic", 96,
         -12.0F},
        {kLiberation + "LiberationMono-Italic.ttf", "LiberationMonoItalic,Italic", 97, -12.0F},
    };
    for (const Case& c : cases) {
        const TrueTypeMetrics metrics = Read(testing_support::ReadFileBytes(c.path));
        EXPECT_EQ(pagora::detail::TrueTypeBaseName(metrics), c.base_name) << c.path;
        EXPECT_EQ(pagora::detail::TrueTypeFlags(metrics), c.flags) << c.path;
        EXPECT_EQ(metrics.italic_angle, c.italic_angle) << c.path;
    }
}

// ---- Built fonts: one edge each -----------------------------------------------------------------

// Glyph 0 and glyphs 1 to 3, with 'A' to 'C' mapped to them.
BuiltFont ThreeGlyphs() {
    BuiltFont font;
    font.advances = {250, 600, 700, 800};
    font.segments = {{'A', 'C', static_cast<std::int16_t>(1 - 'A')}};
    font.glyphs = {BuiltFont::Glyph{1, {10, 0, 240, 700}}, BuiltFont::Glyph{1, {0, -10, 590, 650}},
                   BuiltFont::Glyph{1, {20, 0, 680, 660}}, BuiltFont::Glyph{1, {5, 0, 790, 900}}};
    font.names = {{3, 1, 1033, 4, "Built Face"}};
    return font;
}

TEST(TrueTypeReader, CodesTakeTheAdvanceOfTheirGlyphOrOfGlyphZero) {
    const TrueTypeMetrics metrics = Read(ThreeGlyphs().Build());
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_EQ(metrics.full_name, "BuiltFace");
    EXPECT_EQ(metrics.widths['A'], 600);
    EXPECT_EQ(metrics.widths['C'], 800);
    EXPECT_EQ(metrics.widths['a'], 250); // not in the character map: glyph 0
    EXPECT_EQ(metrics.widths[129], 250); // undefined in the code page: the missing width
    EXPECT_EQ(metrics.missing_width, 250);
    // Every glyph measured widens the box, glyph 0 included (its xMax 240 is inside anyway).
    EXPECT_EQ(metrics.box, (std::array<std::int32_t, 4>{0, -10, 790, 900}));
}

TEST(TrueTypeReader, GlyphsPastTheLongMetricsShareTheLastAdvance) {
    BuiltFont font = ThreeGlyphs();
    font.advances = {250, 600};
    font.short_metrics = 2; // glyphs 2 and 3 carry only side bearings
    const TrueTypeMetrics metrics = Read(font.Build());
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_EQ(metrics.widths['B'], 600);
    EXPECT_EQ(metrics.widths['C'], 600);
}

TEST(TrueTypeReader, GlyphArrayAndDeltaWrapModulo65536) {
    BuiltFont font = ThreeGlyphs();
    font.segments = {{'a', 'd', 0, {1, 0, 0, 65535}}, // 'b' and 'c' are missing
                     {'x', 'x', static_cast<std::int16_t>(2 - 'x')}};
    font.segments[0].delta = 2;
    const TrueTypeMetrics metrics = Read(font.Build());
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_EQ(metrics.widths['a'], 800); // 1 + 2
    EXPECT_EQ(metrics.widths['b'], 250); // 0 stays glyph 0 whatever the delta
    EXPECT_EQ(metrics.widths['d'], 600); // 65535 + 2 = 1 modulo 65536
    EXPECT_EQ(metrics.widths['x'], 700);
}

TEST(TrueTypeReader, BoxKeepsTheOriginAndSkipsEmptyAndCompositeGlyphs) {
    BuiltFont font = ThreeGlyphs();
    font.advances = {250, 600, 700, 800, 900};
    font.segments = {{'A', 'B', static_cast<std::int16_t>(1 - 'A')},
                     {'C', 'C', static_cast<std::int16_t>(4 - 'C')}};
    font.glyphs = {std::nullopt,                                // glyph 0 has no outline
                   BuiltFont::Glyph{1, {100, 50, 500, 600}},    // above the baseline
                   std::nullopt,                                // 'B', an empty glyph, lies
                   BuiltFont::Glyph{1, {-50, -60, 3000, 3000}}, // just before a glyph no code uses
                   BuiltFont::Glyph{-1, {-900, -900, 2000, 2000}}}; // 'C', a composite
    const TrueTypeMetrics metrics = Read(font.Build());
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_EQ(metrics.widths['B'], 700);
    EXPECT_EQ(metrics.box, (std::array<std::int32_t, 4>{0, 0, 500, 600}));
}

TEST(TrueTypeReader, ValuesAreScaledAndRoundedHalfToEven) {
    BuiltFont font = ThreeGlyphs();
    font.units_per_em = 2048;
    font.advances = {1152, 384, 1156, 640}; // 562.5, 187.5, 564.45, 312.5
    font.avg_width = -1153;                 // -562.98
    font.win_ascent = 1901;
    font.win_descent = 483;
    font.max_width = 2048;
    font.glyphs[3] = BuiltFont::Glyph{1, {-1021, -463, 1793, 1232}};
    const TrueTypeMetrics metrics = Read(font.Build());
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_EQ(metrics.missing_width, 562);
    EXPECT_EQ(metrics.widths['A'], 188);
    EXPECT_EQ(metrics.widths['B'], 564);
    EXPECT_EQ(metrics.widths['C'], 312);
    EXPECT_EQ(metrics.avg_width, -563);
    EXPECT_EQ(metrics.ascent, 928);
    EXPECT_EQ(metrics.descent, -236);
    EXPECT_EQ(metrics.max_width, 1000);
    EXPECT_EQ(metrics.box, (std::array<std::int32_t, 4>{-499, -226, 875, 602}));
}

TEST(TrueTypeReader, StyleFlagsAndDescriptor) {
    struct Case {
        std::uint16_t weight;
        std::int16_t italic_whole;
        std::uint16_t italic_fraction;
        std::uint32_t fixed_pitch;
        const char* base_name;
        const char* descriptor_start;
    };
    const Case cases[] = {
        {400, 0, 0, 0, "BuiltFace", "/Flags 32 "},
        {700, -12, 0, 0, "BuiltFace,BoldItalic", "/Flags 96 "},
        {500, 0, 0, 0, "BuiltFace", "/Flags 32 "},
        {501, 0, 0, 1, "BuiltFace,Bold", "/Flags 33 "},
        {400, -12, 0x8000, 1, "BuiltFace,Italic", "/Flags 97 "}, // -11.5: 32768/65535 rounded
    };
    for (const Case& c : cases) {
        BuiltFont font = ThreeGlyphs();
        font.weight = c.weight;
        font.italic_whole = c.italic_whole;
        font.italic_fraction = c.italic_fraction;
        font.fixed_pitch = c.fixed_pitch;
        const TrueTypeMetrics metrics = Read(font.Build());
        EXPECT_EQ(pagora::detail::TrueTypeBaseName(metrics), c.base_name);
        const std::string descriptor = pagora::detail::TrueTypeDescriptor(metrics, "ANGLE");
        EXPECT_EQ(descriptor.rfind(c.descriptor_start, 0), 0U) << descriptor;
        EXPECT_NE(descriptor.find(c.weight > 500 ? " /StemV 120 " : " /StemV 70 "),
                  std::string::npos);
    }
    BuiltFont slanted = ThreeGlyphs();
    slanted.italic_whole = -12;
    slanted.italic_fraction = 0x8000;
    EXPECT_EQ(Read(slanted.Build()).italic_angle, -11.5F);
    EXPECT_EQ(pagora::detail::TrueTypeDescriptor(Read(ThreeGlyphs().Build()), "0"),
              "/Flags 32 /FontBBox [0 -10 790 900] /MissingWidth 250 /StemV 70 /ItalicAngle 0 "
              "/CapHeight 800 /XHeight 400 /Ascent 800 /Descent -200 /MaxWidth 1000 "
              "/AvgWidth 500");
}

TEST(TrueTypeReader, SymbolFontMapsOnlyItsPrivateCodesAndNamesItselfInEncodingZero) {
    BuiltFont font = ThreeGlyphs();
    font.cmap_encoding = 0;
    font.segments = {{0xF020, 0xF0FF, static_cast<std::int16_t>(1 - 0xF020)}};
    font.names = {{3, 1, 1033, 4, "Unicode Name"}, {3, 0, 1033, 4, "Symbol Name"}};
    const TrueTypeMetrics metrics = Read(font.Build());
    EXPECT_TRUE(metrics.failures.empty()) << Steps(metrics);
    EXPECT_TRUE(metrics.symbolic);
    EXPECT_EQ(pagora::detail::TrueTypeFlags(metrics), 4);
    EXPECT_EQ(metrics.full_name, "SymbolName");
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(metrics.widths[static_cast<std::size_t>(code)], 250) << code;
    }
}

TEST(TrueTypeReader, FullNamePrefersAnEnglishRecord) {
    using Name = BuiltFont::Name;
    struct Case {
        std::vector<Name> names;
        const char* full_name;
    };
    const Case cases[] = {
        {{{3, 1, 1031, 4, "Deutsch"}, {3, 1, 1033, 4, "English"}}, "English"},
        {{{3, 1, 1036, 4, "Police Francaise"}}, "PoliceFrancaise"},
        {{{3, 1, 1036, 4, "Francais"}, {3, 1, 1031, 4, "Deutsch"}}, "Francais"},
        // Other platforms, encodings and name ids do not count.
        {{{1, 0, 0, 4, "Mac"}, {3, 1, 1033, 1, "Family"}, {3, 10, 1033, 4, "Full"}}, ""},
        {{{3, 1, 3081, 4, "Australian"}, {3, 1, 1031, 4, "Deutsch"}}, "Australian"},
    };
    for (const Case& c : cases) {
        BuiltFont font = ThreeGlyphs();
        font.names = c.names;
        EXPECT_EQ(Read(font.Build()).full_name, c.full_name);
    }
}

// ---- Damaged files ------------------------------------------------------------------------------

TEST(TrueTypeReader, DamagedFilesRecordTheFailedStepsAndKeepWhatCouldBeRead) {
    const std::string sound = ThreeGlyphs().Build();
    const std::size_t head = font_test::TableOffset(sound, "head");
    const std::size_t cmap = font_test::TableOffset(sound, "cmap");
    BuiltFont without_widths = ThreeGlyphs();
    without_widths.omit = {"hmtx"};
    BuiltFont huge_advance = ThreeGlyphs();
    huge_advance.units_per_em = 16;
    huge_advance.advances = {16, 65535, 700, 800};
    struct Case {
        const char* what;
        std::string bytes;
        std::string failures;
        int width_a; // the width of 'A' afterwards
        std::string full_name;
    };
    const Case cases[] = {
        {"empty", "", "table directory:9 OS/2:9 head:9 hhea:9 post:9 cmap:9 hmtx:9 loca:9 name:9 ",
         0, ""},
        {"no units per em", font_test::Patch16(sound, head + 18, 0), "head:11 ", 0, "BuiltFace"},
        {"units per em beyond 16 bits signed", font_test::Patch16(sound, head + 18, 40000),
         "head:6 ", 0, "BuiltFace"},
        {"head table past the end", font_test::Patch32(sound, 12 + 16 * 3 + 8, 0x7FFFFFF0),
         "head:9 loca:9 ", 0, "BuiltFace"},
        {"no hmtx table", without_widths.Build(), "hmtx:9 ", 0, "BuiltFace"},
        {"width beyond 16 bits", huge_advance.Build(), "hmtx:6 ", 0, "BuiltFace"},
        {"glyph array beyond the cmap table", font_test::Patch16(sound, cmap + 12 + 6, 0x7FFE),
         "cmap:9 ", 250, "BuiltFace"},
        {"cut after the directory", sound.substr(0, 12 + 16 * 9 + 20), "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TrueTypeMetrics metrics = Read(c.bytes);
        if (!c.failures.empty()) EXPECT_EQ(Steps(metrics), c.failures);
        EXPECT_FALSE(metrics.failures.empty());
        EXPECT_EQ(metrics.widths['A'], c.width_a);
        EXPECT_EQ(metrics.full_name, c.full_name);
    }
}

TEST(TrueTypeReader, EveryCutOfARealFontIsReadWithinItsBytes) {
    // Under the sanitizers a read past the data fails the run; each cut must also be told.
    const std::string font =
        testing_support::ReadFileBytes(kLiberation + "LiberationMono-Regular.ttf");
    ASSERT_GT(font.size(), 100000U);
    for (std::size_t length = 0; length < font.size(); length += 1 + length / 3) {
        const TrueTypeMetrics metrics = Read(font.substr(0, length));
        EXPECT_FALSE(metrics.failures.empty()) << length;
    }
    EXPECT_TRUE(Read(font).failures.empty());
}

} // namespace
