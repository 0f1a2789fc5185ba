// The font dictionary lines, byte for byte.
#include "pdf/fonts/font_dictionary.h"

#include "pdf/fonts/font_names.h"
#include "pdf/fonts/font_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace pagora::detail;

FontRecord Standard(const std::string& family, int style, int charset) {
    FontState fonts;
    const std::string alias = FontAlias(family, style, charset);
    RegisterStandardFont(fonts, family, style, charset, UpperCase(alias), alias);
    return fonts.list.at(0);
}

TEST(FontDictionary, StandardFontLines) {
    using Lines = std::vector<std::string>;
    // Arial is no base font name: its widths travel with it, sixteen to a line.
    EXPECT_EQ(FontDictionaryLines(Standard("Arial", 3, 0), "A1F2+Arial,BoldItalic",
                                  "Arial,BoldItalic", 7),
              (Lines{"<< /Type /Font /Subtype /Type1 /Name /A1F2+Arial,BoldItalic /BaseFont "
                     "/Arial,BoldItalic /FirstChar 32 /LastChar 255",
                     "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding  >>",
                     "/Widths [278 333 474 556 556 889 722 238 333 333 389 584 278 333 278 278 \r"
                     "556 556 556 556 556 556 556 556 556 556 333 333 584 584 584 611 \r"
                     "975 722 722 722 722 667 611 778 722 278 556 722 611 833 722 778 \r"
                     "667 778 722 667 611 722 667 944 667 667 611 333 278 333 584 556 \r"
                     "333 556 611 556 611 556 333 611 611 278 278 556 278 889 611 611 \r"
                     "611 611 389 556 333 611 556 778 556 556 500 389 280 389 584 750 \r"
                     "556 750 278 556 500 1000 556 556 333 1000 667 333 1000 750 611 750 \r"
                     "750 278 278 500 500 350 556 1000 333 1000 556 333 944 750 500 667 \r"
                     "278 333 556 556 556 556 280 556 333 737 370 556 584 333 737 552 \r"
                     "400 549 333 333 333 576 556 278 333 333 365 556 834 834 834 611 \r"
                     "722 722 722 722 722 722 1000 722 667 667 667 667 278 278 278 278 \r"
                     "722 722 778 778 778 778 778 584 778 722 722 722 722 667 667 611 \r"
                     "556 556 556 556 556 556 889 556 556 556 556 556 278 278 278 278 \r"
                     "611 611 611 611 611 611 611 549 611 611 611 611 611 556 611 556 \r]",
                     " >>"}));

    const Lines cyrillic = FontDictionaryLines(Standard("TimesNewRoman", 0, 204),
                                               "P+TimesNewRoman-204", "TimesNewRoman", 9);
    ASSERT_EQ(cyrillic.size(), 4U);
    EXPECT_EQ(cyrillic[0], "<< /Type /Font /Subtype /Type1 /Name /P+TimesNewRoman-204 "
                           "/BaseFont /TimesNewRoman /FirstChar 32 /LastChar 255");
    EXPECT_EQ(cyrillic[1], "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding "
                           "/Differences [128 /afii10051 /afii10052 /quotesinglbase /afii10100 "
                           "/quotedblbase /ellipsis /dagger /daggerdbl /Euro /perthousand "
                           "/afii10058 /guilsinglleft /afii10059 /afii10061 /afii10060 "
                           "/afii10145 /afii10099 /quoteleft /quoteright /quotedblleft "
                           "/quotedblright /bullet /endash /emdash 153 /trademark /afii10106 "
                           "/guilsinglright /afii10107 /afii10109 /afii10108 /afii10193 /space "
                           "/afii10062 /afii10110 /afii10057 /currency /afii10050 /brokenbar "
                           "/section /afii10023 /copyright /afii10053 /guillemotleft "
                           "/logicalnot /hyphen /registered /afii10056 /degree /plusminus "
                           "/afii10055 /afii10103 /afii10098 /mu /paragraph /periodcentered "
                           "/afii10071 /afii61352 /afii10101 /guillemotright /afii10105 "
                           "/afii10054 /afii10102 /afii10104 /afii10017 /afii10018 /afii10019 "
                           "/afii10020 /afii10021 /afii10022 /afii10024 /afii10025 /afii10026 "
                           "/afii10027 /afii10028 /afii10029 /afii10030 /afii10031 /afii10032 "
                           "/afii10033 /afii10034 /afii10035 /afii10036 /afii10037 /afii10038 "
                           "/afii10039 /afii10040 /afii10041 /afii10042 /afii10043 /afii10044 "
                           "/afii10045 /afii10046 /afii10047 /afii10048 /afii10049 /afii10065 "
                           "/afii10066 /afii10067 /afii10068 /afii10069 /afii10070 /afii10072 "
                           "/afii10073 /afii10074 /afii10075 /afii10076 /afii10077 /afii10078 "
                           "/afii10079 /afii10080 /afii10081 /afii10082 /afii10083 /afii10084 "
                           "/afii10085 /afii10086 /afii10087 /afii10088 /afii10089 /afii10090 "
                           "/afii10091 /afii10092 /afii10093 /afii10094 /afii10095 /afii10096 "
                           "/afii10097] >>");
    EXPECT_EQ(cyrillic[2].rfind("/Widths [250 333 408 500 ", 0), 0U) << cyrillic[2];
    EXPECT_EQ(cyrillic[3], " >>");

    // The symbolic fonts keep their own encodings: no encoding line, whatever the charset.
    for (const char* family : {"Symbol", "ZapfDingbats"}) {
        EXPECT_EQ(
            FontDictionaryLines(Standard(family, 0, 204), std::string("P+") + family, family, 3),
            (Lines{std::string("<< /Type /Font /Subtype /Type1 /Name /P+") + family +
                       " /BaseFont /" + family + " /FirstChar 32 /LastChar 255",
                   " >>"}));
    }
}

