#include "toolkit/picker.h"

#include "toolkit/application.h"
#include "toolkit/batch.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <cmath>
#include <utility>

namespace kab::tk {

namespace {
const QDate kEpoch(1899, 12, 30);
}

// Serials carry no time zone: the pickers work in UTC so that no daylight
// saving gap can shift a time.
QDateTime serialToDateTime(DateSerial x) {
    Split s = splitSerial(x);
    return QDateTime(kEpoch.addDays(s.day), QTime::fromMSecsSinceStartOfDay(int(s.msec)), Qt::UTC);
}

DateSerial dateTimeToSerial(const QDateTime& dt) {
    const auto days = kEpoch.daysTo(dt.date());
    const auto ms = dt.time().msecsSinceStartOfDay();
    return double(days) + double(ms) / 86400000.0;
}

DateTimePicker::DateTimePicker(QWidget* parent) : QDateTimeEdit(parent) {
    setTimeSpec(Qt::UTC);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCalendarPopup(false);
    setMinimumDateTime(QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC));
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (onChange) guarded([this] { onChange(this); });
    });
    lineEdit()->installEventFilter(this);
}

void DateTimePicker::setFormat(const QString& format) {
    setDisplayFormat(format);
}

DateSerial DateTimePicker::value() const {
    return dateTimeToSerial(held_ ? *held_ : dateTime());
}

void DateTimePicker::setValue(DateSerial x) {
    const QDateTime dt = serialToDateTime(x);
    if (dt == (held_ ? *held_ : dateTime())) return; // spare the text's layout
    // Only a time may wait: Qt bounds a date by the picker's limits, which
    // the held value would have to repeat, and a time-only picker's limits
    // follow whatever date it is given.
    const bool timeOnly = !(displayedSections() & QDateTimeEdit::DateSections_Mask);
    if (timeOnly && dt.isValid() && dt.date() >= QDate(100, 1, 1) &&
        dt.date() <= QDate(9999, 12, 31) && ControlBatch::defers(this)) {
        held_ = dt;
        ControlBatch::holding(this);
        return;
    }
    showHeld();
    const QSignalBlocker block(this);
    setDateTime(dt);
}

void DateTimePicker::showHeld() {
    if (!held_) return;
    const QDateTime dt = *std::exchange(held_, std::nullopt);
    if (dt == dateTime()) return;
    const QSignalBlocker block(this);
    setDateTime(dt);
}

bool DateTimePicker::event(QEvent* e) {
    // Qt's spin box hands what an input method commits straight to its text
    if (imClosed_ && e->type() == QEvent::InputMethod) {
        e->accept();
        return true;
    }
    showHeld(); // whatever reaches the picker finds its value in Qt's control
    return QDateTimeEdit::event(e);
}

void DateTimePicker::setMinDate(DateSerial x) {
    const QSignalBlocker block(this);
    min_ = x;
    setMinimumDateTime(x == 0 ? QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC)
                              : serialToDateTime(x));
}

void DateTimePicker::setMaxDate(DateSerial x) {
    const QSignalBlocker block(this);
    max_ = x;
    setMaximumDateTime(serialToDateTime(x));
}

QVariant DateTimePicker::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (imClosed_ && query == Qt::ImEnabled) return false;
    return QDateTimeEdit::inputMethodQuery(query);
}

bool DateTimePicker::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

void DateTimePicker::focusInEvent(QFocusEvent* e) {
    QDateTimeEdit::focusInEvent(e);
    // Typed digits replace the field under the cursor, however the focus
    // came: Qt selects it for the keyboard and the program, not for a click.
    // A click into the text places the cursor only after this, so the field
    // is selected again when that click ends.
    if (e->reason() == Qt::MouseFocusReason) {
        setSelectedSection(currentSection());
        selectOnRelease_ = true;
    }
    if (onEnter) guarded([this] { onEnter(this); });
}

void DateTimePicker::focusOutEvent(QFocusEvent* e) {
    selectOnRelease_ = false;
    QDateTimeEdit::focusOutEvent(e);
}

bool DateTimePicker::eventFilter(QObject* watched, QEvent* e) {
    if (watched == lineEdit()) showHeld();
    const bool handled = QDateTimeEdit::eventFilter(watched, e);
    if (watched == lineEdit() && e->type() == QEvent::MouseButtonRelease &&
        std::exchange(selectOnRelease_, false))
        setSelectedSection(currentSection());
    return handled;
}

} // namespace kab::tk
