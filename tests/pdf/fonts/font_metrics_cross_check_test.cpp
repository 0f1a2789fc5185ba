// The built-in width tables against the font files installed on the machine: the Liberation
// 1.07.4 faces for the sans-serif and serif tables, the URW base-35 AFM files for the symbol and
// dingbat tables. Code points come from glibc's iconv, not from the library's own maps.
#include "pdf/fonts/serif/serif_tables.h"
#include "pdf/fonts/tables/font_tables.h"
#include "tests/pdf/fonts/font_file_readers.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace pagora::detail;

const std::string kLiberation = "/usr/share/fonts/truetype/liberation/";
const std::string kUrw = "/usr/share/fonts/type1/urw-base35/";

struct Page {
    CodePageIndex index;
    const char* iconv_name;
};
constexpr Page kPages[] = {
    {kWesternPage, "CP1252"}, {kGreekPage, "CP1253"},    {kTurkishPage, "CP1254"},
    {kBalticPage, "CP1257"},  {kCyrillicPage, "CP1251"}, {kCentralEuropePage, "CP1250"},
};
constexpr const char* kStyleNames[4] = {"Regular", "Bold", "Italic", "BoldItalic"};

// Western widths are rounded to the nearest unit, the other code pages' rounded down.
int Scaled(int advance, int units_per_em, bool western) {
    return western ? (advance * 2000 + units_per_em) / (2 * units_per_em)
                   : advance * 1000 / units_per_em;
}

std::vector<font_test::TrueTypeWidths> LoadFaces(const std::string& family) {
    std::vector<font_test::TrueTypeWidths> faces;
    for (const char* style : kStyleNames) {
        faces.emplace_back(kLiberation + family + "-" + style + ".ttf");
    }
    return faces;
}

// Which face a sans-serif table follows at a character. The sans-serif italic tables repeat the
// upright ones outside Greek and Turkish, except where the italic letter has its own width.
int SansFace(CodePageIndex page, int style, int code, char32_t cp) {
    if (page == kGreekPage || page == kTurkishPage || style < 2) return style;
    const bool own_italic_letter =
        (page == kCyrillicPage && style == 2 && ((cp >= 0x400 && cp <= 0x4FF) || cp == 0x2116)) ||
        (page == kCentralEuropePage && (code == 190 || code == 239 || (code == 157 && style == 2)));
    return own_italic_letter ? style : style - 2;
}

void CheckAgainstFaces(const std::array<StyledWidths, kCodePageCount>& tables,
                       const std::vector<font_test::TrueTypeWidths>& faces, bool sans) {
    for (const Page& page : kPages) {
        for (int style = 0; style < 4; ++style) {
            const WidthTable& table = tables[page.index][static_cast<std::size_t>(style)];
            for (int code = 32; code < 256; ++code) {
                const auto cp =
                    font_test::IconvCodePoint(page.iconv_name, static_cast<unsigned char>(code));
                if (code == 127 || !cp) continue;
                if (sans && page.index == kCyrillicPage && style == 3 && code == 242) continue;
                const auto& face = faces[static_cast<std::size_t>(
                    sans ? SansFace(page.index, style, code, *cp) : style)];
                const auto advance = face.Advance(*cp);
                ASSERT_TRUE(advance) << page.iconv_name << " code " << code;
                EXPECT_EQ(table[static_cast<std::size_t>(code)],
                          Scaled(*advance, face.UnitsPerEm(), page.index == kWesternPage))
                    << page.iconv_name << " " << kStyleNames[style] << " code " << code;
            }
        }
    }
}

TEST(FontMetricsCrossCheck, SansSerifTablesFollowLiberationSans) {
    CheckAgainstFaces(kSansWidths, LoadFaces("LiberationSans"), true);
}

TEST(FontMetricsCrossCheck, SerifTablesFollowLiberationSerif) {
    CheckAgainstFaces(kSerifWidths, LoadFaces("LiberationSerif"), false);
}

TEST(FontMetricsCrossCheck, SymbolTableFollowsItsAfm) {
    const auto afm = font_test::ReadAfmWidths(kUrw + "StandardSymbolsPS.afm");
    int compared = 0;
    for (int code = 32; code < 255; ++code) {
        if (code == 127 || (code >= 128 && code <= 160) || code == 240) continue;
        ASSERT_EQ(afm.count(code), 1U) << code;
        EXPECT_EQ(kSymbolWidths[static_cast<std::size_t>(code)], afm.at(code)) << code;
        ++compared;
    }
    EXPECT_EQ(compared, 188);
}

TEST(FontMetricsCrossCheck, DingbatTableFollowsItsAfm) {
    const auto afm = font_test::ReadAfmWidths(kUrw + "D050000L.afm");
    for (int code = 32; code < 256; ++code) {
        const auto it = afm.find(code);
        const int expected = it == afm.end() ? 0 : it->second;
        EXPECT_EQ(kDingbatWidths[static_cast<std::size_t>(code)], expected) << code;
    }
    // The codes the built-in encoding leaves empty have no glyph in the metrics either.
    for (const int code : {127, 142, 150, 160, 240, 255})
        EXPECT_EQ(afm.count(code), 0U) << code;
}

} // namespace
