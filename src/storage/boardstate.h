#pragma once
// What the board shows, block by block, as plain values: the undo history
// keeps it, and a recovery file carries it behind the records a save writes.

#include "board/pool.h"
#include "foundation/sjis.h"
#include "foundation/textlist.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kab::storage {

// One block as its controls hold it.
struct BlockState {
    int left = 0, top = 0, width = 0;
    int tag = 0; // the placed flag
    SjisString hint, name;
    SjisString times, duration; // the captions of its two labels
    friend bool operator==(const BlockState&, const BlockState&) = default;
};

struct BoardState {
    std::array<BlockState, board::kBlockCount> blocks; // block 1 first
    // Block numbers in the order they lie on each other, the bottom one
    // first: the last parked one is the one the user can grab.
    std::array<std::uint8_t, board::kBlockCount> stack{};
    friend bool operator==(const BoardState&, const BoardState&) = default;
};

// The records a save of this board writes, sorted. Throws as
// buildDayRecords does for a hint of one line.
TextList boardRecords(const BoardState& board);

// The board as lines of printable ASCII, each ended by CR LF, that
// decodeBoard reads back exactly: a header, the stack order, one line a
// block and an end line. Texts are written with every byte outside "!" to
// "~", and "%", as %XX, so that neither a double-byte character nor a line
// break can end a field or a line.
std::string encodeBoard(const BoardState& board);
// Nothing unless text is one whole board as encodeBoard writes it.
std::optional<BoardState> decodeBoard(std::string_view text);

} // namespace kab::storage
