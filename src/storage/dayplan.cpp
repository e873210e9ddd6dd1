#include "storage/dayplan.h"

#include "board/duration.h"
#include "board/pool.h"
#include "foundation/errors.h"
#include "foundation/numbers.h"
#include "storage/dayfile.h"
#include "storage/dayread.h"

#include <algorithm>

namespace kab::storage {

namespace {

// What the load leaves on a block for one record, step by step as it sets
// the controls; throws where the load fails.
Assignment assignmentOf(const SjisString& line, int year) {
    const auto field = splitRecord(line);
    Assignment a;
    a.row = strToInt(field[0]);
    a.name = field[3];
    a.startText = field[1];
    // the picker keeps whole milliseconds
    const Split s = splitSerial(strToDateTime(field[1], year));
    a.start = static_cast<double>(s.day) + static_cast<double>(s.msec) / 86400000.0;
    // An emptied duration box means four hours: the apply step that the
    // change runs fills it in. (Only the very first record after start-up
    // finds the box empty already; the load then fails on it.)
    a.durationText = field[2].empty() ? SjisString(board::kFirstDuration) : field[2];
    // The end is set from the text read as a double, the width and the
    // minutes from it in extended precision: a text either read refuses
    // ends the load.
    strToFloat(a.durationText);
    a.start = startOnBoard(a.start);
    a.minutes = board::durationMinutes(a.durationText);
    return a;
}

} // namespace

DayPlan planDay(const std::vector<SjisString>& lines, int year) {
    DayPlan plan;
    int block = board::kBlockCount;
    for (std::size_t i = 0; i < lines.size() && block > 0; ++i, --block) {
        if (lines[i].empty()) break;
        try {
            Assignment a = assignmentOf(lines[i], year);
            a.line = static_cast<int>(i) + 1;
            a.block = block;
            plan.assignments.push_back(std::move(a));
        } catch (const Error& e) {
            plan.damage = DayDamage{static_cast<int>(i) + 1, e.message()};
            break;
        }
    }
    return plan;
}

DayPlan readDayPlan(const FilePath& path, int year) {
    std::optional<DayLines> day;
    try {
        day = readDayFile(path, PastLimit::Count);
    } catch (const Error& e) {
        DayPlan plan;
        plan.damage = DayDamage{0, e.message()};
        return plan;
    }
    if (!day) return {};
    DayPlan plan = planDay(day->lines.lines(), year);
    // behind a damaged line nothing counts as read anyway; where the size
    // limit ended the count, a record at least was still to come
    if (!plan.damage)
        plan.pastLimit = {std::max(day->past, day->atLeastPast ? 1 : 0), day->atLeastPast};
    return plan;
}

} // namespace kab::storage
