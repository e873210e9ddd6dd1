#pragma once
// Board layout: eight rows under an hour scale whose x = 0 stands for 5:00,
// and the pixel rules that map a shift's start and length to a block.

#include <cstdint>

namespace kab::board {

constexpr std::uint8_t snapStep = 20; // half an hour
constexpr int hourWidth = 2 * snapStep;
constexpr int rowHeight = 44;
constexpr int rowCount = 9;
constexpr int colCount = 26;
constexpr int blockHeight = 38;

// Where a block dropped below the rows waits.
constexpr int parkingLeft = 160;
constexpr int parkingTop = 401;
constexpr int parkingWidth = 160;

// A block whose top is at most this is on the board, otherwise parked.
constexpr int boardTopLimit = 400;

struct Span {
    int left;
    int width;
    friend bool operator==(const Span&, const Span&) = default;
};

// start: a date serial's time of day (days); durationHours: hours. Both pixel
// values round half to even.
Span placeBlock(double start, double durationHours);
int leftOfStart(double start);
// Saturates at the ends of int.
int clampToInt(std::int64_t value);
// durationHours as read from the duration text, in extended precision, so
// that a tie in the decimal value ("4.0125" hours, 160.5 px) goes to even.
int widthOfHours(long double durationHours);

// The time of day (days) that a block's left edge stands for.
double startFromLeft(int left);

int rowOfTop(int top);
int topOfRow(int row);
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
