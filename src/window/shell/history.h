#pragma once
// Unsaved work survives: the undo history of the board on show, the window's
// keys (Ctrl+Z undo; Ctrl+Shift+Z and Ctrl+Y redo; Ctrl+S save) and the
// recovery files of days with unsaved changes. The rules of the steps and of
// the recovery files are storage::UndoHistory's; this side takes the board
// from the controls and puts it back.
//
// The board is taken whole after a handler has ended, never inside one: after
// each key, mouse button, wheel or drop event the application delivered, and
// when the event loop falls idle. The day's handlers say where a day change
// starts and ends (DayChange), and the save says when it went through
// (saved()). A state that differs from the last one is a step; a wheel notch
// or a key that edits the same field of the same block as the step before
// goes on in that step.
//
// Undo and redo put a step back through the block-state helpers and run no
// handler: no block is current afterwards, as after a load.

#include "storage/undohistory.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class QShortcut;

namespace kab {

class TForm1;

class History : public QObject {
public:
    // At least this many steps can be undone.
    static constexpr std::size_t kSteps = storage::UndoHistory::kSteps;

    // Takes the board as the start-up left it. When the day on show has a
    // recovery file from an earlier run, its board becomes the step before.
    explicit History(TForm1& form);
    ~History() override;

    // A change of the day on show, from the top of a day or month handler to
    // its end: what the board showed before is a step of its own (the day as
    // the last step had it, since the day picker may already show the new
    // day), and the day loaded is the next, also when its load failed
    // part-way. Handlers that run inside another's change add nothing.
    class DayChange {
    public:
        explicit DayChange(History* history);
        ~DayChange();
        DayChange(const DayChange&) = delete;
        DayChange& operator=(const DayChange&) = delete;

    private:
        History* history_;
    };

    void undo();
    void redo();
    // The day on show was saved from the board on show (the save calls it).
    void saved();
    // As the save button does, whatever has the focus.
    void save();

    // The board as it stands becomes the latest step, if it changed.
    void settle();
    // Steps that can be undone, and redone.
    std::size_t undoable() const { return steps_.undoable(); }
    std::size_t redoable() const { return steps_.redoable(); }
    // Waits until the recovery files are written as the steps so far ask.
    void flushRecovery() { steps_.flush(); }

    // Called after each step taken, undone or redone and after each save,
    // when the board has settled: the month window follows the board so.
    std::function<void()> stepped;
    // The board of the step on show, and whether it differs from its day's
    // file as last loaded or saved.
    const storage::BoardState& board() const { return steps_.board(); }
    bool unsaved() const { return steps_.unsaved(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Change = storage::UndoHistory::Change;

    bool quiet() const;
    // A new step from what the controls hold; the day from the last step
    // when only the board may have changed (the day picker mid-change).
    void take(Change change, bool boardOnly = false);
    void restore();
    void restack(const storage::BoardState& board);
    void announce() {
        if (stepped) stepped();
    }
    void addKeys();

    TForm1& form_;
    storage::UndoHistory steps_;
    bool restoring_ = false;
    int dayChanges_ = 0; // day changes under way, nested ones included
    // The input being delivered is the wheel or a key: what it changes may
    // go on in the step before.
    bool burstInput_ = false;
    std::vector<std::unique_ptr<QShortcut>> keys_;
};

} // namespace kab
