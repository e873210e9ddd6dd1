// What the month window asks of the history: whether the board on show
// differs from its day's file.

#include "window/shell/history.h"

#include "window/shell/unit1.h"
#include "storage/dayfile.h"

namespace kab {

bool History::unsaved() const {
    try {
        const auto base = baselines_.find(dayFile(states_[at_].shown));
        return base == baselines_.end() || base->second != storage::boardRecords(board_).text();
    } catch (const Error&) {
        return true; // a block a save would refuse is not saved either
    }
}

} // namespace kab
