#pragma once
// The days of a month as the report reads them: each date's day file (the
// names carry no year, so the file of a date is that of its month, day and
// weekday), its shifts with their exact hours, and what had to be left out.

#include "foundation/datetime.h"
#include "foundation/files.h"
#include "report/hours.h"
#include "storage/dayplan.h"

#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

namespace kab::report {

// "2026-12"; nothing for anything else, a month 13 or a year 0 among them.
struct Month {
    int year = 0, month = 0;
};
std::optional<Month> parseMonth(std::string_view text);
// "2026-12-07", an existing date.
std::optional<DateSerial> parseDay(std::string_view text);

// One record of a day, with what the report needs beside the load's reading.
struct Shift {
    DateSerial date = 0; // the board's day
    storage::Assignment a;
    Hours hours;
    // From the day's 0:00, in milliseconds: the end may lie in the next day.
    std::int64_t startMs = 0, endMs = 0;
    // "---", the name box's first entry, and an empty name name nobody.
    bool named() const;
};

// A line that the report could not take, with the reason as the board
// would give it (Shift-JIS).
struct LeftOut {
    int line = 0; // 0: the whole file
    SjisString message;
};

struct Day {
    DateSerial date = 0;
    FilePath path;
    bool exists = false;
    std::time_t modified = 0; // the file's last change, for calendar stamps
    std::vector<Shift> shifts;
    std::vector<LeftOut> leftOut;
};

// The shifts of a planned day. Besides the load's own refusals, a record
// whose start holds a date (the board puts it far off its scale) or whose
// duration is a billion hours or more is left out.
Day dayOf(DateSerial date, const FilePath& path, const storage::DayPlan& plan);

// data folder + the day file's name for date ("12;07月.txt" for 7 December
// 2026), in the file system's form.
FilePath dayPath(const FilePath& dataDir, DateSerial date);

// Reads one date's file.
Day readDay(const FilePath& dataDir, DateSerial date);
// Every date of the month, in order, those without a file included.
std::vector<Day> readMonth(const FilePath& dataDir, Month month);

} // namespace kab::report
