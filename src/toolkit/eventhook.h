#pragma once
// An event filter that hands every event it sees to a function; installed on
// the application it sees the events of every object first.

#include <QObject>
#include <functional>

namespace kab::tk {

class EventHook : public QObject {
public:
    using Filter = std::function<bool(QObject* watched, QEvent* event)>;
    EventHook(Filter filter, QObject* parent) : QObject(parent), filter_(std::move(filter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

private:
    Filter filter_;
};

} // namespace kab::tk
