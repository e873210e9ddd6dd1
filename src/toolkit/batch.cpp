#include "toolkit/batch.h"

#include "toolkit/edit.h"
#include "toolkit/picker.h"

#include <algorithm>
#include <utility>

namespace kab::tk {

int ControlBatch::depth_ = 0;
std::vector<QPointer<QWidget>> ControlBatch::held_;

ControlBatch::ControlBatch() {
    ++depth_;
}

ControlBatch::~ControlBatch() {
    if (--depth_ > 0) return;
    for (const QPointer<QWidget>& box : std::exchange(held_, {})) {
        if (auto* edit = qobject_cast<Edit*>(box)) edit->showHeld();
        if (auto* picker = qobject_cast<DateTimePicker*>(box)) picker->showHeld();
    }
}

bool ControlBatch::defers(const QWidget* box) {
    return depth_ > 0 && !box->hasFocus();
}

void ControlBatch::holding(QWidget* box) {
    if (std::find(held_.begin(), held_.end(), box) == held_.end()) held_.emplace_back(box);
}

} // namespace kab::tk
