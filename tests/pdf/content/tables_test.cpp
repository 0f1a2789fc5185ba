// Table grids: cell rectangles, growing rows, clamped columns, nesting and the frames drawn.
#include "tests/pdf/content/content_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using content_test::Lines;
using pagora::PdfError;
using Cell = std::array<float, 4>;

class Tables : public content_test::PageContent {
protected:
    const pagora::detail::TableRecord& Innermost() {
        return Inner().content.kept.tables.tables.back();
    }
};

TEST_F(Tables, CellsOfAGrid) {
    pdf.BeginTable(10, 20, 5, std::vector<double>{30, 40, 50});
    EXPECT_EQ(Innermost().column_x, (std::vector<float>{10, 40, 80, 130}));
    EXPECT_EQ(Innermost().row_y, (std::vector<float>{20, 25}));
    Written();

    // Rows below the last are added on demand; the default frame paints nothing and is not
    // written at all.
    EXPECT_EQ(pdf.TableCell(3, 2), (Cell{40, 30, 40, 5}));
    EXPECT_EQ(Innermost().row_y, (std::vector<float>{20, 25, 30, 35}));
    EXPECT_EQ(Written(), Lines{});
    EXPECT_FLOAT_EQ(pdf.GetX(), 40);
    EXPECT_FLOAT_EQ(pdf.GetY(), 30);
    const auto& c = Inner().content;
    EXPECT_FLOAT_EQ(c.kept.last_box_x1, 40);
    EXPECT_FLOAT_EQ(c.kept.last_box_y1, 842 - 30);
    EXPECT_FLOAT_EQ(c.kept.last_box_x2, 80);
    EXPECT_FLOAT_EQ(c.kept.last_box_y2, 842 - 35);

    const struct {
        std::int32_t row, col, row_span, col_span;
        Cell cell;
    } cases[] = {
        {1, 5, 1, 1, {80, 20, 50, 5}},   // past the last column: the last column
        {1, 0, 1, 1, {10, 20, 30, 5}},   // before the first: the first
        {1, 2, 1, 9, {40, 20, 90, 5}},   // the span cut at the last column
        {2, 1, 2, 3, {10, 25, 120, 10}}, // spans across rows and columns
        {1, 2, 1, 0, {40, 20, 0, 5}},    {1, 2, 0, 1, {40, 20, 40, 0}},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(pdf.TableCell(k.row, k.col, k.row_span, k.col_span), k.cell)
            << k.row << "," << k.col << "," << k.row_span << "," << k.col_span;
    }
    EXPECT_EQ(Innermost().col, 2);
    EXPECT_EQ(Innermost().row_span, 0);

    // A new row height counts for rows added later only.
    pdf.TableRowHeight(8);
    pdf.TableRowHeight(-1);
    EXPECT_EQ(pdf.TableCell(4, 1), (Cell{10, 35, 30, 8}));
    EXPECT_EQ(pdf.TableCell(3, 1), (Cell{10, 30, 30, 5}));

    // A stroked frame is drawn as DrawRect draws it.
    Written();
    pdf.TableCell(1, 1, 1, 1, 0);
    EXPECT_EQ(Written(), (Lines{"10 20 30 5 re", "S"}));
    EXPECT_FLOAT_EQ(pdf.GetX(), 10);
    pdf.TableCell(2, 2, 1, 1, 5, 255, 2);
    const Lines rounded = Written();
    ASSERT_FALSE(rounded.empty());
    EXPECT_EQ(rounded.front(), "42 25 m");
    EXPECT_EQ(rounded.back(), "f*");
}

TEST_F(Tables, RefusedCellsAndNoTable) {
    EXPECT_EQ(pdf.TableCell(1, 1, 1, 1, 0), (Cell{0, 0, 0, 0}));
    pdf.TableRowHeight(5);
    pdf.EndTable();
    EXPECT_EQ(Written(), Lines{});

    pdf.BeginTable(0, 0, 10, std::vector<std::string>{"20", " 30.5 "});
    EXPECT_FLOAT_EQ(Innermost().column_x.back(), 50.5f);
    for (const auto& [row, col, row_span, col_span] : std::vector<std::array<std::int32_t, 4>>{
             {0, 1, 1, 1}, {-3, 1, 1, 1}, {1, 1, -1, 1}, {1, 2, 1, -2}, {3, 1, -1, 1}}) {
        try {
            pdf.TableCell(row, col, row_span, col_span, 0);
            ADD_FAILURE() << row << "," << col << "," << row_span << "," << col_span;
        } catch (const PdfError& error) {
            EXPECT_EQ(error.Number(), 9);
        }
    }
    EXPECT_EQ(Written(), Lines{});
    EXPECT_THROW(pdf.TableCell(2147483647, 1, 2), PdfError);
    EXPECT_THROW(pdf.BeginTable(0, 0, 10, std::vector<std::string>{"20", "wide"}), PdfError);
    EXPECT_EQ(Inner().content.kept.tables.tables.size(), 1u);

    // Without columns every cell is 0 wide.
    pdf.BeginTable(5, 5, 10, std::vector<double>{});
    EXPECT_EQ(pdf.TableCell(1, 3), (Cell{5, 5, 0, 10}));
}

TEST_F(Tables, NestedTablesSaveAndRestoreTheDrawingState) {
    pdf.SetColorLine("blue");
    pdf.BeginTable(0, 0, 10, std::vector<double>{100, 100});
    pdf.SetColorLine("red");
    const Cell outer = pdf.TableCell(2, 2);
    pdf.BeginTable(outer[0], outer[1], 4, std::vector<double>{50, 50});
    EXPECT_EQ(pdf.TableCell(1, 2), (Cell{150, 10, 50, 4}));
    pdf.EndTable();
    EXPECT_EQ(pdf.TableCell(1, 1), (Cell{0, 0, 100, 10}));
    Written();
    pdf.EndTable();
    // The stroke colour of the outer table's start comes back.
    const Lines restored = Written();
    ASSERT_FALSE(restored.empty());
    EXPECT_EQ(restored.front(), "0 0 1 RG");
    EXPECT_TRUE(Inner().content.kept.tables.tables.empty());
    EXPECT_EQ(pdf.TableCell(1, 1), (Cell{0, 0, 0, 0}));
}

// A table left open stays open when the document is started over.
TEST_F(Tables, OpenTablesOutliveANewDocument) {
    pdf.BeginTable(0, 0, 10, std::vector<double>{100});
    pagora::detail::StateOf(pdf).writer.in_page = false;
    pdf.Abort();
    EXPECT_EQ(pdf.TableCell(1, 1), (Cell{0, 0, 100, 10}));
}

} // namespace
