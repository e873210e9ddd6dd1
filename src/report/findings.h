#pragma once
// What a shift leader must see before fixing a day, never blocking: one
// name on two overlapping blocks, too long a day or week, too short a rest
// between days, too many days in a row, blocks without a name. The month
// window and the report command take them from here.

#include "report/month.h"

#include <string>
#include <vector>

namespace kab::report {

// Working time is a block's length less the break a shift of that length
// must hold: 45 minutes in one over 6 hours, 60 minutes in one over 8.
int workingMinutes(int blockMinutes);

inline constexpr int kDayLimitMinutes = 8 * 60;   // more is a finding
inline constexpr int kWeekLimitMinutes = 40 * 60; // Sunday to Saturday
inline constexpr int kRestMinutes = 11 * 60;      // less is a finding
inline constexpr int kDaysInARow = 7;             // this many or more

enum class FindingKind { DoubleBooking, LongDay, LongWeek, ShortRest, DaysInARow, Unnamed };

struct Finding {
    FindingKind kind = FindingKind::Unnamed;
    DateSerial date = 0; // the day whose cell carries it
    SjisString name;     // empty for a block without a name
    std::string text;    // what it is, in UTF-8, without the date and name
    friend bool operator==(const Finding&, const Finding&) = default;
};

// The findings of the dates first..last. days are consecutive dates in
// order and should begin six days before first and end on the Saturday on
// or after last, so that weeks and runs of days crossing the edges count
// whole. Ordered by date, then as the rules are listed above.
std::vector<Finding> findings(const std::vector<const Day*>& days, DateSerial first,
                              DateSerial last);
std::vector<Finding> findings(const std::vector<Day>& days, DateSerial first, DateSerial last);

// The dates to read for the findings of first..last.
struct Span {
    DateSerial from = 0, to = 0;
};
Span findingSpan(DateSerial first, DateSerial last);

// Every date of from..to read, in order.
std::vector<Day> readDays(const FilePath& dataDir, Span span);

// "二重予約", "1日8時間超", ...: a finding's heading.
std::string_view findingTitle(FindingKind kind);

// "h:mm", a time on the block's day; "翌h:mm" at 24:00 or later.
std::string clockText(std::int64_t msFromDayStart);
// "9:00-13:00", "22:00-翌2:00".
std::string blockTimes(const Shift& s);
// "8時間", "8時間15分".
std::string minutesText(int minutes);

} // namespace kab::report
