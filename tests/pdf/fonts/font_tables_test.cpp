// The rows and rules that pin the built-in width tables, beyond the cross-checks against the
// font files: fixed values for control and undefined codes, the italic exceptions, and the
// telling values of each table.
#include "pdf/fonts/code_pages.h"
#include "pdf/fonts/serif/serif_tables.h"
#include "pdf/fonts/tables/font_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using namespace pagora::detail;

constexpr int kCharsets[kCodePageCount] = {0, 161, 162, 186, 204, 238};

int Width(const std::array<StyledWidths, kCodePageCount>& tables, CodePageIndex page, int style,
          int code) {
    return tables[page][static_cast<std::size_t>(style)][static_cast<std::size_t>(code)];
}

bool Undefined(CodePageIndex page, int code) {
    return code == 127 ||
           (code >= 128 &&
            GetCharsetUnicodeMap(kCharsets[page])[static_cast<std::size_t>(code)] == 0);
}

struct FixedValues {
    const std::array<StyledWidths, kCodePageCount>* tables;
    int control[4];
    int undefined_western;
    int undefined_other;
};

TEST(FontTables, ControlAndUndefinedCodesHoldFixedWidths) {
    const FixedValues sets[] = {{&kSansWidths, {272, 311, 259, 311}, 750, 750},
                                {&kSerifWidths, {333, 333, 333, 333}, 778, 777}};
    for (const FixedValues& set : sets) {
        for (std::size_t p = 0; p < kCodePageCount; ++p) {
            const auto page = static_cast<CodePageIndex>(p);
            for (int style = 0; style < 4; ++style) {
                for (int code = 0; code < 256; ++code) {
                    const int width = Width(*set.tables, page, style, code);
                    if (code < 32) {
                        EXPECT_EQ(width, set.control[style]) << p << " " << style << " " << code;
                    } else if (Undefined(page, code)) {
                        EXPECT_EQ(width, page == kWesternPage ? set.undefined_western
                                                              : set.undefined_other)
                            << p << " " << style << " " << code;
                    }
                }
            }
        }
    }
}

// Codes at which one style's table differs from another's, printing codes only.
std::set<int> Differing(CodePageIndex page, int style_a, int style_b) {
    std::set<int> codes;
    for (int code = 32; code < 256; ++code) {
        if (Width(kSansWidths, page, style_a, code) != Width(kSansWidths, page, style_b, code)) {
            codes.insert(code);
        }
    }
    return codes;
}

std::set<int> Range(std::initializer_list<std::pair<int, int>> runs) {
    std::set<int> codes;
    for (const auto& [first, last] : runs) {
        for (int c = first; c <= last; ++c)
            codes.insert(c);
    }
    return codes;
}

TEST(FontTables, SansItalicTablesDifferOnlyWhereTheLetterDiffers) {
    EXPECT_TRUE(Differing(kWesternPage, 2, 0).empty());
    EXPECT_TRUE(Differing(kWesternPage, 3, 1).empty());
    EXPECT_TRUE(Differing(kBalticPage, 2, 0).empty());
    EXPECT_TRUE(Differing(kBalticPage, 3, 1).empty());
    EXPECT_TRUE(Differing(kTurkishPage, 2, 0).empty());
    EXPECT_TRUE(Differing(kTurkishPage, 3, 1).empty());
    EXPECT_EQ(Differing(kCentralEuropePage, 2, 0), (std::set<int>{157, 190, 239}));
    EXPECT_EQ(Differing(kCentralEuropePage, 3, 1), (std::set<int>{190, 239}));
    EXPECT_EQ(Differing(kCyrillicPage, 2, 0).size(), 67U);
    EXPECT_TRUE(Differing(kCyrillicPage, 2, 0).count(185));
    EXPECT_EQ(Differing(kCyrillicPage, 3, 1), (std::set<int>{242}));
    EXPECT_EQ(Differing(kGreekPage, 2, 0), Range({{162, 162},
                                                  {184, 186},
                                                  {188, 188},
                                                  {190, 191},
                                                  {195, 196},
                                                  {203, 203},
                                                  {206, 206},
                                                  {208, 208},
                                                  {211, 211},
                                                  {214, 214},
                                                  {216, 217},
                                                  {220, 222},
                                                  {224, 226},
                                                  {228, 232},
                                                  {235, 236},
                                                  {238, 238},
                                                  {240, 249},
                                                  {251, 251},
                                                  {253, 254}}));
    EXPECT_EQ(
        Differing(kGreekPage, 3, 1),
        Range({{161, 161}, {184, 184}, {188, 188}, {190, 191}, {195, 196}, {206, 206}, {208, 208},
               {211, 211}, {214, 214}, {216, 217}, {220, 221}, {224, 226}, {228, 230}, {232, 232},
               {234, 234}, {236, 236}, {238, 238}, {240, 249}, {251, 251}, {253, 254}}));
}

