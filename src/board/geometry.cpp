#include "board/geometry.h"

#include "foundation/datetime.h"

namespace kab::board {

namespace {

// 5:00 as a fraction of a day, to extended precision, so that starts built
// from quarter-hour steps land exactly on pixel boundaries.
constexpr long double boardStart = 0.20833333333333333334L;

} // namespace

Span placeBlock(double start, double durationHours) {
    long double d = static_cast<long double>(start) - boardStart;
    return Span{
        static_cast<int>(roundHalfEven(d * 24 * hourWidth)),
        static_cast<int>(roundHalfEven(static_cast<long double>(durationHours) * hourWidth)),
    };
}

double startFromLeft(int left) {
    return static_cast<double>(static_cast<long double>(left) / 24 / hourWidth + boardStart);
}

int rowOfTop(int top) {
    return top / rowHeight;
}

int topOfRow(int row) {
    return row * rowHeight + 3;
}

bool onBoard(int top) {
    return top <= boardTopLimit;
}

Snap snapDragPosition(int x, int y) {
    int sx = snapStep * (x / snapStep);
    int sy = rowHeight * (y / rowHeight) + 3;
    if (sx < hourWidth || sx >= 19 * hourWidth) return {Snap::Ignored, sx, sy};
    if (sy < rowHeight) return {Snap::Ignored, sx, sy};
    if (sy > rowHeight * rowCount) return {Snap::Parking, parkingLeft, parkingTop};
    return {Snap::Board, sx, sy};
}

} // namespace kab::board
