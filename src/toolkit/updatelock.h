#pragma once
// Suspends the painting of a widget (and its children) for a scope; the widget
// is repainted once when the lock ends, on every way out.

#include <QWidget>

namespace kab::tk {

class UpdateLock {
public:
    explicit UpdateLock(QWidget* w) : w_(w), was_(w->updatesEnabled()) {
        if (was_) w_->setUpdatesEnabled(false);
    }
    ~UpdateLock() {
        if (was_) w_->setUpdatesEnabled(true);
    }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    QWidget* w_;
    bool was_;
};

} // namespace kab::tk
