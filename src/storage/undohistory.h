#pragma once
// The rules of the board's undo history, apart from any window: the list of
// steps (bounded, a new step cuts off what could be redone, a burst of the
// same edit merged into one step), what each day file held when it was last
// loaded or saved, and which recovery file each step writes or removes.
//
// Each board a load brings starts a line of steps of its own, and each line
// writes its own recovery file: a board never replaces the recovery file of
// a board it did not come from (one left by a crash, one of the day before a
// reload). A save, or a step back to what the day file holds, removes the
// line's own file alone.

#include "foundation/datetime.h"
#include "foundation/files.h"
#include "storage/boardstate.h"
#include "storage/recovery.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace kab::storage {

// What the board shows besides its blocks: the day and its labels.
struct DayShown {
    DateSerial month = 0, day = 0;
    SjisString weekday, monthText;
    std::uint32_t monthColour = 0; // as 0xAARRGGBB
    friend bool operator==(const DayShown&, const DayShown&) = default;
};

// An edit of one field of one block: its start (the block moves along its
// row) or its duration (it grows or shrinks).
struct FieldEdit {
    enum Field { Start, Duration };
    int block = 0; // 1 to kBlockCount
    Field field = Start;
    friend bool operator==(const FieldEdit&, const FieldEdit&) = default;
};
// The field edit that turns before into after, when it is one: a single block
// differs, in its start or in its duration alone, and nothing else changed.
std::optional<FieldEdit> fieldEdit(const BoardState& before, const BoardState& after);

class UndoHistory {
public:
    // At least this many steps can be undone.
    static constexpr std::size_t kSteps = 128;

    // The board as the start left it. When the day has boards left unsaved
    // by earlier runs in the recovery folder, they are the steps before it,
    // the latest right before it. Boards earlier releases kept in the data
    // folder are moved into the recovery folder first.
    UndoHistory(FilePath dataDir, FilePath recoveryFolder, const DayShown& shown,
                const BoardState& board);

    enum class Change {
        Edit,  // the user changed the board or the day
        Burst, // an edit by the wheel or by typing: one of a run of the same
        Load,  // the day's file was loaded onto the board
    };
    // The board as it stands after a change. A board and day that differ
    // from the step on show become the next step (what could be redone is
    // gone), or replace it when a burst goes on: the step on show is the
    // last, came from a burst, and this is the same field of the same block
    // on the same day. Returns whether anything changed.
    bool take(const DayShown& shown, const BoardState& board, Change change);

    // What comes next starts a step of its own, burst or not: the user took
    // up the mouse.
    void endBurst() { burst_.reset(); }

    // A step back or on; false when there is none. The step on show is then
    // the one to put on the board.
    bool undo();
    bool redo();
    // The day on show was saved from the board on show.
    void saved();

    const DayShown& shown() const { return steps_[at_].shown; }
    const BoardState& board() const { return board_; }
    // Whether the board on show differs from its day's file as last loaded
    // or saved.
    bool unsaved() const;
    std::size_t undoable() const { return at_; }
    std::size_t redoable() const { return steps_.size() - 1 - at_; }
    // Waits until the recovery files are written as the steps so far ask.
    void flush() { writer_.flush(); }

private:
    struct Step {
        DayShown shown;
        std::string board; // encodeBoard: a few kilobytes for a full day
        int line = 0;      // the line of steps it belongs to
    };
    enum class Keep { Edit, Load, Restore };

    void push(const DayShown& shown, const BoardState& board, bool newLine);
    bool moveTo(std::size_t at);
    // The recovery file of the day on show after a change from `from`.
    void keep(Keep change, const DayShown& from);
    // The recovery file of the step's line, which takes one where it has
    // none yet: the file its board came from, else a free one of its day.
    FilePath recoveryFile(const Step& step);
    // The line's recovery file goes, and the line holds none.
    void release(int line);
    FilePath dayFile(const DayShown& shown) const;
    void offerRecovered();

    FilePath dataDir_, recoveryFolder_;
    std::deque<Step> steps_;
    std::size_t at_ = 0;             // the step on show
    BoardState board_;               // its board, decoded
    std::optional<FieldEdit> burst_; // the edit the step on show merges
    // Records of each day file as last loaded or saved, by its path.
    std::map<FilePath, std::string> baselines_;
    struct LineFile {
        FilePath path;
        std::string records; // what it holds
    };
    std::map<int, LineFile> lineFiles_; // each line's, once it has one
    int lines_ = 0;                     // lines started so far
    RecoveryWriter writer_;
};

} // namespace kab::storage
