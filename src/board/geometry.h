#pragma once
// Board layout: eight rows under an hour scale whose x = 0 stands for 5:00,
// and the pixel rules that map a shift's start and length to a block.

#include <cstdint>

namespace kab::board {

constexpr std::uint8_t snapStep = 20; // half an hour
constexpr int hourWidth = 2 * snapStep;
constexpr int rowHeight = 44;
// The hour header and eight rows; the row header, 6:00 to 23:00 and six hours
// of the next day.
constexpr int rowCount = 9;
constexpr int colCount = 26;
// Blocks and the drop ghost are as high as a row less 6.
constexpr int blockHeight = rowHeight - 6;

// Where a block dropped below the rows waits: 9:00 to 13:00 just under them.
constexpr int parkingLeft = 4 * hourWidth;
constexpr int parkingTop = rowHeight * rowCount + 5;
constexpr int parkingWidth = 4 * hourWidth;

// A block whose top is at most this is on the board, otherwise parked.
constexpr int boardTopLimit = 400;

// start: a date serial's time of day (days). Rounds half to even.
int leftOfStart(double start);
// Saturates at the ends of int.
int clampToInt(std::int64_t value);
// durationHours as read from the duration text, in extended precision, so
// that a tie in the decimal value ("4.0125" hours, 160.5 px) goes to even.
int widthOfHours(long double durationHours);

// The time of day (days) that a block's left edge stands for.
double startFromLeft(int left);

int rowOfTop(int top);
// Saturates at the ends of int: a day file's row can be any integer.
int topOfRow(std::int64_t row);
bool onBoard(int top);

struct Snap {
    enum Kind { Ignored, Parking, Board } kind;
    int x;
    int y;
    friend bool operator==(const Snap&, const Snap&) = default;
};

// Grid position for a block dragged to (x, y): Ignored outside the hour
// columns or above the first row, Parking below the last row.
Snap snapDragPosition(int x, int y);

} // namespace kab::board