// One row of widths: code, then regular, bold, italic and bold italic.
struct Row {
    CodePageIndex page;
    int code;
    int widths[4];
};

void ExpectRows(const std::array<StyledWidths, kCodePageCount>& tables,
                const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        for (int style = 0; style < 4; ++style) {
            EXPECT_EQ(Width(tables, row.page, style, row.code), row.widths[style])
                << "page " << row.page << " code " << row.code << " style " << style;
        }
    }
}

TEST(FontTables, SansTellingRows) {
    std::vector<Row> rows;
    for (const CodePageIndex page :
         {kWesternPage, kBalticPage, kCyrillicPage, kCentralEuropePage, kGreekPage, kTurkishPage}) {
        for (int digit = 48; digit <= 57; ++digit)
            rows.push_back({page, digit, {556, 556, 556, 556}});
        rows.push_back({page, 109, {833, 889, 833, 889}});
        if (page != kCyrillicPage) rows.push_back({page, 128, {556, 556, 556, 556}}); // euro
        rows.push_back({page, 133, {1000, 1000, 1000, 1000}});
        if (page != kWesternPage) {
            rows.push_back({page, 32, {277, 277, 277, 277}});
            rows.push_back({page, 65, {666, 722, 666, 722}});
            rows.push_back({page, 87, {943, 943, 943, 943}});
            rows.push_back({page, 105, {222, 277, 222, 277}});
        }
    }
    const std::vector<Row> telling = {
        {kWesternPage, 32, {278, 278, 278, 278}},
        {kWesternPage, 65, {667, 722, 667, 722}},
        {kWesternPage, 87, {944, 944, 944, 944}},
        {kWesternPage, 105, {222, 278, 222, 278}},
        {kWesternPage, 138, {667, 667, 667, 667}},
        {kWesternPage, 192, {667, 722, 667, 722}},
        {kWesternPage, 224, {556, 556, 556, 556}},
        {kWesternPage, 242, {556, 611, 556, 611}},
        {kWesternPage, 255, {500, 556, 500, 556}},
        {kBalticPage, 138, {750, 750, 750, 750}},
        {kBalticPage, 192, {666, 722, 666, 722}},
        {kBalticPage, 242, {556, 610, 556, 610}},
        {kBalticPage, 255, {333, 333, 333, 333}},
        {kCyrillicPage, 128, {864, 885, 842, 885}},
        {kCyrillicPage, 138, {1057, 1093, 1065, 1093}},
        {kCyrillicPage, 224, {556, 556, 556, 556}},
        {kCyrillicPage, 242, {458, 489, 833, 850}},
        {kCyrillicPage, 243, {500, 556, 500, 556}},
        {kCyrillicPage, 255, {541, 583, 534, 583}},
        {kCentralEuropePage, 138, {666, 666, 666, 666}},
        {kCentralEuropePage, 192, {722, 722, 722, 722}},
        {kCentralEuropePage, 224, {333, 389, 333, 389}},
        {kCentralEuropePage, 242, {556, 610, 556, 610}},
        {kCentralEuropePage, 255, {333, 333, 333, 333}},
        {kGreekPage, 160, {277, 277, 277, 277}},
        {kGreekPage, 161, {333, 464, 333, 333}},
        {kGreekPage, 162, {667, 722, 666, 722}},
        {kGreekPage, 137, {1000, 1000, 1000, 1000}},
        {kGreekPage, 210, {750, 750, 750, 750}},
        {kTurkishPage, 141, {750, 750, 750, 750}},
        {kTurkishPage, 160, {277, 277, 277, 277}},
        {kTurkishPage, 208, {777, 777, 777, 777}},
        {kTurkishPage, 221, {277, 277, 277, 277}},
    };
    rows.insert(rows.end(), telling.begin(), telling.end());
    ExpectRows(kSansWidths, rows);
}

