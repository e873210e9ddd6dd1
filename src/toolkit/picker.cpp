#include "toolkit/picker.h"

#include "toolkit/application.h"

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
    const bool handled = QDateTimeEdit::eventFilter(watched, e);
    if (watched == lineEdit() && e->type() == QEvent::MouseButtonRelease &&
        std::exchange(selectOnRelease_, false))
        setSelectedSection(currentSection());
    return handled;
}

} // namespace kab::tk
