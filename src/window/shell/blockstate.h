#pragma once
// What a block's controls hold, read and written here only: the placed flag
// in its panel's tag, the start and the duration in its hint (in the format
// of storage::joinHint, beside the day file's records), its name in
// the caption, the times and the duration on its two labels, and the place
// it waits at while parked.

#include "foundation/sjis.h"
#include "storage/boardstate.h"

#include <string_view>

namespace kab::tk {
class Label;
class Panel;
} // namespace kab::tk

namespace kab::blockstate {

// The name of a block without one, and the name box's first entry.
inline constexpr std::string_view kNoName = "---";

// Placed on the board since the pool was last reset or the block parked.
bool isPlaced(const tk::Panel& block);
void setPlaced(tk::Panel& block);

// The time label's text: the start above the end, joined by CR LF. (The
// hint's own format is storage::joinHint's.)
SjisString timesText(std::string_view start, std::string_view end);
// Its start and end as shown; a line it lacks reads as empty.
struct Times {
    SjisString start, end;
};
Times shownTimes(const tk::Label& times);

// Moves and sizes a block; its labels follow at once.
void setBounds(tk::Panel& block, int left, int top, int width);

// What a screen reader hears of a block: its row and its times as the board
// shows them ("3行目、13:00から17:00まで、4.0時間"), or that it waits in the
// stack ("待機中").
SjisString description(const tk::Panel& block, const tk::Label& times, const tk::Label& duration);

// Back to the stack, emptied: no hint, no name, no times, not placed, at the
// parking spot's top and width with the given left edge.
void park(tk::Panel& block, tk::Label& times, tk::Label& duration, int left);

// Everything a block shows, read and written whole: the undo history and the
// recovery files keep boards so. Writing runs no handler.
storage::BlockState capture(const tk::Panel& block, const tk::Label& times,
                            const tk::Label& duration);
void restore(tk::Panel& block, tk::Label& times, tk::Label& duration,
             const storage::BlockState& state);
// What capture reads of a block parked at the parking spot's left edge: of
// every block not made yet, too.
storage::BlockState parkedState();

} // namespace kab::blockstate