TEST(FontDictionary, TrueTypeFontListsWidthsAndDescriptor) {
    FontRecord record;
    record.truetype = true;
    record.base_name = "DejaVuSans,Bold";
    record.charset = 238;
    record.differences = "[128 /Euro]";
    for (std::size_t code = 0; code < 256; ++code) {
        record.widths[code] = static_cast<std::int16_t>(code + 100);
    }
    const auto lines = FontDictionaryLines(record, "P+Face", "DejaVuSans,Bold", 12);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "<< /Type /Font /Subtype /TrueType /Name /P+Face /BaseFont "
                        "/DejaVuSans,Bold /FirstChar 32 /LastChar 255");
    EXPECT_EQ(lines[1], "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding "
                        "/Differences [128 /Euro] >>");
    const std::string& widths = lines[2];
    EXPECT_EQ(widths.substr(0, 46), "/FontDescriptor 13 0 R\r/Widths [132 133 134 13");
    EXPECT_EQ(std::count(widths.begin(), widths.end(), '\r'), 1 + 14 + 1);
    EXPECT_EQ(std::count(widths.begin(), widths.end(), ' '), 4 + 224);
    EXPECT_NE(widths.find("146 147 \r148 "), std::string::npos); // a row ends after code 47
    EXPECT_EQ(widths.substr(widths.size() - 13), "354 355 \r]\r>>");

    EXPECT_EQ(FontDescriptorLines("DejaVuSans,Bold", "/Flags 32 /AvgWidth 500", false, 12),
              (std::vector<std::string>{
                  "<< /Type /FontDescriptor /FontName /DejaVuSans,Bold /Flags 32 /AvgWidth 500 ",
                  " >>"}));
    EXPECT_EQ(FontDescriptorLines("F", "/Flags 4", true, 12)[1], "/FontFile2 14 0 R >>");
}

} // namespace
