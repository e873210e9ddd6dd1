#pragma once
// Date serials: days since 30 December 1899 as a double, the fraction being the
// time of day. Formatting by pattern, reading text back, month stepping and the
// one rounding rule that the whole program uses.

#include "foundation/sjis.h"

#include <cstdint>
#include <string_view>

namespace kab {

using DateSerial = double;

// Locale values, read once at start and never again. The day files are named
// with them, so the Japanese values are built in and the user's LANG cannot
// change them.
struct FormatSettings {
    char dateSeparator = '/';
    char timeSeparator = ':';
    char decimalSeparator = '.';
    SjisString shortDateFormat;  // decides the order of a three-number date
    SjisString amMarker;         // morning marker
    SjisString pmMarker;         // afternoon marker
    SjisString shortDayNames[7]; // Sunday .. Saturday

    static const FormatSettings& japanese();
};

struct Date {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0, msec = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// Nearest integer, exact halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t roundHalfEven(long double x);

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Splitting rounds x * 86 400 000 to whole milliseconds first (ties to even),
// so 1.0 is day 1 at 0:00 and a sum of quarter-hour steps gives exact times.
struct Split {
    std::int64_t day;  // whole days (may be negative)
    std::int64_t msec; // 0 .. 86 399 999
};
Split splitSerial(DateSerial x);
Date decodeDate(DateSerial x);
TimeOfDay decodeTime(DateSerial x);
// 1 = Sunday .. 7 = Saturday; serial 0 is a Saturday.
int dayOfWeek(DateSerial x);

// Valid only for existing dates (year 1 to 9999) and times (hours 0 to 23,
// minutes and seconds 0 to 59, milliseconds 0 to 999); the try forms report
// validity.
bool tryEncodeDate(int year, int month, int day, DateSerial& out);
bool tryEncodeTime(int hour, int minute, int second, int msec, DateSerial& out);
DateSerial encodeDate(int year, int month, int day);
DateSerial encodeTime(int hour, int minute, int second = 0, int msec = 0);

// Pattern tokens: h, n, m (minutes right after an h token), d, y, aaa, "/" and
// ":"; every other character, a double-byte one whole, is copied.
SjisString formatDateTime(std::string_view pattern, DateSerial x,
                          const FormatSettings& fs = FormatSettings::japanese());

// Reads "hh:nn"-like times and "y/m/d" dates (with an optional time after the
// date). currentYear completes a date of two numbers. Throws the invalid
// date-time error carrying the text unchanged.
DateSerial strToDateTime(std::string_view text, int currentYear,
                         const FormatSettings& fs = FormatSettings::japanese());

// Same day of the month n months later (or the month's last day), time kept.
DateSerial incMonth(DateSerial x, int n);

// The local calendar date at 0:00, from the system clock.
DateSerial systemToday();

} // namespace kab
