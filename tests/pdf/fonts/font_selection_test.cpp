// Font selection: sizes, registration once per family, style and charset, and what a failed
// dictionary write leaves behind.
#include "pdf/fonts/font_selection.h"

#include "pdf/fonts/charset_differences.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace pagora::detail;

class FontSelection : public ::testing::Test {
protected:
    void Select(std::string_view family, float size = 0.0F, int style = 0, int charset = 0) {
        SelectFont(fonts_, family, size, style, charset,
                   [this](const std::string& alias) { written_.push_back(alias); });
    }
    const FontRecord& Current() const {
        return fonts_.list.at(static_cast<std::size_t>(fonts_.kept.current_font));
    }

    FontState fonts_;
    std::vector<std::string> written_;
};

TEST_F(FontSelection, HelveticaBecomesTheSansSerifFont) {
    Select("helvetica", 12.0F, 3);
    EXPECT_EQ(fonts_.list.size(), 1U);
    EXPECT_EQ(fonts_.kept.current_font, 0);
    EXPECT_EQ(fonts_.font_size, 12.0F);
    EXPECT_EQ(fonts_.font_family, "helvetica");
    EXPECT_EQ(fonts_.kept.font_resource_name, "Arial,BoldItalic");
    EXPECT_EQ(Current().base_name, "Arial,BoldItalic");
    EXPECT_EQ(Current().key, "ARIAL,BOLDITALIC");
    EXPECT_EQ(written_, std::vector<std::string>{"Arial,BoldItalic"});
}

TEST_F(FontSelection, SizeZeroKeepsTheSizeOrStartsAtTen) {
    Select("times new roman");
    EXPECT_EQ(fonts_.font_size, 10.0F);
    EXPECT_EQ(fonts_.kept.font_resource_name, "TimesNewRoman");
    Select("TIMES");
    EXPECT_EQ(fonts_.font_size, 10.0F);
    EXPECT_EQ(fonts_.list.size(), 1U);
    EXPECT_EQ(written_.size(), 1U);
    Select("Times", -4.0F);
    EXPECT_EQ(fonts_.font_size, -4.0F); // only 0 is replaced
    Select("Times");
    EXPECT_EQ(fonts_.font_size, -4.0F);
}

TEST_F(FontSelection, EachCharsetIsItsOwnFont) {
    Select("Arial", 10.0F, 0, 204);
    Select("Arial", 10.0F, 0, 204);
    EXPECT_EQ(fonts_.list.size(), 1U);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Arial-204");
    EXPECT_EQ(Current().charset, 204);
    EXPECT_EQ(Current().differences, GetCharsetDifferences(204));
    EXPECT_EQ(Current().widths[192], 666); // Cyrillic capital A
    Select("Arial", 10.0F, 0, 0);
    EXPECT_EQ(fonts_.list.size(), 2U);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Arial");
    EXPECT_EQ(Current().differences, "");
    Select("Arial", 10.0F, 0, 77);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Arial-77");
    EXPECT_EQ(Current().differences, GetCharsetDifferences(0));
    EXPECT_EQ(Current().widths[32], 278);
    EXPECT_EQ(written_, (std::vector<std::string>{"Arial-204", "Arial", "Arial-77"}));
}

TEST_F(FontSelection, SymbolFontsIgnoreStyleButNotCharset) {
    Select("Symbol", 10.0F, 1, 204);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Symbol");
    EXPECT_EQ(Current().charset, 204);
    EXPECT_EQ(Current().differences, "");
    Select("symbol", 10.0F, 0, 204);
    EXPECT_EQ(fonts_.list.size(), 1U);
    // Another charset makes another record; its dictionary gets a name of its own so the
    // document never holds two fonts under one resource name.
    Select("symbol", 10.0F, 0, 0);
    EXPECT_EQ(fonts_.list.size(), 2U);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Symbol-0");
    EXPECT_EQ(written_, (std::vector<std::string>{"Symbol", "Symbol-0"}));
}

TEST_F(FontSelection, OtherFamiliesGetTheSansSerifMetricsUnderTheirOwnName) {
    Select("Verdana", 10.0F, 1);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Verdana");
    EXPECT_EQ(Current().base_name, "Arial,Bold");
    EXPECT_EQ(Current().key, "VERDANA");
    Select("VERDANA", 10.0F, 0);
    EXPECT_EQ(fonts_.list.size(), 1U);
    // Content names the font as its dictionary was written, whatever spelling selected it.
    EXPECT_EQ(fonts_.kept.font_resource_name, "Verdana");
    EXPECT_EQ(fonts_.font_family, "VERDANA");
}

TEST_F(FontSelection, DecorationBitsSelectTheRegularFace) {
    Select("Courier", 10.0F, 2);
    EXPECT_EQ(fonts_.kept.font_resource_name, "CourierNew,Italic");
    for (const std::int16_t width : Current().widths)
        EXPECT_EQ(width, 600);
    Select("Arial", 10.0F, 4);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Arial");
    EXPECT_EQ(Current().base_name, "Arial");
    EXPECT_EQ(fonts_.kept.font_style, 4);
}

TEST_F(FontSelection, FailedWriteKeepsTheCurrentFont) {
    Select("Arial", 10.0F);
    const auto fail = [](const std::string&) { throw std::runtime_error("no file"); };
    EXPECT_THROW(SelectFont(fonts_, "Times", 11.0F, 1, 0, fail), std::runtime_error);
    EXPECT_EQ(fonts_.kept.current_font, 0);
    EXPECT_EQ(fonts_.kept.font_resource_name, "Arial");
    EXPECT_EQ(fonts_.font_size, 11.0F);
    // The font was never written, so the next selection registers and writes it.
    EXPECT_EQ(fonts_.list.size(), 1U);
    Select("Times", 11.0F, 1);
    EXPECT_EQ(fonts_.kept.current_font, 1);
    EXPECT_EQ(written_, (std::vector<std::string>{"Arial", "TimesNewRoman,Bold"}));
}

} // namespace
