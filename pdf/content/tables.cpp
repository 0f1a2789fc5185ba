// Tables: a grid of columns and rows that grow on demand, whose cells are framed rectangles.
#include "pdf/content/content.h"
#include "pdf/content/number_parsing.h"

#include "pdf/writer/writer.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace pagora {

namespace {

// The grid keeps a boundary for every row up to the last one asked for. A million rows is more
// than any page shows (each would be a hundredth of a point on the tallest page a reader opens),
// so a row number past it is refused at once rather than reserving memory for every row before
// it.
constexpr std::int64_t kMaxTableRows = std::int64_t{1} << 20;

detail::TableRecord* InnermostTable(Pagora::Members& m) {
    std::vector<detail::TableRecord>& tables = m.content.kept.tables.tables;
    return tables.empty() ? nullptr : &tables.back();
}

void OpenTable(Pagora::Members& m, float X, float Y, float RowsHeight,
               const std::vector<double>& widths) {
    detail::TableRecord table;
    table.x = X;
    table.y = Y;
    table.columns = static_cast<std::int32_t>(widths.size());
    table.column_x.reserve(widths.size() + 1);
    table.column_x.push_back(X);
    // A running sum in double, each boundary kept in single precision.
    double sum = X;
    for (const double width : widths) {
        sum += width;
        table.column_x.push_back(static_cast<float>(sum));
    }
    table.rows = 1;
    table.row_height = RowsHeight;
    table.row_y = {Y, Y + RowsHeight};
    m.content.kept.tables.tables.push_back(std::move(table));
    detail::PushGraphicState(m);
}

} // namespace

void Pagora::BeginTable(float X, float Y, float RowsHeight,
                        const std::vector<double>& ColsWidth) try {
    OpenTable(*m_, X, Y, RowsHeight, ColsWidth);
} catch (...) {
    detail::RethrowFailure("BeginTable");
}

void Pagora::BeginTable(float X, float Y, float RowsHeight,
                        const std::vector<std::string>& ColsWidth) try {
    std::vector<double> widths;
    widths.reserve(ColsWidth.size());
    for (const std::string& text : ColsWidth) {
        const std::optional<double> width = detail::ReadWholeNumber(text);
        if (!width) detail::RaiseError(detail::kErrTypeMismatch, "BeginTable");
        widths.push_back(*width);
    }
    OpenTable(*m_, X, Y, RowsHeight, widths);
} catch (...) {
    detail::RethrowFailure("BeginTable");
}

std::array<float, 4> Pagora::TableCell(std::int32_t Row, std::int32_t Col, std::int32_t RowSpan,
                                       std::int32_t ColSpan, std::int32_t Options,
                                       std::int32_t BoxBorder, float Ray) try {
    detail::TableRecord* table = InnermostTable(*m_);
    if (table == nullptr) return {0, 0, 0, 0};

    const std::int64_t last = std::int64_t{Row} + RowSpan - 1;
    if (Row < 1 || last < 0) detail::RaiseError(detail::kErrSubscript, "TableCell");
    if (last > kMaxTableRows) detail::RaiseError(detail::kErrOverflow, "TableCell");
    if (table->rows < last) {
        // Grown by at least half again, not to the exact count: a table that gains its rows one
        // at a time would otherwise copy all its row boundaries for every row.
        const auto wanted = static_cast<std::size_t>(last) + 1;
        if (wanted > table->row_y.capacity())
            table->row_y.reserve(std::max(wanted, table->row_y.capacity() * 3 / 2));
        for (std::int64_t k = table->rows + 1; k <= last; ++k)
            table->row_y.push_back(table->row_y.back() + table->row_height);
        table->rows = static_cast<std::int32_t>(last);
    }

    table->row = Row;
    table->row_span = RowSpan;
    if (Col > table->columns) Col = table->columns;
    if (Col < 1) Col = 1;
    if (std::int64_t{Col} + ColSpan - 1 > table->columns) ColSpan = table->columns - Col + 1;
    table->col = Col;
    table->col_span = ColSpan;
    const std::int64_t last_column = std::int64_t{Col} + ColSpan - 1;
    // Row numbers of 0 and spans below 0 point before the first boundary.
    if (last_column < 0 || Row - 1 > table->rows)
        detail::RaiseError(detail::kErrSubscript, "TableCell");

    const float x = table->column_x[static_cast<std::size_t>(Col - 1)];
    const float y = table->row_y[static_cast<std::size_t>(Row - 1)];
    const float width = table->column_x[static_cast<std::size_t>(last_column)] - x;
    const float height = table->row_y[static_cast<std::size_t>(last)] - y;

    // A frame that paints nothing is not written: its path would stay open and be stroked by
    // the next unrelated stroke.
    const bool paints = (Options & detail::kNoStroke) == 0 ||
                        (Options & (detail::kFillPath | detail::kClipPath)) != 0;
    if (paints) {
        DrawRect(x, y, width, height, Options, BoxBorder, Ray);
    } else {
        detail::SetPosition(*m_, x, y);
        const float sf = m_->writer.scale_factor;
        const float page_height = m_->writer.page_height;
        detail::SetLastBounds(*m_, x * sf, page_height - y * sf, x * sf + width * sf,
                              page_height - (y * sf + height * sf));
    }
    return {x, y, width, height};
} catch (...) {
    detail::RethrowFailure("TableCell");
}

void Pagora::TableRowHeight(float Value) try {
    detail::TableRecord* table = InnermostTable(*m_);
    if (Value > 0 && table != nullptr) table->row_height = Value;
} catch (...) {
    detail::RethrowFailure("TableRowHeight");
}

void Pagora::EndTable() try {
    if (m_->content.kept.tables.tables.empty()) return;
    m_->content.kept.tables.tables.pop_back();
    detail::PopGraphicState(*m_);
} catch (...) {
    detail::RethrowFailure("EndTable");
}

} // namespace pagora
