#pragma once
// What the printed page of a day shows, without Qt: the blocks as the board
// draws them, the day's assignments as a list and the hours per person. The
// board on show and a day file both give one; one piece of code draws it.

#include "board/palette.h"
#include "foundation/datetime.h"
#include "report/hours.h"
#include "report/month.h"
#include "storage/boardstate.h"

#include <optional>
#include <vector>

namespace kab::report {

// A block in the board's pixels: its bounds on the grid, its colour and the
// texts of its caption, time label and duration label.
struct PageBlock {
    int left = 0, top = 0, width = 0;
    board::Rgb colour{};
    SjisString name, times, duration;
};

// A line of the list: the block's row, name and times as the board shows
// them, and its hours (none when its duration is no number).
struct PageEntry {
    int row = 0;
    int left = 0; // orders a row's entries as the board shows them
    SjisString name, start, end;
    std::optional<Hours> hours;
};

struct PageTotal {
    SjisString name; // empty: the blocks without a name
    int blocks = 0;
    Hours hours;
};

struct DayPage {
    DateSerial date = 0;
    std::vector<PageBlock> blocks; // back to front, as the board stacks them
    std::vector<PageEntry> entries;
    // filled by finishPage
    std::vector<PageTotal> totals; // per name, by name, then the unnamed
    Hours total;
};

// "2026年12月7日(月)"
SjisString pageTitle(DateSerial date);

// Orders the entries by row and place and adds up the hours per name. A
// name of "---" or none is nobody's.
void finishPage(DayPage& page);

// The page of a read day: each shift on the block the load gives it, with
// that block's colour, placed by the board's own rules.
DayPage dayPage(const Day& day);
// The page of the board on show: its placed blocks as they lie, back to
// front, each in the colour the board gives it, and a line for every block a
// save writes.
DayPage boardPage(const storage::BoardState& board, DateSerial date);

} // namespace kab::report
