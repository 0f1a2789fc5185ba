// The outlines of a QR symbol's dark areas, traced along the module edges.
#pragma once

#include <cstdint>
#include <vector>

#include "app/core/ticket/qr_symbol.h"

namespace kerbolt::ticket {

// Marks of one grid vertex: 1 when the module edge leaving the vertex in that direction has a
// dark module on its right-hand side (y downwards) and a light one on its left.
struct OutlineVertex {
    std::int32_t Left = 0;
    std::int32_t Up = 0;
    std::int32_t Right = 0;
    std::int32_t Down = 0;

    bool Any() const { return (Left | Up | Right | Down) != 0; }
};

// One vertex per module corner: (size + 1) squared, vertex (x, y) the top-left corner of
// module (x, y).
class OutlineGrid {
public:
    explicit OutlineGrid(int size);
    int Size() const { return size_; }
    OutlineVertex& At(int x, int y);
    const OutlineVertex& At(int x, int y) const;

private:
    int size_;
    std::vector<OutlineVertex> vertices_;
};

struct OutlinePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const OutlinePoint&, const OutlinePoint&) = default;
};

// Every polygon closed (its last point repeats its first), in module edges times the module
// size, y downwards.
using OutlinePolygons = std::vector<std::vector<OutlinePoint>>;

// Dark areas come out bordered clockwise (y downwards), light holes in them counter-clockwise.
OutlineGrid BuildOutlineGrid(const QrModules& symbol);

// Walks the marks into polygons, clearing them; the grid ends empty.
OutlinePolygons TraceOutlinePolygons(OutlineGrid& grid, std::int32_t module_size);

// The first vertex with a mark, by rows from the top, left to right, searching from (x, y)
// onwards; false when none is left.
bool FindOutlineStart(const OutlineGrid& grid, int& x, int& y);

// Adds a point to the polygon, dropping the last one when it only lengthens a straight run.
void AppendOutlinePoint(std::vector<OutlinePoint>& polygon, OutlinePoint point);

// Whether `point` continues the vertical or horizontal line through the last two points.
bool IsCollinearPoint(OutlinePoint before_last, OutlinePoint last, OutlinePoint point);

} // namespace kerbolt::ticket
