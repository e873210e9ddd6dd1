// Date serials: splitting and building them, the calendar, month stepping,
// today, and the locale values.

#include "foundation/datetime.h"

#include "foundation/errors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <stdexcept>

namespace kab {

namespace {

constexpr std::int64_t msPerDay = 86'400'000;
constexpr std::int64_t unixEpochSerial = 25'569; // 1 January 1970
constexpr std::int64_t firstDay = -693'593;      // 1 January 0001
constexpr std::int64_t lastDay = 2'958'465;      // 31 December 9999

// Days from 1 January 1970 for a proleptic Gregorian date (any year). Shifting
// the year to start in March puts the leap day last, so the day of the year
// follows from the month by one formula.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

Date civilFromDays(std::int64_t z) {
    z += 719'468;
    const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const auto d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const auto m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

std::int64_t serialDay(std::int64_t y, int m, int d) {
    return daysFromCivil(y, m, d) + unixEpochSerial;
}

// x * 86 400 000 rounded to whole milliseconds, ties to even. The product is
// formed exactly from the double's mantissa: a long double product can round
// a value next to a half onto the half and then pick the wrong neighbour.
std::int64_t serialToMsec(DateSerial x) {
    if (std::isnan(x)) return 0;
    // Far outside the calendar; keeps the arithmetic below in range.
    x = std::clamp(x, -1e7, 1e7);
    if (x == 0) return 0;
    int exp = 0;
    const double frac = std::frexp(x, &exp);
    const auto mant = static_cast<std::int64_t>(std::ldexp(frac, 53));
    const int shift = 53 - exp; // x == mant / 2^shift, shift > 0 for |x| <= 1e7
    __int128 product = static_cast<__int128>(mant) * msPerDay;
    const bool negative = product < 0;
    auto mag = static_cast<unsigned __int128>(negative ? -product : product);
    if (shift >= 100) return 0; // mag < 2^80, so the value is below a half
    const unsigned __int128 one = 1;
    unsigned __int128 q = mag >> shift;
    const unsigned __int128 r = mag & ((one << shift) - 1);
    const unsigned __int128 half = one << (shift - 1);
    if (r > half || (r == half && (q & 1))) ++q;
    const auto result = static_cast<std::int64_t>(q);
    return negative ? -result : result;
}

} // namespace

std::int64_t roundHalfEven(long double x) {
    if (std::isnan(x)) return 0;
    const long double limit = std::ldexp(1.0L, 63);
    if (x >= limit) return std::numeric_limits<std::int64_t>::max();
    if (x <= -limit) return std::numeric_limits<std::int64_t>::min();
    const long double f = std::floor(x);
    const long double rest = x - f;
    auto i = static_cast<std::int64_t>(f);
    if ((rest > 0.5L || (rest == 0.5L && (i & 1))) && i != std::numeric_limits<std::int64_t>::max())
        ++i;
    return i;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

Split splitSerial(DateSerial x) {
    // Clamped to the calendar's first and last millisecond so that every
    // decoded date is one the encoders accept.
    const std::int64_t ms =
        std::clamp(serialToMsec(x), firstDay * msPerDay, (lastDay + 1) * msPerDay - 1);
    std::int64_t day = ms / msPerDay;
    std::int64_t rest = ms % msPerDay;
    if (rest < 0) {
        rest += msPerDay;
        --day;
    }
    return {day, rest};
}

Date decodeDate(DateSerial x) {
    return civilFromDays(splitSerial(x).day - unixEpochSerial);
}

TimeOfDay decodeTime(DateSerial x) {
    const std::int64_t ms = splitSerial(x).msec;
    return {static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
            static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}

int dayOfWeek(DateSerial x) {
    const std::int64_t r = (splitSerial(x).day + 6) % 7;
    return static_cast<int>(r < 0 ? r + 7 : r) + 1;
}

bool tryEncodeDate(int year, int month, int day, DateSerial& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month))
        return false;
    out = static_cast<DateSerial>(serialDay(year, month, day));
    return true;
}

bool tryEncodeTime(int hour, int minute, int second, int msec, DateSerial& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    const std::int64_t ms = hour * 3'600'000LL + minute * 60'000LL + second * 1000LL + msec;
    out = static_cast<DateSerial>(ms) / static_cast<DateSerial>(msPerDay);
    return true;
}

// Callers pass values they built themselves; anything else is a bug in the
// caller, not a user error, so it is not one of the program's messages.
DateSerial encodeDate(int year, int month, int day) {
    DateSerial out = 0;
    if (!tryEncodeDate(year, month, day, out)) throw std::invalid_argument("encodeDate");
    return out;
}

DateSerial encodeTime(int hour, int minute, int second, int msec) {
    DateSerial out = 0;
    if (!tryEncodeTime(hour, minute, second, msec, out)) throw std::invalid_argument("encodeTime");
    return out;
}

const FormatSettings& FormatSettings::japanese() {
    static const FormatSettings settings = [] {
        FormatSettings fs;
        fs.shortDateFormat = "yyyy/MM/dd";
        fs.amMarker = sjis::fromUtf8("午前");
        fs.pmMarker = sjis::fromUtf8("午後");
        const char* names[7] = {"日", "月", "火", "水", "木", "金", "土"};
        for (int i = 0; i < 7; ++i)
            fs.shortDayNames[i] = sjis::fromUtf8(names[i]);
        return fs;
    }();
    return settings;
}

DateSerial incMonth(DateSerial x, int n) {
    const Split split = splitSerial(x);
    const Date d = civilFromDays(split.day - unixEpochSerial);
    std::int64_t year = d.year + n / 12;
    int month = d.month + n % 12;
    if (month < 1 || month > 12) {
        if (n >= 0) {
            ++year;
            month -= 12;
        } else {
            --year;
            month += 12;
        }
    }
    // Out-of-calendar years only arise from absurd n; clamping keeps the
    // result a date instead of wrapping.
    year = std::clamp<std::int64_t>(year, 1, 9999);
    const int day = std::min(d.day, daysInMonth(static_cast<int>(year), month));
    return static_cast<DateSerial>(serialDay(year, month, day)) +
           static_cast<DateSerial>(split.msec) / static_cast<DateSerial>(msPerDay);
}

DateSerial systemToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

} // namespace kab
