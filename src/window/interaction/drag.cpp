// Dragging blocks: the press on a block, the block following the pointer
// until the release, the drop ghost moved by a 110 ms tick, and the drop in
// the parking area or on a board row.

#include "window/shell/unit1.h"

#include "board/duration.h"
#include "board/geometry.h"
#include "foundation/errors.h"
#include "storage/dayfile.h"
#include "toolkit/application.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/memo.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "window/shell/blockstate.h"

#include <QMouseEvent>
#include <QTimer>

namespace kab {

void TForm1::Label1MouseDown(tk::Label* sender, Qt::MouseButton button, Qt::KeyboardModifiers,
                             int x, int y) {
    // one block at a time: presses of other buttons during a drag are its own
    if (drag_.label) return;
    auto* block = static_cast<tk::Panel*>(sender->parentWidget());
    // every button makes the block the current one
    currentBlock_ = block;
    // the right button only sends it to the back of the stack
    if (button == Qt::RightButton) {
        block->lower();
        return;
    }
    // where it was grabbed, and its start and duration for the drop
    grabOffset_ = {x, y};
    Memo1->setText(block->hint());
    // the ghost starts on the block's corner
    if (!Timer1->isActive()) Shade1->hide();
    Shade1->move(block->pos());
    // focus the editor control matching the place pressed
    const int halfW = block->width() / 2;
    const int halfH = block->height() / 2;
    if (x > halfW && y < halfH)
        dtp1->setFocus();
    else if (x > halfW)
        Edit1->setFocus();
    else if (x < 70)
        cmb1->setFocus();
    ShapeA->show();
    // the first tick comes a full interval after the press
    Timer1->stop();
    Timer1->start();
    if (!Timer1->isActive()) throw Error::noTimer();
    // the block follows the pointer until the button is released
    drag_.label = sender;
    drag_.button = button;
}

bool TForm1::followDrag(QObject* watched, QEvent* event) {
    if (!drag_.label || watched != drag_.label) return false;
    auto* m = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseMove) {
        // the grabbed point stays under the pointer
        QWidget* block = drag_.label->parentWidget();
        const QPoint grabbed = drag_.label->mapTo(block, grabOffset_);
        block->move(sg1->mapFromGlobal(m->globalPosition().toPoint()) - grabbed);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m->button() == drag_.button) {
        tk::Label* sender = drag_.label;
        drag_.label = nullptr;
        tk::guarded([&] { dropBlock(sender); });
        return true;
    }
    return false;
}

void TForm1::Timer1Timer() {
    if (!currentBlock_) return;
    // measured from the window's outer corner, as the pointer is
    const QPoint cursor = env_.cursorPos();
    const QPoint corner = env_.windowCorner(*this);
    const int x = cursor.x() - corner.x() - grabOffset_.x();
    const int y = cursor.y() - corner.y() - grabOffset_.y();
    const board::Snap snap = board::snapDragPosition(x, y);
    switch (snap.kind) {
    case board::Snap::Ignored:
        break;
    case board::Snap::Parking:
        Shade1->move(snap.x, snap.y);
        break;
    case board::Snap::Board:
        // a placed block keeps its start: its ghost moves up and down only
        Shade1->move(blockstate::isPlaced(*currentBlock_) ? Shade1->x() : snap.x, snap.y);
        Shade1->show();
        Shade1->raise();
        break;
    }
}

void TForm1::dropBlock(tk::Label* sender) {
    auto* block = static_cast<tk::Panel*>(sender->parentWidget());
    // no more ticks; the block takes the ghost's left edge, and its top
    // tells where it was let go: below the rows, or on one
    Timer1->stop();
    blockstate::setBounds(*block, Shade1->x(), block->y(), block->width());
    if (Shade1->y() > board::rowHeight * board::rowCount)
        dropInParking(block);
    else
        dropOnBoard(block, sender);
}

void TForm1::dropInParking(tk::Panel* block) {
    // emptied; it keeps the left edge the ghost gave it
    blockstate::park(*block, *timeLabel(block), *durationLabel(block), block->x());
    currentBlock_ = nullptr;
    ShapeA->hide();
    // the ghost would only lie over the stack
    Shade1->hide();
}

void TForm1::dropOnBoard(tk::Panel* block, tk::Label* sender) {
    if (blockstate::isPlaced(*block)) {
        // moved to another row: its times stay as they were
        const storage::HintLines hint = storage::splitHint(Memo1->text());
        dtp1->setValue(
            storage::startOnBoard(strToDateTime(hint.start, decodeDate(env_.today()).year)));
        Edit1->setText(hint.duration);
        Edit1->setTag(board::durationMinutes(Edit1->text()));
    } else {
        // placed for the first time: the start from where it landed
        dtp1->setValue(board::startFromLeft(block->x()));
        Edit1->setText(SjisString(board::kFirstDuration));
        blockstate::setPlaced(*block);
    }
    setEndFromDurationText();
    dtp1Change(sender);
    blockstate::setBounds(*block, block->x(), Shade1->y(), block->width());
    Shade1->hide();
}

} // namespace kab
