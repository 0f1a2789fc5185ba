// Family names, aliases, and the records that registration fills, without a document.
#include "pdf/fonts/charset_differences.h"
#include "pdf/fonts/font_names.h"
#include "pdf/fonts/font_registry.h"
#include "pdf/fonts/font_state.h"
#include "pdf/fonts/serif/serif_metrics.h"
#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pagora::detail;

TEST(FontNames, FamilyMappingAndAliases) {
    struct Case {
        const char* family;
        int style;
        int charset;
        const char* canonical;
        const char* alias;
    };
    const Case cases[] = {
        {"Helvetica", 3, 0, "Arial", "Arial,BoldItalic"},
        {"hElVeTiCa", 1, 0, "Arial", "Arial,Bold"},
        {"times new roman", 0, 0, "TimesNewRoman", "TimesNewRoman"},
        {"TIMES", 2, 204, "TimesNewRoman", "TimesNewRoman,Italic-204"},
        {"Arial", 0, 204, "Arial", "Arial-204"},
        {"Arial", 1, 238, "Arial", "Arial,Bold-238"},
        {"Arial", 0, 77, "Arial", "Arial-77"},
        {"Arial", 0, -5, "Arial", "Arial--5"},
        {"Arial", 4, 0, "Arial", "Arial"},
        {"Arial", 6, 0, "Arial", "Arial,Italic"},
        {"Arial", 16, 0, "Arial", "Arial"},
        {"Courier", 2, 0, "CourierNew", "CourierNew,Italic"},
        {"courier new", 0, 0, "CourierNew", "CourierNew"},
        {"symbol", 1, 204, "Symbol", "Symbol"},
        {"Zapf Dingbats", 3, 238, "ZapfDingbats", "ZapfDingbats"},
        {"Verdana", 1, 0, "Verdana", "Verdana"},
        {"My Font", 3, 204, "MyFont", "MyFont"},
        {"TimesRoman", 0, 0, "TimesRoman", "TimesRoman"},
    };
    for (const Case& c : cases) {
        const std::string canonical = CanonicalFamily(c.family);
        EXPECT_EQ(canonical, c.canonical) << c.family;
        EXPECT_EQ(FontAlias(canonical, c.style, c.charset), c.alias) << c.family;
    }
}

// Registers one standard font in a fresh state and returns its record.
FontRecord Register(const char* family, int style, int charset) {
    FontState fonts;
    const std::string name = CanonicalFamily(family);
    const std::string alias = FontAlias(name, style, charset);
    const int index = RegisterStandardFont(fonts, name, style, charset, UpperCase(alias), alias);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(fonts.list.size(), 1U);
    return fonts.list.at(0);
}

TEST(FontRecords, StandardFamiliesFillTheirRecords) {
    struct Case {
        const char* family;
        int style;
        int charset;
        const char* base_name;
        const char* key;
        int line_height;
        int descent;
        int code;
        int width;
    };
    const Case cases[] = {
        {"Arial", 0, 0, "Arial", "ARIAL", 1221, -221, 32, 278},
        {"Helvetica", 3, 204, "Arial,BoldItalic", "ARIAL,BOLDITALIC-204", 1221, -221, 242, 850},
        {"Arial", 3, 204, "Arial,BoldItalic", "ARIAL,BOLDITALIC-204", 1221, -221, 243, 556},
        {"Arial", 1, 186, "Arial,Bold", "ARIAL,BOLD-186", 1221, -221, 138, 750},
        {"Arial", 1, 186, "Arial,Bold", "ARIAL,BOLD-186", 1221, -221, 32, 277},
        {"Arial", 6, 204, "Arial,Italic", "ARIAL,ITALIC-204", 1221, -221, 242, 833},
        {"Arial", 4, 204, "Arial", "ARIAL-204", 1221, -221, 242, 458},
        {"Arial", 0, 77, "Arial", "ARIAL-77", 1221, -221, 32, 278},
        {"Arial", 1, 161, "Arial,Bold", "ARIAL,BOLD-161", 1221, -221, 161, 464},
        {"Arial", 0, 162, "Arial", "ARIAL-162", 1221, -221, 0, 272},
        {"Times", 0, 0, "TimesNewRoman", "TIMESNEWROMAN", 1107, -216, 97, 444},
        {"Times", 3, 161, "TimesNewRoman,BoldItalic", "TIMESNEWROMAN,BOLDITALIC-161", 1107, -216,
         217, 746},
        {"Times", 1, 238, "TimesNewRoman,Bold", "TIMESNEWROMAN,BOLD-238", 1107, -216, 163, 666},
        {"Times", -1, -5, "TimesNewRoman,BoldItalic", "TIMESNEWROMAN,BOLDITALIC--5", 1107, -216, 97,
         500},
        {"Times", 5, 0, "TimesNewRoman,Bold", "TIMESNEWROMAN,BOLD", 1107, -216, 97, 500},
        {"Courier", 3, 0, "CourierNew,BoldItalic", "COURIERNEW,BOLDITALIC", 1133, -300, 65, 600},
        {"Courier", 4, 204, "CourierNew", "COURIERNEW-204", 1133, -300, 152, 600},
        {"Symbol", 1, 204, "Symbol", "SYMBOL", 1225, -220, 30, 600},
        {"ZapfDingbats", 3, 0, "ZapfDingbats", "ZAPFDINGBATS", 1221, -221, 32, 278},
        {"Verdana", 1, 0, "Arial,Bold", "VERDANA", 1221, -221, 32, 278},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.style) + " " +
                     std::to_string(c.charset));
        const FontRecord record = Register(c.family, c.style, c.charset);
        EXPECT_FALSE(record.truetype);
        EXPECT_EQ(record.base_name, c.base_name);
        EXPECT_EQ(record.key, c.key);
        EXPECT_EQ(record.charset, c.charset);
        EXPECT_EQ(record.line_height, c.line_height);
        EXPECT_EQ(record.descent, c.descent);
        EXPECT_EQ(record.widths[static_cast<std::size_t>(c.code)], c.width);
        const std::string name = CanonicalFamily(c.family);
        const bool symbolic = name == "Symbol" || name == "ZapfDingbats";
        EXPECT_EQ(record.differences,
                  symbolic || c.charset == 0 ? "" : std::string(GetCharsetDifferences(c.charset)));
    }
}

