#include "window/shell/history.h"

#include "toolkit/application.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "window/shell/blockstate.h"
#include "window/shell/unit1.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QShortcut>
#include <QTimer>

namespace kab {

namespace {

storage::DayShown shownOf(const TForm1& form) {
    return {form.currentMonth(), form.dtp0->value(), form.LabelA->caption(), form.LabelB->caption(),
            form.LabelB->textColor().rgba()};
}

} // namespace

History::History(TForm1& form)
    : form_(form), steps_(form.dataDir(), storage::recoveryFolder(form.dataDir()), shownOf(form),
                          form.boardState()) {
    addKeys();
    qApp->installEventFilter(this);
    auto* app = tk::Application::instance();
    if (!app) return;
    connect(app, &tk::Application::inputHandled, this, [this] {
        if (quiet()) take(burstInput_ ? Change::Burst : Change::Edit);
    });
    // what no input event brought (a screen reader's action) is taken once
    // the event loop has nothing left to do
    if (auto* loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, [this, app] {
            if (!app->delivering() && quiet()) take(Change::Edit);
        });
}

History::~History() {
    if (qApp) qApp->removeEventFilter(this);
    // the writer finishes what the steps asked before it goes
}

History::DayChange::DayChange(History* history) : history_(history) {
    if (history_ && history_->dayChanges_++ == 0) history_->take(Change::Edit, true);
}

History::DayChange::~DayChange() {
    if (history_ && --history_->dayChanges_ == 0) history_->take(Change::Load);
}

// --- taking the board -----------------------------------------------------------

bool History::quiet() const {
    // not while a block is held, nor while a button is down (the picker's
    // arrows repeat), nor inside a day change: the step is what the release
    // or the change leaves
    return !restoring_ && dayChanges_ == 0 && !form_.Timer1->isActive() &&
           QGuiApplication::mouseButtons() == Qt::NoButton;
}

void History::settle() {
    take(Change::Edit);
}

void History::take(Change change, bool boardOnly) {
    if (restoring_) return;
    // Runs after handlers and on their ways out: nothing may escape.
    try {
        const storage::DayShown shown = boardOnly ? steps_.shown() : shownOf(form_);
        if (steps_.take(shown, form_.boardState(), change)) announce();
    } catch (...) {
    }
}

// --- undo and redo ----------------------------------------------------------------

void History::undo() {
    if (form_.Timer1->isActive()) return;
    take(Change::Edit);
    if (!steps_.undo()) return;
    restore();
    announce();
}

void History::redo() {
    if (form_.Timer1->isActive()) return;
    take(Change::Edit);
    if (!steps_.redo()) return;
    restore();
    announce();
}

void History::restore() {
    // nothing is taken while the controls are half way
    struct Restoring {
        bool& flag;
        explicit Restoring(bool& f) : flag(f) { flag = true; }
        ~Restoring() { flag = false; }
    } restoring(restoring_);
    // The day and its labels as they were, without the day's handlers: the
    // pickers run none for the program's own assignments.
    const storage::DayShown& s = steps_.shown();
    form_.setCurrentMonth(s.month);
    form_.dtp0->setValue(s.day);
    form_.LabelA->setCaption(s.weekday);
    form_.LabelB->setCaption(s.monthText);
    form_.LabelB->setTextColor(QColor::fromRgba(s.monthColour));
    const storage::BoardState& board = steps_.board();
    for (int n = 1; n <= TForm1::kBlocks; ++n) {
        const storage::BlockState& block = board.blocks[std::size_t(n - 1)];
        // a block not made yet is parked already
        if (!form_.blockMade(n) && block == blockstate::parkedState()) continue;
        blockstate::restore(*form_.Panel(n), *form_.Label(n), *form_.Label(n + TForm1::kBlocks),
                            block);
    }
    restack(board);
    form_.makeParkedTop();
    // as after a load
    form_.setCurrentBlock(nullptr);
    form_.ShapeA->hide();
}

void History::restack(const storage::BoardState& board) {
    if (form_.boardState().stack == board.stack) return;
    for (const std::uint8_t n : board.stack)
        form_.Panel(n)->raise();
}

// --- saves ------------------------------------------------------------------------

void History::saved() {
    // the board saved is a step of its own
    take(Change::Edit);
    try {
        steps_.saved();
        announce();
    } catch (...) {
    }
}

} // namespace kab