TEST(FontTables, SerifReferenceRows) {
    std::vector<Row> rows;
    for (std::size_t p = 0; p < kCodePageCount; ++p) {
        const auto page = static_cast<CodePageIndex>(p);
        rows.push_back({page, 32, {250, 250, 250, 250}});
        for (int digit = 48; digit <= 57; ++digit)
            rows.push_back({page, digit, {500, 500, 500, 500}});
        if (page != kWesternPage) {
            rows.push_back({page, 65, {722, 722, 610, 666}});
            rows.push_back({page, 87, {943, 1000, 833, 889}});
            rows.push_back({page, 97, {443, 500, 500, 500}});
            rows.push_back({page, 109, {777, 833, 722, 777}});
        }
    }
    const std::vector<Row> reference = {
        {kWesternPage, 65, {722, 722, 611, 667}},
        {kWesternPage, 87, {944, 1000, 833, 889}},
        {kWesternPage, 97, {444, 500, 500, 500}},
        {kWesternPage, 109, {778, 833, 722, 778}},
        {kWesternPage, 128, {500, 500, 500, 500}},
        {kWesternPage, 223, {500, 556, 500, 500}},
        {kBalticPage, 208, {556, 556, 500, 556}},
        {kBalticPage, 254, {443, 443, 389, 389}},
        {kCyrillicPage, 198, {895, 988, 916, 917}},
        {kCyrillicPage, 255, {459, 541, 464, 515}},
        {kCentralEuropePage, 163, {610, 666, 556, 610}},
        {kCentralEuropePage, 248, {333, 443, 389, 389}},
        {kGreekPage, 217, {743, 800, 723, 746}},
        {kGreekPage, 225, {523, 558, 524, 553}},
        {kTurkishPage, 221, {333, 389, 333, 389}},
        {kTurkishPage, 253, {277, 277, 277, 277}},
    };
    rows.insert(rows.end(), reference.begin(), reference.end());
    ExpectRows(kSerifWidths, rows);
    for (const auto& styled : kSerifWidths) {
        for (const auto& table : styled) {
            for (const std::int16_t width : table) {
                EXPECT_GE(width, 180);
                EXPECT_LE(width, 1125);
            }
        }
    }
}

TEST(FontTables, SymbolAndDingbatWidths) {
    struct Value {
        int code;
        int width;
    };
    const Value symbol[] = {{29, 332},  {30, 600},   {31, 600},   {32, 250},  {34, 713},
                            {48, 500},  {57, 500},   {65, 722},   {97, 631},  {124, 200},
                            {126, 549}, {127, 600},  {128, 600},  {160, 600}, {161, 620},
                            {164, 167}, {171, 1042}, {188, 1000}, {212, 890}, {229, 713},
                            {240, 600}, {241, 329},  {242, 274},  {254, 494}, {255, 600}};
    for (const Value& v : symbol) {
        EXPECT_EQ(kSymbolWidths[static_cast<std::size_t>(v.code)], v.width) << v.code;
    }
    for (int code = 0; code < 30; ++code)
        EXPECT_EQ(kSymbolWidths[static_cast<std::size_t>(code)], 332);

    const Value dingbats[] = {{0, 600},   {31, 600},  {32, 278},  {33, 974},  {126, 668},
                              {127, 0},   {128, 390}, {129, 390}, {130, 317}, {132, 276},
                              {134, 509}, {136, 410}, {138, 234}, {141, 334}, {142, 0},
                              {160, 0},   {161, 732}, {183, 788}, {212, 894}, {239, 874},
                              {240, 0},   {241, 874}, {254, 918}, {255, 0}};
    for (const Value& v : dingbats) {
        EXPECT_EQ(kDingbatWidths[static_cast<std::size_t>(v.code)], v.width) << v.code;
    }
    for (int code = 172; code <= 211; ++code) {
        EXPECT_EQ(kDingbatWidths[static_cast<std::size_t>(code)], 788) << code;
    }
}

} // namespace
