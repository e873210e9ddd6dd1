#include "report/month.h"

#include "foundation/numbers.h"
#include "storage/dayfile.h"
#include "storage/dayread.h"

#include <cmath>
#include <sys/stat.h>

namespace kab::report {

namespace {

// Exactly n decimal digits at text[from...].
bool digitsAt(std::string_view text, std::size_t from, std::size_t n, int& out) {
    if (from + n > text.size()) return false;
    out = 0;
    for (std::size_t i = from; i < from + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

constexpr std::int64_t kDayMs = 86'400'000;

std::int64_t msOfSerial(DateSerial x) {
    const Split s = splitSerial(x);
    return s.day * kDayMs + s.msec;
}

SjisString sj(std::string_view utf8) {
    return sjis::fromUtf8(utf8);
}

} // namespace

std::optional<Month> parseMonth(std::string_view text) {
    Month m;
    if (text.size() != 7 || text[4] != '-' || !digitsAt(text, 0, 4, m.year) ||
        !digitsAt(text, 5, 2, m.month) || m.year < 1 || m.month < 1 || m.month > 12)
        return std::nullopt;
    return m;
}

std::optional<DateSerial> parseDay(std::string_view text) {
    int day = 0;
    if (text.size() != 10 || text[7] != '-' || !digitsAt(text, 8, 2, day)) return std::nullopt;
    const auto m = parseMonth(text.substr(0, 7));
    DateSerial out = 0;
    if (!m || !tryEncodeDate(m->year, m->month, day, out)) return std::nullopt;
    return out;
}

bool Shift::named() const {
    return !a.name.empty() && a.name != "---";
}

Day dayOf(DateSerial date, const FilePath& path, const storage::DayPlan& plan) {
    Day day;
    day.date = date;
    day.path = path;
    for (const auto& a : plan.assignments) {
        // 6:00 up to 6:00 of the next day, as the load leaves a time of day
        if (!storage::isTimeOfBoardDay(a.start)) {
            day.leftOut.push_back(
                {a.line, "'" + a.startText + sj("' は時刻ではなく日付を含んでいます")});
            continue;
        }
        const auto hours = Hours::parse(a.durationText);
        if (!hours) {
            day.leftOut.push_back(
                {a.line, "'" + a.durationText + sj("' は時間数として大きすぎます")});
            continue;
        }
        Shift s;
        s.date = date;
        s.a = a;
        s.hours = *hours;
        s.startMs = msOfSerial(a.start);
        s.endMs = s.startMs + static_cast<std::int64_t>(a.minutes) * 60'000;
        day.shifts.push_back(std::move(s));
    }
    if (plan.damage) {
        SjisString m = plan.damage->message;
        if (plan.damage->line > 0) m += sj(" (この行から後は読まれていません)");
        day.leftOut.push_back({plan.damage->line, std::move(m)});
    }
    if (plan.pastLimit.count > 0) {
        // as the board leaves them out: named with how many there are
        SjisString m = sj("この行から後の ") + intToStr(plan.pastLimit.count) +
                       sj(plan.pastLimit.atLeast ? " 件以上" : " 件");
        m += sj("は読まれていません (一日に読むのは ") + intToStr(storage::maxDayLines) +
             sj(" 件まで)");
        day.leftOut.push_back({storage::maxDayLines + 1, std::move(m)});
    }
    return day;
}

FilePath dayPath(const FilePath& dataDir, DateSerial date) {
    return storage::dayFilePath(dataDir, date, date);
}

Day readDay(const FilePath& dataDir, DateSerial date) {
    const FilePath path = dayPath(dataDir, date);
    const int year = decodeDate(date).year;
    Day day = dayOf(date, path, storage::readDayPlan(path, year));
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        day.exists = true;
        day.modified = st.st_mtime;
    }
    return day;
}

std::vector<Day> readMonth(const FilePath& dataDir, Month month) {
    std::vector<Day> days;
    const int count = daysInMonth(month.year, month.month);
    days.reserve(static_cast<std::size_t>(count));
    for (int d = 1; d <= count; ++d)
        days.push_back(readDay(dataDir, encodeDate(month.year, month.month, d)));
    return days;
}

} // namespace kab::report
