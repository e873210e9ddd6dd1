// Moving between days and months: the month buttons, the day picker and its
// wheel step, the weekday and month labels.

#include "window/shell/unit1.h"

#include "window/shell/history.h"

#include "toolkit/button.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/picker.h"

#include <cmath>

namespace kab {

namespace {

bool withinLimits(const tk::DateTimePicker& p, DateSerial x) {
    return (p.minDate() == 0 || x >= p.minDate()) && (p.maxDate() == 0 || x <= p.maxDate());
}

// The month label of the month on show: blue for this month.
void showMonthLabel(TForm1& f, const SjisString& thisMonth) {
    f.LabelB->setCaption(formatDateTime("yyyy/mm", f.currentMonth()));
    f.LabelB->setTextColor(f.LabelB->caption() == thisMonth ? QColor(0, 0, 255)
                                                            : QColor(0, 0, 128));
}

} // namespace

void TForm1::spb1Click(QObject* sender) {
    const History::DayChange change(history_.get());
    const DateSerial today = env_.today();
    const SjisString thisMonth = formatDateTime("yyyy/mm", today);
    // The month label (blue for this month) follows the month in every case,
    // also when the day's load fails: it never names a month other than the
    // one whose days are on show.
    struct MonthLabel {
        TForm1* f;
        const SjisString& thisMonth;
        ~MonthLabel() {
            if (f->currentMonth_ != 0) showMonthLabel(*f, thisMonth);
        }
    };
    if (currentMonth_ == 0) {
        // at start-up: this month, and today in the picker
        currentMonth_ = strToDateTime(thisMonth + "/1", decodeDate(today).year);
        dtp0->setValue(today);
    } else {
        // one month back or on, within a few months around today
        const auto* button = qobject_cast<const tk::SpeedButton*>(sender);
        const char step = button && (button == spb1 || button == spb2) && !button->caption().empty()
                              ? button->caption().front()
                              : 0;
        if (step == '<') {
            const DateSerial a = incMonth(today, -3), b = incMonth(currentMonth_, -1);
            if (a < b && withinLimits(*dtp0, b)) currentMonth_ = b;
        } else if (step == '>') {
            const DateSerial a = incMonth(today, 2), b = incMonth(currentMonth_, 1);
            // A month the day picker cannot show (possible only when the
            // program has run for weeks since its limits were set) is
            // refused like one outside the month window.
            if (a > b && withinLimits(*dtp0, b)) currentMonth_ = b;
        }
        // day 1 of the month, also when the step was refused
        dtp0->setValue(currentMonth_);
    }
    const MonthLabel label{this, thisMonth};
    dtp0Change();
}

bool TForm1::showDay(DateSerial date) {
    date = std::floor(date);
    if (currentMonth_ == 0 || date == std::floor(dtp0->value())) return currentMonth_ != 0;
    const Date d = decodeDate(date);
    const DateSerial month = encodeDate(d.year, d.month, 1);
    // the months the buttons reach: two back and about two ahead of today
    const DateSerial today = env_.today();
    if (!(incMonth(today, -3) < month && month < incMonth(today, 2)) ||
        !withinLimits(*dtp0, month) || !withinLimits(*dtp0, date))
        return false;
    currentMonth_ = month;
    dtp0->setValue(date);
    showMonthLabel(*this, formatDateTime("yyyy/mm", today));
    // the picker's change handler, as for the user's choice of a day
    dtp0Change();
    return true;
}

void TForm1::dtp0Change() {
    const History::DayChange change(history_.get());
    // Nothing of the window is painted until the board is reloaded, also
    // when the load fails: nothing paints while a handler runs. What is
    // painted afterwards is what moved or changed, once.
    LabelA->setCaption(formatDateTime("aaa", dtp0->value()));
    // the day's file replaces the board: unsaved changes are dropped
    // without a question
    loadDayFile(dayFilePath());
}

void TForm1::dayPickerWheelStep(bool up) {
    // as a click on the picker's arrow: one day, wrapping within the month,
    // and the change handler runs as for the user's own click
    dtp0->stepBy(up ? 1 : -1);
}

void TForm1::LabelAClick() {
    dtp0->setFocus();
}

} // namespace kab
