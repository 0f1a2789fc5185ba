#include "app/core/ticket/qr_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using kerbolt::ticket::BuildOutlineGrid;
using kerbolt::ticket::OutlineGrid;
using kerbolt::ticket::OutlinePoint;
using kerbolt::ticket::OutlinePolygons;
using kerbolt::ticket::QrModules;
using kerbolt::ticket::TraceOutlinePolygons;

OutlinePolygons Trace(const std::vector<std::string_view>& rows, int module_size = 1) {
    OutlineGrid grid = BuildOutlineGrid(QrModules(rows));
    OutlinePolygons polygons = TraceOutlinePolygons(grid, module_size);
    int x = 0;
    int y = 0;
    EXPECT_FALSE(kerbolt::ticket::FindOutlineStart(grid, x, y)) << "marks left after tracing";
    return polygons;
}

// Even-odd rule: whether (px, py) lies inside an odd number of the polygons.
bool InsideEvenOdd(const OutlinePolygons& polygons, double px, double py) {
    bool inside = false;
    for (const auto& polygon : polygons) {
        for (std::size_t i = 1; i < polygon.size(); ++i) {
            const OutlinePoint a = polygon[i - 1];
            const OutlinePoint b = polygon[i];
            if ((a.y > py) != (b.y > py) &&
                px < a.x + (py - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y)) {
                inside = !inside;
            }
        }
    }
    return inside;
}

// Every module centre is dark in the even-odd fill of the outlines exactly when the module is.
void ExpectFillMatches(const QrModules& modules, const OutlinePolygons& polygons) {
    for (int y = 0; y < modules.Size(); ++y) {
        for (int x = 0; x < modules.Size(); ++x) {
            ASSERT_EQ(InsideEvenOdd(polygons, x + 0.5, y + 0.5), modules.IsDark(x, y))
                << "module " << x << "," << y;
        }
    }
}

// Shoelace sum; positive for clockwise with y downwards.
long long SignedArea(const std::vector<OutlinePoint>& polygon) {
    long long sum = 0;
    for (std::size_t i = 1; i < polygon.size(); ++i) {
        sum += static_cast<long long>(polygon[i - 1].x) * polygon[i].y -
               static_cast<long long>(polygon[i].x) * polygon[i - 1].y;
    }
    return sum;
}

using Points = std::vector<OutlinePoint>;

TEST(QrOutline, IsolatedModuleIsFivePointsClockwiseFromTopLeft) {
    const OutlinePolygons polygons = Trace({"...", ".#.", "..."}, 120);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0], (Points{{120, 120}, {240, 120}, {240, 240}, {120, 240}, {120, 120}}));
}

TEST(QrOutline, StraightRunsKeepOnlyTheirEnds) {
    const OutlinePolygons row = Trace({"####", "....", "....", "...."});
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], (Points{{0, 0}, {4, 0}, {4, 1}, {0, 1}, {0, 0}}));

    const OutlinePolygons column = Trace({".#..", ".#..", ".#..", "...."});
    ASSERT_EQ(column.size(), 1u);
    EXPECT_EQ(column[0], (Points{{1, 0}, {2, 0}, {2, 3}, {1, 3}, {1, 0}}));

    // An L keeps its six corners.
    const OutlinePolygons ell = Trace({"#..", "#..", "###"});
    ASSERT_EQ(ell.size(), 1u);
    EXPECT_EQ(ell[0], (Points{{0, 0}, {1, 0}, {1, 2}, {3, 2}, {3, 3}, {0, 3}, {0, 0}}));
}

TEST(QrOutline, HoleIsASecondCounterClockwisePolygon) {
    const std::vector<std::string_view> ring = {"###", "#.#", "###"};
    const OutlinePolygons polygons = Trace(ring);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0], (Points{{0, 0}, {3, 0}, {3, 3}, {0, 3}, {0, 0}}));
    EXPECT_EQ(polygons[1], (Points{{1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1}}));
    EXPECT_GT(SignedArea(polygons[0]), 0);
    EXPECT_LT(SignedArea(polygons[1]), 0);
    ExpectFillMatches(QrModules(ring), polygons);
}

TEST(QrOutline, CornerTouchingModulesPassTheSharedVertexTwice) {
    const std::vector<std::string_view> diagonal = {"#..", ".#.", "..."};
    const OutlinePolygons polygons = Trace(diagonal);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0],
              (Points{{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}, {0, 1}, {0, 0}}));
    ExpectFillMatches(QrModules(diagonal), polygons);

    const std::vector<std::string_view> anti = {".#", "#."};
    ExpectFillMatches(QrModules(anti), Trace(anti));
    // A light module touching the light outside only at a corner, inside a dark area.
    const std::vector<std::string_view> notch = {"####", "#.##", "##.#", "####"};
    ExpectFillMatches(QrModules(notch), Trace(notch));
}

