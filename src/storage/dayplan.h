#pragma once
// A day file read as the board's load reads it, without a window: each
// record's row, name, start and duration as the load leaves them on its
// block, and the first line the load would refuse. The report command and
// the printed page see a day through this, never through a reading of their
// own.

#include "foundation/datetime.h"
#include "foundation/files.h"
#include "foundation/sjis.h"

#include <optional>
#include <vector>

namespace kab::storage {

struct Assignment {
    int line = 0;         // in the file, from 1
    int block = 0;        // the block the load fills: 50 for the first record, then down
    int row = 0;          // as the record gives it, whatever its range
    SjisString name;      // as read; "---" or empty for a block without a name
    SjisString startText; // the start field as read, as a save writes it back
    // As the duration box takes it: an empty field becomes "4.0".
    SjisString durationText;
    // The start picker's value after the load: a time before 6:00 belongs
    // to the next day, so 1 stands for 24:00 (startOnBoard).
    DateSerial start = 0;
    int minutes = 0; // the duration minutes, from which the board reckons the end

    // The end picker's value, as the board reckons it.
    DateSerial end() const { return start + minutes / 24.0 / 60; }
};

// A line the load would refuse (line 0: the file itself could not be read),
// with the message the board would report.
struct DayDamage {
    int line = 0;
    SjisString message;
};

// Records after the fiftieth, which the board leaves out, up to the first
// empty line: count of them, or at least count when the size limit ended
// the reading before them.
struct PastLimitRecords {
    int count = 0;
    bool atLeast = false;
};

struct DayPlan {
    // The records the board shows, in file order: those before the damage.
    std::vector<Assignment> assignments;
    std::optional<DayDamage> damage;
    // Counted by readDayPlan when no line is damaged.
    PastLimitRecords pastLimit;
};

// The records of lines as a day's reading gives them (DayLines::lines). year completes a start
// written as a date of two numbers, as the load completes it with today's.
DayPlan planDay(const std::vector<SjisString>& lines, int year);

// The file read with readDayFile and planned, the records past the fiftieth
// counted. A missing file, or one that is no regular file, is an empty day,
// as on the board; a file that cannot be read is damaged at line 0.
DayPlan readDayPlan(const FilePath& path, int year);

} // namespace kab::storage