TEST(FontRecords, OneFaceFontsIgnoreStyleAndCharset) {
    for (const char* family : {"Symbol", "ZapfDingbats", "CourierNew"}) {
        const FontRecord first = Register(family, 0, 0);
        for (const auto& [style, charset] : {std::pair{3, 204}, std::pair{1, 161}}) {
            const FontRecord other = Register(family, style, charset);
            EXPECT_EQ(other.widths, first.widths) << family;
            EXPECT_EQ(other.line_height, first.line_height) << family;
        }
    }
    EXPECT_EQ(Register("Symbol", 3, 238).base_name, "Symbol");
    EXPECT_EQ(Register("ZapfDingbats", 1, 161).base_name, "ZapfDingbats");
    const FontRecord courier = Register("Courier", 2, 238);
    for (const std::int16_t width : courier.widths)
        EXPECT_EQ(width, 600);
}

TEST(FontRegistry, LookupByKeyAndCharset) {
    FontState fonts;
    RegisterStandardFont(fonts, "Arial", 0, 204, "ARIAL-204", "Arial-204");
    RegisterStandardFont(fonts, "Symbol", 0, 204, "SYMBOL", "Symbol");
    FontRecord& truetype = AddFontRecord(fonts);
    truetype.truetype = true;
    truetype.key = "MYFACE";
    truetype.alias = "MyFace";
    EXPECT_EQ(FindFont(fonts, "ARIAL-204", 204), 0);
    EXPECT_EQ(FindFont(fonts, "ARIAL-204", 0), kNoFont);
    EXPECT_EQ(FindFont(fonts, "SYMBOL", 204), 1);
    EXPECT_EQ(FindFont(fonts, "SYMBOL", 0), kNoFont);
    EXPECT_EQ(FindFont(fonts, "ARIAL-20", 204), kNoFont);
    EXPECT_EQ(FindFont(fonts, "MYFACE", 0), 2);
    EXPECT_EQ(FindFont(fonts, "MYFACE", 161), 2); // a TrueType font in any charset
}

TEST(FontRegistry, AliasesStayUniqueAcrossCharsets) {
    FontState fonts;
    RegisterStandardFont(fonts, "Symbol", 0, 204, "SYMBOL", UniqueAlias(fonts, "Symbol", 204));
    const std::string second = UniqueAlias(fonts, "Symbol", 0);
    RegisterStandardFont(fonts, "Symbol", 0, 0, "SYMBOL", second);
    EXPECT_EQ(fonts.list[0].alias, "Symbol");
    EXPECT_EQ(second, "Symbol-0");
    EXPECT_EQ(UniqueAlias(fonts, "Verdana", 161), "Verdana");
}

TEST(FontState, AbortKeepsTheCurrentFontMembersAndStartsAFreshList) {
    FontState fonts;
    RegisterStandardFont(fonts, "Arial", 0, 0, "ARIAL", "Arial");
    RegisterStandardFont(fonts, "CourierNew", 0, 0, "COURIERNEW", "CourierNew");
    fonts.font_family = "Courier";
    fonts.kept.font_style = 3;
    fonts.font_encoding = 204;
    fonts.font_size = 12.0F;
    fonts.kept.font_resource_name = "CourierNew";
    fonts.kept.current_font = 1;
    ASSERT_NE(CurrentFontRecord(fonts), nullptr);
    EXPECT_EQ(CurrentFontRecord(fonts)->base_name, "CourierNew");

    ResetFontState(fonts);
    EXPECT_EQ(fonts.list.size(), 0U);
    EXPECT_EQ(fonts.font_family, "");
    EXPECT_EQ(fonts.font_encoding, 0);
    EXPECT_EQ(fonts.font_size, 0.0F);
    EXPECT_EQ(fonts.kept.font_style, 3);
    EXPECT_EQ(fonts.kept.font_resource_name, "CourierNew");
    EXPECT_EQ(fonts.kept.current_font, 1);
    EXPECT_EQ(CurrentFontRecord(fonts), nullptr); // the kept index names no font now

    RegisterStandardFont(fonts, "Symbol", 0, 0, "SYMBOL", "Symbol");
    EXPECT_EQ(fonts.list.size(), 1U);
    EXPECT_EQ(FindFont(fonts, "SYMBOL", 0), 0);
    EXPECT_EQ(FindFont(fonts, "COURIERNEW", 0), kNoFont);
    EXPECT_EQ(CurrentFontRecord(fonts), nullptr);
    // The kept index names a font again once the new list reaches it.
    RegisterStandardFont(fonts, "Arial", 0, 0, "ARIAL", "Arial");
    ASSERT_NE(CurrentFontRecord(fonts), nullptr);
    EXPECT_EQ(CurrentFontRecord(fonts)->base_name, "Arial");
}

TEST(FontRecords, NewestRecordOfAnEmptyListRaisesSubscriptOutOfRange) {
    FontState fonts;
    try {
        NewestFont(fonts);
        FAIL() << "no error";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 9);
    }
    EXPECT_TRUE(fonts.list.empty());
}

} // namespace
