#include "window/shell/history.h"

#include "window/shell/blockstate.h"
#include "window/shell/unit1.h"
#include "storage/dayfile.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QShortcut>
#include <QTimer>
#include <unistd.h>

namespace kab {

History::History(TForm1& form)
    : form_(form), recoveryFolder_(storage::recoveryFolder(form.dataDir())) {
    for (int n = 1; n <= TForm1::kBlocks; ++n)
        numbers_.insert(form_.Panel(n), n);
    board_ = takeBoard();
    states_.push_back({takeShown(), storage::encodeBoard(board_), ++lines_});
    try {
        baselines_[dayFile(states_[0].shown)] = storage::boardRecords(board_).text();
    } catch (const Error&) {
    }
    // what earlier releases kept in the data folder, where others may share it
    storage::adoptLegacyRecovery(form_.dataDir(), recoveryFolder_);
    offerRecovered();
    wrapHandlers();
    addKeys();
    qApp->installEventFilter(this);
    auto* app = tk::Application::instance();
    if (!app) return;
    connect(app, &tk::Application::inputHandled, this, [this] {
        if (quiet()) take(Change::Edit);
    });
    // what no input event brought (a screen reader's action) is taken once
    // the event loop has nothing left to do
    if (auto* loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, [this, app] {
            if (!app->delivering() && quiet()) take(Change::Edit);
        });
}

History::~History() {
    for (const auto& unwrap : unwrap_)
        unwrap();
    if (qApp) qApp->removeEventFilter(this);
    // the writer finishes what the steps asked before it goes
}

// --- taking the board -----------------------------------------------------------

storage::BoardState History::takeBoard() const {
    storage::BoardState board;
    for (int n = 1; n <= TForm1::kBlocks; ++n)
        board.blocks[std::size_t(n - 1)] = blockstate::capture(*form_.Panel(n), *form_.Label(n),
                                                               *form_.Label(n + TForm1::kBlocks));
    // the grid's children lie in their stacking order, the bottom one first
    std::size_t at = 0;
    std::array<bool, TForm1::kBlocks + 1> seen{};
    for (const QObject* child : form_.sg1->children()) {
        const int n = numbers_.value(child);
        if (n == 0) continue;
        board.stack[at++] = std::uint8_t(n);
        seen[std::size_t(n)] = true;
    }
    // blocks outside the grid (a start-up that stopped early) below them
    for (int n = 1; at < board.stack.size(); ++n)
        if (!seen[std::size_t(n)]) board.stack[at++] = std::uint8_t(n);
    return board;
}

History::Shown History::takeShown() const {
    return {form_.currentMonth(), form_.dtp0->value(), form_.LabelA->caption(),
            form_.LabelB->caption(), form_.LabelB->textColor().rgba()};
}

bool History::quiet() const {
    // not while a block is held, nor while a button is down (the picker's
    // arrows repeat): the step is what the release leaves
    return !restoring_ && !form_.Timer1->isActive() &&
           QGuiApplication::mouseButtons() == Qt::NoButton;
}

void History::settle() {
    take(Change::Edit);
}

void History::take(Change change, bool boardOnly) {
    if (restoring_) return;
    // Runs after handlers and on their ways out: nothing may escape.
    try {
        storage::BoardState board = takeBoard();
        const Shown from = states_[at_].shown;
        Shown shown = boardOnly ? from : takeShown();
        if (board == board_ && shown == from) {
            if (change == Change::Load) keep(change, from);
            return;
        }
        push(std::move(shown), board, change == Change::Load);
        keep(change, from);
        announce();
    } catch (...) {
    }
}

void History::push(Shown shown, const storage::BoardState& board, bool newLine) {
    const int line = newLine ? ++lines_ : states_[at_].line;
    states_.erase(states_.begin() + std::ptrdiff_t(at_) + 1, states_.end());
    states_.push_back({std::move(shown), storage::encodeBoard(board), line});
    board_ = board;
    ++at_;
    if (states_.size() > kSteps + 1) {
        states_.pop_front();
        --at_;
    }
}

// --- undo and redo ----------------------------------------------------------------

void History::undo() {
    if (form_.Timer1->isActive()) return;
    take(Change::Edit);
    if (at_ == 0) return;
    const Shown from = states_[at_].shown;
    restore(states_[--at_]);
    keep(Change::Restore, from);
    announce();
}

void History::redo() {
    if (form_.Timer1->isActive()) return;
    take(Change::Edit);
    if (at_ + 1 >= states_.size()) return;
    const Shown from = states_[at_].shown;
    restore(states_[++at_]);
    keep(Change::Restore, from);
    announce();
}

void History::restore(const State& state) {
    auto board = storage::decodeBoard(state.board);
    if (!board) return; // never for a board this history encoded
    // nothing is taken while the controls are half way
    struct Restoring {
        bool& flag;
        explicit Restoring(bool& f) : flag(f) { flag = true; }
        ~Restoring() { flag = false; }
    } restoring(restoring_);
    // The day and its labels as they were, without the day's handlers: the
    // pickers run none for the program's own assignments.
    const Shown& s = state.shown;
    form_.setCurrentMonth(s.month);
    form_.dtp0->setValue(s.day);
    form_.LabelA->setCaption(s.weekday);
    form_.LabelB->setCaption(s.monthText);
    form_.LabelB->setTextColor(QColor::fromRgba(s.monthColour));
    for (int n = 1; n <= TForm1::kBlocks; ++n)
        blockstate::restore(*form_.Panel(n), *form_.Label(n), *form_.Label(n + TForm1::kBlocks),
                            board->blocks[std::size_t(n - 1)]);
    restack(*board);
    // as after a load
    form_.setCurrentBlock(nullptr);
    form_.ShapeA->hide();
    board_ = std::move(*board);
}

void History::restack(const storage::BoardState& board) {
    if (takeBoard().stack == board.stack) return;
    for (const std::uint8_t n : board.stack)
        form_.Panel(n)->raise();
}

// --- recovery files -------------------------------------------------------------

FilePath History::dayFile(const Shown& shown) const {
    return storage::dayFilePath(form_.dataDir(), shown.month, shown.day);
}

void History::keep(Change change, const Shown& from) {
    const State& state = states_[at_];
    const FilePath day = dayFile(state.shown);
    std::string records;
    try {
        records = storage::boardRecords(board_).text();
    } catch (const Error&) {
        return; // a block the save would refuse: the last recovery file stays
    }
    if (change == Change::Load) {
        baselines_[day] = std::move(records);
        return;
    }
    const auto base = baselines_.find(day);
    if (base != baselines_.end() && base->second == records) {
        // Back to what its file holds. A day only arrived at (an undo of a
        // day change) keeps what was left of it before.
        if (dayFile(from) == day) release(state.line);
        return;
    }
    writer_.write(recoveryFile(state), storage::recoveryFileBytes(records, state.board));
    lineRecords_[state.line] = std::move(records);
}

FilePath History::recoveryFile(const State& state) {
    if (const auto held = recoveryFiles_.find(state.line); held != recoveryFiles_.end())
        return held->second;
    const FilePath day = inFolder("", storage::dayFileName(state.shown.month, state.shown.day));
    const auto heldByAnother = [&](const FilePath& path) {
        for (const auto& [line, file] : recoveryFiles_)
            if (file == path) return true;
        return false;
    };
    // A board dropped from its recovery file goes on in that file.
    std::string records;
    if (auto board = storage::decodeBoard(state.board)) {
        try {
            records = storage::boardRecords(*board).text();
        } catch (const Error&) {
        }
    }
    for (const auto& file : storage::recoveryFilesOf(recoveryFolder_, day)) {
        if (heldByAnother(file.path)) continue;
        const auto board = storage::recoveredBoard(file.bytes);
        if (board && storage::boardRecords(*board).text() == records)
            return recoveryFiles_[state.line] = file.path;
    }
    // else the first of the day's that no board holds and no file takes
    for (int slot = 1;; ++slot) {
        const FilePath path = storage::recoveryPath(recoveryFolder_, day, slot);
        if (!heldByAnother(path) && ::access(path.c_str(), F_OK) != 0)
            return recoveryFiles_[state.line] = path;
    }
}

void History::release(int line) {
    const auto held = recoveryFiles_.find(line);
    if (held == recoveryFiles_.end()) return;
    writer_.remove(held->second);
    recoveryFiles_.erase(held);
    lineRecords_.erase(line);
}

void History::saved() {
    try {
        const FilePath day = form_.dayFilePath();
        const std::string records = storage::boardRecords(board_).text();
        baselines_[day] = records;
        release(states_[at_].line);
        // a board left unsaved that the day now holds is saved too
        const Shown& shown = states_[at_].shown;
        const FilePath dayName = inFolder("", storage::dayFileName(shown.month, shown.day));
        std::vector<int> done;
        for (const auto& [line, file] : recoveryFiles_)
            if (storage::recoverySlot(file.substr(recoveryFolder_.size()), dayName) != 0 &&
                lineRecords_[line] == records)
                done.push_back(line);
        for (const int line : done)
            release(line);
        announce();
    } catch (...) {
    }
}

void History::offerRecovered() {
    const Shown& shown = states_[0].shown;
    const FilePath day = inFolder("", storage::dayFileName(shown.month, shown.day));
    // the boards left unsaved are the steps before the day's file, the
    // latest right before it, each going on in its own file
    std::size_t offered = 0;
    for (const auto& file : storage::recoveryFilesOf(recoveryFolder_, day)) {
        const auto board = storage::recoveredBoard(file.bytes);
        if (!board || *board == board_) continue;
        const int line = ++lines_;
        recoveryFiles_[line] = file.path;
        lineRecords_[line] = storage::boardRecords(*board).text();
        states_.insert(states_.begin() + std::ptrdiff_t(offered++),
                       {shown, storage::encodeBoard(*board), line});
    }
    at_ = offered;
}

} // namespace kab
