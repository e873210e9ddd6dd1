#pragma once
// A date-time picker with an up-down, shown through a custom format. Its value
// is a date serial. The program's own assignments run no change handler; the
// user's typing and arrow clicks do.

#include "foundation/datetime.h"

#include <QDateTimeEdit>
#include <functional>
#include <optional>

namespace kab::tk {

QDateTime serialToDateTime(DateSerial x);
DateSerial dateTimeToSerial(const QDateTime& dt);

class DateTimePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    explicit DateTimePicker(QWidget* parent = nullptr);

    // Display codes: "H:mm", "d".
    void setFormat(const QString& format);

    DateSerial value() const;
    // Program assignment: no change handler runs. Within a control batch a
    // time without a date is held back and the last one shown when it closes.
    void setValue(DateSerial x);
    // Shows the value held back by a control batch.
    void showHeld();

    // 0 as a minimum means no lower limit.
    void setMinDate(DateSerial x);
    void setMaxDate(DateSerial x);
    DateSerial minDate() const { return min_; }
    DateSerial maxDate() const { return max_; }

    // Closed: the picker takes no input method; keys arrive as plain keys,
    // and what an input method commits all the same is dropped.
    void setInputMethodClosed(bool closed) { imClosed_ = closed; }

    std::function<void(DateTimePicker* sender)> onChange;
    std::function<void(DateTimePicker* sender)> onEnter;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    // Tab leaves the picker at once instead of walking its sections.
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* e) override;

private:
    bool imClosed_ = false;
    bool selectOnRelease_ = false; // the focus came with a click into the text
    DateSerial min_ = 0;
    DateSerial max_ = 0;
    std::optional<QDateTime> held_;
};

} // namespace kab::tk
