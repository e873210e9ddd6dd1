#pragma once
// Unsaved work survives: the undo history of the board on show, the window's
// keys (Ctrl+Z undo; Ctrl+Shift+Z and Ctrl+Y redo; Ctrl+S save) and the
// recovery files of days with unsaved changes.
//
// The board is taken whole after a handler has ended, never inside one: after
// each key, mouse button, wheel or drop event the application delivered,
// when the event loop falls idle, and around the month buttons, the day
// picker and the save button, whose handlers it wraps. A state that differs
// from the last one is a step.
//
// Each board a load brings starts a line of steps of its own, and each line
// writes its own recovery file: a board never replaces the recovery file of
// a board it did not come from (one left by a crash, one of the day before a
// reload). A save, or a step back to what the day file holds, removes the
// line's own file alone. Undo and redo put a step back through the
// block-state helpers and run no handler: no block is current afterwards, as
// after a load.

#include "foundation/datetime.h"
#include "foundation/files.h"
#include "storage/boardstate.h"
#include "storage/recovery.h"

#include <QHash>
#include <QObject>
#include <QRgb>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QShortcut;

namespace kab {

class TForm1;

class History : public QObject {
public:
    // At least this many steps can be undone.
    static constexpr std::size_t kSteps = 128;

    // Takes the board as the start-up left it. When the day on show has a
    // recovery file from an earlier run, its board becomes the step before.
    explicit History(TForm1& form);
    ~History() override;

    void undo();
    void redo();
    // The day on show was saved from the board on show (the save calls it).
    void saved();
    // As the save button does, whatever has the focus.
    void save();

    // The board as it stands becomes the latest step, if it changed.
    void settle();
    // Steps that can be undone, and redone.
    std::size_t undoable() const { return at_; }
    std::size_t redoable() const { return states_.size() - 1 - at_; }
    // Waits until the recovery files are written as the steps so far ask.
    void flushRecovery() { writer_.flush(); }

    // Called after each step taken, undone or redone and after each save,
    // when the board has settled: the month window follows the board so.
    std::function<void()> stepped;
    // The board of the step on show, and whether it differs from its day's
    // file as last loaded or saved (history_month.cpp).
    const storage::BoardState& board() const { return board_; }
    bool unsaved() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the board shows besides its blocks: the day and its labels.
    struct Shown {
        DateSerial month = 0, day = 0;
        SjisString weekday, monthText;
        QRgb monthColour = 0;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    struct State {
        Shown shown;
        std::string board; // encodeBoard: a few kilobytes for a full day
        int line = 0;      // the line of steps it belongs to
    };
    enum class Change { Edit, Load, Restore };

    storage::BoardState takeBoard() const;
    Shown takeShown() const;
    bool quiet() const;
    // A new step from what the controls hold; the day from the last step
    // when only the board may have changed (the day picker mid-change).
    void take(Change change, bool boardOnly = false);
    void push(Shown shown, const storage::BoardState& board, bool newLine);
    void restore(const State& state);
    void restack(const storage::BoardState& board);
    void announce() {
        if (stepped) stepped();
    }
    // The recovery file of the day on show after a change from `from`.
    void keep(Change change, const Shown& from);
    // The recovery file of the state's line, which takes one where it has
    // none yet: the file its board came from, else a free one of its day.
    FilePath recoveryFile(const State& state);
    // The line's recovery file goes, and the line holds none.
    void release(int line);
    FilePath dayFile(const Shown& shown) const;
    void offerRecovered();
    void wrapHandlers();
    void addKeys();

    TForm1& form_;
    QHash<const QObject*, int> numbers_; // the blocks' panels and their numbers
    std::deque<State> states_;
    std::size_t at_ = 0;        // the step on show
    storage::BoardState board_; // its board, decoded
    bool restoring_ = false;
    // Records of each day file as last loaded or saved, by its path.
    std::map<FilePath, std::string> baselines_;
    FilePath recoveryFolder_;
    std::map<int, FilePath> recoveryFiles_; // each line's, once it has one
    std::map<int, std::string> lineRecords_; // the records each line's file holds
    int lines_ = 0;                         // lines started so far
    storage::RecoveryWriter writer_;
    std::vector<std::unique_ptr<QShortcut>> keys_;
    std::vector<std::function<void()>> unwrap_;
};

} // namespace kab
