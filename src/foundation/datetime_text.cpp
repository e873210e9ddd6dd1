// Date serials as text: formatting by pattern and reading text back.

#include "foundation/datetime.h"

#include "foundation/bytes.h"
#include "foundation/errors.h"

#include <charconv>

namespace kab {

namespace {

// As printf's "%0*lld": the sign first, then zeros up to the width.
void appendNumber(SjisString& out, long long value, int minDigits) {
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    const std::string_view digits(buf, std::size_t(end - buf));
    const bool negative = value < 0;
    if (negative) out += '-';
    const int width = int(digits.size());
    if (width < minDigits) out.append(std::size_t(minDigits - width), '0');
    out += digits.substr(negative ? 1 : 0);
}

using bytes::isAsciiLetter;
using bytes::isDigit;
using bytes::lowerAscii;

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

} // namespace kab
