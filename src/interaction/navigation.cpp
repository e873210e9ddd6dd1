// Moving between days: the day picker's change and its wheel step.

#include "shell/unit1.h"

#include "toolkit/updatelock.h"

namespace kab {

void TForm1::dtp0Change() {
    // 1., 5. nothing of the window is painted until the board is reloaded,
    //        also when the load fails
    const tk::UpdateLock lock(this);
    // 2.
    LabelA->setCaption(formatDateTime("aaa", dtp0->value()));
    // 3., 4.
    LoadDayFile();
}

void TForm1::DayPickerWheelStep(bool up) {
    // as a click on the picker's arrow: one day, wrapping within the month,
    // and the change handler runs as for the user's own click
    dtp0->stepBy(up ? 1 : -1);
}

void TForm1::LoadDayFile() {
    ResetPool();
    for (tk::Panel* p : panels)
        p->show();
    currentBlock = nullptr;
    ShapeA->hide();
}

} // namespace kab
