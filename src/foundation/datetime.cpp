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

void appendNumber(SjisString& out, long long value, int minDigits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", minDigits, value);
    out += buf;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isAsciiLetter(char c) {
    const char l = lowerAscii(c);
    return l >= 'a' && l <= 'z';
}

// Reader for strToDateTime. Spaces may stand before every number, separator
// and marker; each scan skips them and moves on only when it matches.
class Scanner {
public:
    Scanner(std::string_view text, std::size_t pos) : s_(text), pos_(pos) {}

    bool atEnd() const { return pos_ >= s_.size(); }
    void skipSpaces() { pos_ = afterSpaces(); }

    // Digits while the value is below 1000, so a long run stops after four
    // digits and leaves the rest unread.
    bool number(int& value, int& digits) {
        std::size_t p = afterSpaces();
        if (p >= s_.size() || !isDigit(s_[p])) return false;
        value = 0;
        digits = 0;
        while (p < s_.size() && isDigit(s_[p]) && value < 1000) {
            value = value * 10 + (s_[p] - '0');
            ++digits;
            ++p;
        }
        pos_ = p;
        return true;
    }

    bool number(int& value) {
        int digits = 0;
        return number(value, digits);
    }

    bool character(char c) {
        std::size_t p = afterSpaces();
        if (p >= s_.size() || s_[p] != c) return false;
        pos_ = p + 1;
        return true;
    }

    // ASCII letters match in either case; a double-byte character only as its
    // exact two bytes, since its second byte may look like a letter.
    bool text(std::string_view word) {
        if (word.empty()) return false;
        std::size_t p = afterSpaces();
        std::size_t i = 0;
        while (i < word.size()) {
            const std::size_t wn = sjis::next(word, i);
            const std::size_t tn = sjis::next(s_, p);
            if (tn - p != wn - i) return false;
            if (wn - i == 1) {
                if (lowerAscii(word[i]) != lowerAscii(s_[p])) return false;
            } else if (s_.substr(p, 2) != word.substr(i, 2)) {
                return false;
            }
            i = wn;
            p = tn;
        }
        pos_ = p;
        return true;
    }

private:
    std::size_t afterSpaces() const {
        std::size_t p = pos_;
        while (p < s_.size() && s_[p] == ' ')
            ++p;
        return p;
    }

    std::string_view s_;
    std::size_t pos_;
};

enum class Marker { None, Am, Pm };

Marker scanMarker(Scanner& sc, const FormatSettings& fs) {
    if (sc.text(fs.amMarker) || sc.text("AM")) return Marker::Am;
    if (sc.text(fs.pmMarker) || sc.text("PM")) return Marker::Pm;
    return Marker::None;
}

// A time of day from the scanner's position. With requireEnd false, anything
// after the time is left unread (a date's trailing text).
bool scanTime(Scanner& sc, const FormatSettings& fs, bool requireEnd, DateSerial& out) {
    Marker marker = scanMarker(sc, fs); // spaces after it go with the hour
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (!sc.number(hour)) return false;
    if (sc.character(fs.timeSeparator)) {
        if (!sc.number(minute)) return false;
        if (sc.character(fs.timeSeparator)) {
            if (!sc.number(second)) return false;
            if (sc.character(fs.decimalSeparator) && !sc.number(msec)) return false;
        }
    }
    if (marker == Marker::None) marker = scanMarker(sc, fs);
    sc.skipSpaces();
    if (requireEnd && !sc.atEnd()) return false;
    if (marker != Marker::None) {
        if (hour < 1 || hour > 12) return false;
        if (hour == 12) hour = 0;
        if (marker == Marker::Pm) hour += 12;
    }
    return tryEncodeTime(hour, minute, second, msec, out);
}

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrder(std::string_view format) {
    for (std::size_t i = 0; i < format.size(); i = sjis::next(format, i)) {
        if (sjis::next(format, i) - i != 1) continue;
        switch (lowerAscii(format[i])) {
        case 'd':
            return DateOrder::DMY;
        case 'y':
        case 'e':
            return DateOrder::YMD;
        case 'm':
            return DateOrder::MDY;
        default:
            break;
        }
    }
    return DateOrder::MDY;
}

// A date at the start of the text, with the scanner left after it and its
// optional closing separator and spaces.
bool scanDate(Scanner& sc, int currentYear, const FormatSettings& fs, DateSerial& out) {
    int n1 = 0, n2 = 0, n3 = 0, d1 = 0, d2 = 0, d3 = 0;
    if (!sc.number(n1, d1) || !sc.character(fs.dateSeparator) || !sc.number(n2, d2)) return false;
    const DateOrder order = dateOrder(fs.shortDateFormat);
    int year = 0, month = 0, day = 0, yearDigits = 0;
    Scanner third = sc;
    if (third.character(fs.dateSeparator) && third.number(n3, d3)) {
        sc = third;
        switch (order) {
        case DateOrder::DMY:
            day = n1, month = n2, year = n3, yearDigits = d3;
            break;
        case DateOrder::YMD:
            year = n1, yearDigits = d1, month = n2, day = n3;
            break;
        case DateOrder::MDY:
            month = n1, day = n2, year = n3, yearDigits = d3;
            break;
        }
        if (yearDigits <= 2) year += currentYear / 100 * 100;
    } else {
        year = currentYear;
        if (order == DateOrder::DMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    sc.character(fs.dateSeparator);
    sc.skipSpaces();
    return tryEncodeDate(year, month, day, out);
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

SjisString formatDateTime(std::string_view pattern, DateSerial x, const FormatSettings& fs) {
    const Date date = decodeDate(x);
    const TimeOfDay time = decodeTime(x);
    SjisString out;
    char lastLetter = 0; // an m right after an h token means minutes
    std::size_t i = 0;
    while (i < pattern.size()) {
        const std::size_t nextChar = sjis::next(pattern, i);
        if (nextChar - i != 1) { // double-byte: never a token
            out.append(pattern.substr(i, nextChar - i));
            i = nextChar;
            continue;
        }
        const char c = pattern[i];
        if (!isAsciiLetter(c)) {
            if (c == '/')
                out += fs.dateSeparator;
            else if (c == ':')
                out += fs.timeSeparator;
            else
                out += c;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < pattern.size() && pattern[end] == c)
            ++end;
        const auto count = static_cast<int>(end - i);
        char letter = lowerAscii(c);
        if (letter == 'm' && lastLetter == 'h') letter = 'n';
        const int width = count >= 2 ? 2 : 1;
        switch (letter) {
        case 'h':
            appendNumber(out, time.hour, width);
            break;
        case 'n':
            appendNumber(out, time.minute, width);
            break;
        case 'm':
            appendNumber(out, date.month, width);
            break;
        case 'd':
            appendNumber(out, date.day, width);
            break;
        case 'y':
            if (count <= 2)
                appendNumber(out, date.year % 100, 2);
            else
                appendNumber(out, date.year, 4);
            break;
        case 'a':
            if (count == 3)
                out += fs.shortDayNames[dayOfWeek(x) - 1];
            else
                out.append(pattern.substr(i, end - i));
            break;
        default:
            out.append(pattern.substr(i, end - i));
            break;
        }
        lastLetter = letter;
        i = end;
    }
    return out;
}

DateSerial strToDateTime(std::string_view text, int currentYear, const FormatSettings& fs) {
    DateSerial date = 0;
    Scanner sc(text, 0);
    if (scanDate(sc, currentYear, fs, date)) {
        if (sc.atEnd()) return date;
        DateSerial time = 0;
        if (scanTime(sc, fs, false, time)) return date + time;
    }
    Scanner whole(text, 0);
    DateSerial time = 0;
    if (scanTime(whole, fs, true, time)) return time;
    throw Error::invalidDateTime(text);
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
