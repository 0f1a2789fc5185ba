#include "app/core/ticket/qr_outline.h"

#include <stdexcept>

namespace kerbolt::ticket {

OutlineGrid::OutlineGrid(int size)
    : size_(size),
      vertices_(static_cast<std::size_t>(size + 1) * static_cast<std::size_t>(size + 1)) {
    if (size < 0) throw std::invalid_argument("QR outline: negative size");
}

OutlineVertex& OutlineGrid::At(int x, int y) {
    return vertices_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_ + 1) +
                     static_cast<std::size_t>(x)];
}

const OutlineVertex& OutlineGrid::At(int x, int y) const {
    return const_cast<OutlineGrid*>(this)->At(x, y);
}

OutlineGrid BuildOutlineGrid(const QrModules& symbol) {
    const int size = symbol.Size();
    OutlineGrid grid(size);
    for (int y = 0; y <= size; ++y) {
        for (int x = 0; x <= size; ++x) {
            const bool here = symbol.IsDark(x, y);
            const bool left = symbol.IsDark(x - 1, y);
            const bool above = symbol.IsDark(x, y - 1);
            const bool above_left = symbol.IsDark(x - 1, y - 1);
            OutlineVertex& vertex = grid.At(x, y);
            vertex.Right = !above && here ? 1 : 0;
            vertex.Down = left && !here ? 1 : 0;
            vertex.Left = above_left && !left ? 1 : 0;
            vertex.Up = !above_left && above ? 1 : 0;
        }
    }
    return grid;
}

bool FindOutlineStart(const OutlineGrid& grid, int& x, int& y) {
    for (int row = y; row <= grid.Size(); ++row) {
        for (int column = row == y ? x : 0; column <= grid.Size(); ++column) {
            if (grid.At(column, row).Any()) {
                x = column;
                y = row;
                return true;
            }
        }
    }
    return false;
}

bool IsCollinearPoint(OutlinePoint before_last, OutlinePoint last, OutlinePoint point) {
    return (before_last.x == last.x && last.x == point.x) ||
           (before_last.y == last.y && last.y == point.y);
}

void AppendOutlinePoint(std::vector<OutlinePoint>& polygon, OutlinePoint point) {
    const std::size_t count = polygon.size();
    if (count >= 2 && IsCollinearPoint(polygon[count - 2], polygon[count - 1], point)) {
        polygon.pop_back();
    }
    polygon.push_back(point);
}

OutlinePolygons TraceOutlinePolygons(OutlineGrid& grid, std::int32_t module_size) {
    OutlinePolygons polygons;
    // Tracing clears marks and never adds any, so each search can go on from the last start.
    int x = 0;
    int y = 0;
    while (FindOutlineStart(grid, x, y)) {
        std::vector<OutlinePoint> polygon;
        AppendOutlinePoint(polygon, {x * module_size, y * module_size});
        for (;;) {
            OutlineVertex& vertex = grid.At(x, y);
            if (vertex.Right != 0) {
                vertex.Right = 0;
                ++x;
            } else if (vertex.Down != 0) {
                vertex.Down = 0;
                ++y;
            } else if (vertex.Left != 0) {
                vertex.Left = 0;
                --x;
            } else if (vertex.Up != 0) {
                vertex.Up = 0;
                --y;
            } else {
                break;
            }
            AppendOutlinePoint(polygon, {x * module_size, y * module_size});
        }
        polygons.push_back(std::move(polygon));
    }
    return polygons;
}

} // namespace kerbolt::ticket
