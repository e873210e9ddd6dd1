// The block editor: the apply step that writes the editor's start and
// duration into the current block, the wheel step, the name box and the
// focus frame.

#include "window/shell/unit1.h"

#include "board/duration.h"
#include "board/geometry.h"
#include "foundation/numbers.h"
#include "storage/dayfile.h"
#include "toolkit/edit.h"
#include "toolkit/label.h"
#include "toolkit/memo.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "window/shell/blockstate.h"

namespace kab {

namespace {

SjisString clockText(DateSerial x) {
    return formatDateTime("h:nn", x);
}

} // namespace

void TForm1::placeBlock() {
    if (!currentBlock_) return;
    tk::Panel& current = *currentBlock_;
    // Left first: a duration that is not a number fails after it, and the
    // block keeps its width. Both are set in one step, one move and resize
    // for Qt to account for instead of two.
    const int left = board::leftOfStart(dtp1->value());
    int width = 0;
    try {
        width = board::widthOfHours(strToExtended(Edit1->text()));
    } catch (...) {
        blockstate::setBounds(current, left, current.y(), current.width());
        throw;
    }
    blockstate::setBounds(current, left, current.y(), width);
}

void TForm1::dtp1Change(QObject* sender) {
    // An emptied duration box means four hours; setting it runs this step
    // once more, nested, before going on.
    if (sender == Edit1 && Edit1->text().empty()) Edit1->setText(SjisString(board::kFirstDuration));
    if (!currentBlock_) return;
    // midnight and before belong to the next day: 24:00 on the board
    if (dtp1->value() <= 0) dtp1->setValue(dtp1->value() + 1);
    // the hint carries start and duration; the memo mirrors it
    const SjisString hint =
        storage::joinHint(formatDateTime("hh:nn", dtp1->value()), Edit1->text());
    currentBlock_->setHint(hint);
    Memo1->setText(hint);
    // the times with the end as it stands, brought up to date at the end
    writeTimeLabel();
    durationLabel(currentBlock_)->setCaption(board::durationLabelText(Edit1->text()));
    placeBlock();
    Edit1->setTag(board::durationMinutes(Edit1->text()));
    // the end from the minutes, and the time label with it
    wheelStep(nullptr, false);
}

void TForm1::wheelStep(QWidget* control, bool up) {
    if (control == Edit1) {
        Edit1->setTag(board::wheelStepMinutes(Edit1->tag(), up));
        // a different text runs the apply step, nested
        Edit1->setText(board::hoursText(Edit1->tag()));
    } else if (control == dtp0) {
        dayPickerWheelStep(up);
        return;
    } else if (auto* picker = qobject_cast<tk::DateTimePicker*>(control)) {
        picker->setValue(picker->value() + (up ? 1.0 : -1.0) / 96);
    } else if (control) {
        // any other control: only the time label is written again
        if (currentBlock_) writeTimeLabel();
        return;
    }
    dtp2->setValue(dtp1->value() + Edit1->tag() / 24.0 / 60);
    if (currentBlock_) writeTimeLabel();
}

void TForm1::setEndFromDurationText() {
    dtp2->setValue(strToFloat(Edit1->text()) / 24 + dtp1->value());
}

void TForm1::writeTimeLabel() {
    timeLabel(currentBlock_)
        ->setCaption(blockstate::timesText(clockText(dtp1->value()), clockText(dtp2->value())));
}

void TForm1::cmb1Change() {
    if (!currentBlock_) return;
    currentBlock_->setCaption(trim(cmb1->text()));
}

void TForm1::cmb1Enter(QWidget* sender) {
    ShapeA->setGeometry(sender->geometry().adjusted(-3, -3, 3, 3));
    if (currentBlock_) ShapeA->show();
}

} // namespace kab