TEST(QrOutline, EmptySymbolHasNoPolygons) {
    EXPECT_TRUE(Trace({"..", ".."}).empty());
    EXPECT_TRUE(Trace({}).empty());
}

TEST(QrOutline, CollinearRule) {
    using kerbolt::ticket::IsCollinearPoint;
    EXPECT_TRUE(IsCollinearPoint({0, 0}, {1, 0}, {2, 0}));
    EXPECT_TRUE(IsCollinearPoint({0, 0}, {0, 1}, {0, 2}));
    EXPECT_FALSE(IsCollinearPoint({0, 0}, {1, 0}, {1, 1}));
    EXPECT_FALSE(IsCollinearPoint({0, 0}, {1, 1}, {2, 2})); // diagonals are never merged
}

TEST(QrPicture, TwentyOneModulesAt120Twips) {
    // A symbol dark from edge to edge shows the extent of the dark areas.
    const std::string full_row(21, '#');
    const std::vector<std::string_view> rows(21, full_row);
    const kerbolt::ticket::QrPicture picture =
        kerbolt::ticket::RenderQrPicture(QrModules(rows), 120, 0);
    EXPECT_EQ(picture.square, 2640);
    ASSERT_EQ(picture.polygons.size(), 1u);
    int min_x = 1 << 30, max_x = -1, min_y = 1 << 30, max_y = -1;
    for (const OutlinePoint& p : picture.polygons[0]) {
        min_x = std::min(min_x, p.x);
        max_x = std::max(max_x, p.x);
        min_y = std::min(min_y, p.y);
        max_y = std::max(max_y, p.y);
    }
    EXPECT_EQ(min_x, 59);
    EXPECT_EQ(max_x, 2579);
    EXPECT_EQ(min_y, 59);
    EXPECT_EQ(max_y, 2579);
    // Upright: the symbol's top row ends up at the high end of the upward y axis.
    const kerbolt::ticket::QrPicture corner =
        kerbolt::ticket::RenderQrPicture(QrModules({"#..", "...", "..."}), 120, 0);
    EXPECT_EQ(corner.polygons[0][0], (OutlinePoint{59, 419}));
    EXPECT_EQ(corner.polygons[0][2], (OutlinePoint{179, 299}));
}

TEST(QrPicture, EncodedSymbolFillsExactlyItsDarkModules) {
    const auto symbol = kerbolt::ticket::EncodeQrSymbol("Rue du Marché 12\r\n1003 Lausanne", {});
    ASSERT_TRUE(symbol.has_value());
    EXPECT_EQ(symbol->modules.Size(), 17 + 4 * symbol->version);
    OutlineGrid grid = BuildOutlineGrid(symbol->modules);
    ExpectFillMatches(symbol->modules, TraceOutlinePolygons(grid, 1));
}

TEST(QrPicture, EncodingLimitsAndOptions) {
    // Text beyond version 25 at level M: no picture.
    EXPECT_FALSE(kerbolt::ticket::CreateTicketQrPicture(std::string(2000, 'x')).has_value());
    // An empty text is a symbol without data.
    const auto empty = kerbolt::ticket::CreateTicketQrPicture("");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->version, 1);
    EXPECT_EQ(empty->square, 120 * 22);
    // Short text is boosted to the highest level that still fits.
    EXPECT_EQ(kerbolt::ticket::CreateTicketQrPicture("HELLO")->ecl, 3);
    kerbolt::ticket::QrEncodeOptions no_boost;
    no_boost.boost_ecl = false;
    EXPECT_EQ(kerbolt::ticket::CreateQrPicture("HELLO", 0, 120, no_boost)->ecl, 1);
    // Zero bytes are carried, not cut short.
    const auto with_zero = kerbolt::ticket::EncodeQrSymbol(std::string("a\0b", 3), {});
    ASSERT_TRUE(with_zero.has_value());

    kerbolt::ticket::QrEncodeOptions bad;
    bad.max_version = 41;
    EXPECT_THROW(kerbolt::ticket::EncodeQrSymbol("x", bad), std::invalid_argument);
    bad = {};
    bad.ecl = 4;
    EXPECT_THROW(kerbolt::ticket::EncodeQrSymbol("x", bad), std::invalid_argument);
    EXPECT_THROW(kerbolt::ticket::CreateQrPicture("x", 0, 0, {}), std::invalid_argument);
}

} // namespace
