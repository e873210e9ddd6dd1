#pragma once
// The string grid's coordinates and rectangles, as plain values.

namespace kab::tk {

// Left, top, right, bottom; right and bottom exclusive.
struct CellRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    CellRect shifted(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

struct GridCoord {
    int col = -1, row = -1;
    bool valid() const { return col >= 0 && row >= 0; }
    friend bool operator==(const GridCoord&, const GridCoord&) = default;
};

// Cells of the selection: left <= right, top <= bottom.
struct GridRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int c, int r) const { return c >= left && c <= right && r >= top && r <= bottom; }
    friend bool operator==(const GridRect&, const GridRect&) = default;
};

enum DrawState : unsigned { Selected = 1, Focused = 2, Fixed = 4 };

} // namespace kab::tk
