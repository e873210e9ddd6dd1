#include "board/geometry.h"

#include "foundation/datetime.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kab::board {

namespace {

// 5:00 as a fraction of a day, to extended precision, so that starts built
// from quarter-hour steps land exactly on pixel boundaries.
constexpr long double boardStart = 0.20833333333333333334L;

} // namespace

int clampToInt(std::int64_t v) {
    // a typed or stored duration can be any size; widths and minutes stay ints
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int leftOfStart(double start) {
    const long double d = static_cast<long double>(start) - boardStart;
    return clampToInt(roundHalfEven(d * 24 * hourWidth));
}

int widthOfHours(long double durationHours) {
    return clampToInt(roundHalfEven(durationHours * hourWidth));
}

double startFromLeft(int left) {
    return static_cast<double>(static_cast<long double>(left) / 24 / hourWidth + boardStart);
}

int rowOfTop(int top) {
    return top / rowHeight;
}

int topOfRow(std::int64_t row) {
    return clampToInt(row * rowHeight + 3);
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
