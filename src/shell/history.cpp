#include "shell/history.h"

#include "shell/blockstate.h"
#include "shell/unit1.h"
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

namespace kab {

History::History(TForm1& form) : form_(form) {
    for (int n = 1; n <= TForm1::kBlocks; ++n)
        numbers_.insert(form_.Panel(n), n);
    board_ = takeBoard();
    states_.push_back({takeShown(), storage::encodeBoard(board_)});
    try {
        baselines_[dayFile(states_[0].shown)] = storage::boardRecords(board_).text();
    } catch (const Error&) {
    }
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
        push(std::move(shown), board);
        keep(change, from);
        announce();
    } catch (...) {
    }
}

void History::push(Shown shown, const storage::BoardState& board) {
    states_.erase(states_.begin() + std::ptrdiff_t(at_) + 1, states_.end());
    states_.push_back({std::move(shown), storage::encodeBoard(board)});
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
    const FilePath day = dayFile(states_[at_].shown);
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
        if (dayFile(from) == day) writer_.remove(storage::recoveryPath(day));
        return;
    }
    writer_.write(storage::recoveryPath(day),
                  storage::recoveryFileBytes(records, states_[at_].board));
}

void History::saved() {
    try {
        const FilePath day = form_.dayFilePath();
        baselines_[day] = storage::boardRecords(board_).text();
        writer_.remove(storage::recoveryPath(day));
        announce();
    } catch (...) {
    }
}

void History::offerRecovered() {
    const auto bytes = storage::readRecoveryFile(storage::recoveryPath(dayFile(states_[0].shown)));
    if (!bytes) return;
    const auto board = storage::recoveredBoard(*bytes);
    if (!board || *board == board_) return;
    // the board left unsaved is the step before the day's file
    states_.push_front({states_[0].shown, storage::encodeBoard(*board)});
    at_ = 1;
}

} // namespace kab
