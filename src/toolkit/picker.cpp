#include "toolkit/picker.h"

#include "toolkit/application.h"

#include <QSignalBlocker>
#include <cmath>

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
}

void DateTimePicker::setFormat(const QString& format) {
    setDisplayFormat(format);
}

DateSerial DateTimePicker::value() const {
    return dateTimeToSerial(dateTime());
}

void DateTimePicker::setValue(DateSerial x) {
    const QDateTime dt = serialToDateTime(x);
    if (dt == dateTime()) return; // spare the text's layout
    const QSignalBlocker block(this);
    setDateTime(dt);
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

bool DateTimePicker::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

void DateTimePicker::focusInEvent(QFocusEvent* e) {
    QDateTimeEdit::focusInEvent(e);
    if (onEnter) guarded([this] { onEnter(this); });
}

} // namespace kab::tk
