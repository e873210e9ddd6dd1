#include "report/holidays.h"

#include "foundation/datetime.h"

namespace kab::report {

namespace {

// 1 = Sunday .. 7 = Saturday
int weekday(int year, int month, int day) {
    return dayOfWeek(encodeDate(year, month, day));
}

// The day of the n-th Monday of the month.
int nthMonday(int year, int month, int n) {
    const int first = weekday(year, month, 1);
    const int firstMonday = 1 + (9 - first) % 7;
    return firstMonday + 7 * (n - 1);
}

// The observatory's formula, valid from 1980 to 2099.
int equinox(int year, double base) {
    const int y = year - 1980;
    return static_cast<int>(base + 0.242194 * y) - y / 4;
}

// The holidays the law names, without the substitute and in-between days.
std::string_view namedHoliday(int year, int month, int day) {
    switch (month) {
    case 1:
        if (day == 1) return "元日";
        if (year >= 2000 ? day == nthMonday(year, 1, 2) : day == 15) return "成人の日";
        break;
    case 2:
        if (day == 11) return "建国記念の日";
        if (year >= 2020 && day == 23) return "天皇誕生日";
        break;
    case 3:
        if (day == equinox(year, 20.8431)) return "春分の日";
        break;
    case 4:
        if (day == 29) return year >= 2007 ? "昭和の日" : "みどりの日";
        if (year == 2019 && day == 30) return "国民の休日";
        break;
    case 5:
        if (day == 3) return "憲法記念日";
        if (day == 4 && year >= 2007) return "みどりの日";
        if (day == 5) return "こどもの日";
        if (year == 2019 && day == 1) return "即位の日";
        if (year == 2019 && day == 2) return "国民の休日";
        break;
    case 7: {
        // the sea's, and in 2020 and 2021 the sports day, moved for the games
        int sea = year >= 2003 ? nthMonday(year, 7, 3) : 20;
        if (year == 2020) sea = 23;
        if (year == 2021) sea = 22;
        if (day == sea) return "海の日";
        if ((year == 2020 && day == 24) || (year == 2021 && day == 23)) return "スポーツの日";
        break;
    }
    case 8: {
        if (year < 2016) break;
        const int mountain = year == 2020 ? 10 : year == 2021 ? 8 : 11;
        if (day == mountain) return "山の日";
        break;
    }
    case 9:
        if (year >= 2003 ? day == nthMonday(year, 9, 3) : day == 15) return "敬老の日";
        if (day == equinox(year, 23.2488)) return "秋分の日";
        break;
    case 10:
        if (year == 2020 || year == 2021) break;
        if (year >= 2000 ? day == nthMonday(year, 10, 2) : day == 10)
            return year >= 2020 ? "スポーツの日" : "体育の日";
        if (year == 2019 && day == 22) return "即位礼正殿の儀の日";
        break;
    case 11:
        if (day == 3) return "文化の日";
        if (day == 23) return "勤労感謝の日";
        break;
    case 12:
        if (year <= 2018 && day == 23) return "天皇誕生日";
        break;
    default:
        break;
    }
    return {};
}

bool named(DateSerial date) {
    const Date d = decodeDate(date);
    return !namedHoliday(d.year, d.month, d.day).empty();
}

} // namespace

std::string_view holidayName(int year, int month, int day) {
    if (year < 1980 || year > 2099) return {};
    if (const auto name = namedHoliday(year, month, day); !name.empty()) return name;
    const DateSerial date = encodeDate(year, month, day);
    // A holiday on a Sunday: the first later day that is no holiday is one
    // (from 2007; before, only the Monday after it).
    for (DateSerial back = date - 1;; --back) {
        if (!named(back)) break;
        if (dayOfWeek(back) == 1) return "振替休日";
        if (year < 2007) break;
    }
    // A day between two holidays, itself no Sunday
    if (dayOfWeek(date) != 1 && named(date - 1) && named(date + 1)) return "国民の休日";
    return {};
}

} // namespace kab::report
