#include "report/findings.h"

#include "report/tally.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace kab::report {

namespace {

constexpr std::int64_t kDayMs = 86'400'000;
constexpr std::int64_t kMinuteMs = 60'000;

std::int64_t dayIndex(DateSerial date) {
    return static_cast<std::int64_t>(std::floor(date));
}

std::int64_t absoluteMs(const Shift& s, std::int64_t ms) {
    return dayIndex(s.date) * kDayMs + ms;
}

int lengthMinutes(const Shift& s) {
    return static_cast<int>((s.endMs - s.startMs) / kMinuteMs);
}

std::string dayText(DateSerial date) {
    const Date d = decodeDate(date);
    return std::to_string(d.month) + "月" + std::to_string(d.day) + "日";
}

std::string lineText(const Shift& s) {
    return std::to_string(s.a.row) + "行目 " + blockTimes(s);
}

// One person's blocks, date by date.
using PersonDays = std::map<std::int64_t, std::vector<const Shift*>>;

} // namespace

int workingMinutes(int blockMinutes) {
    if (blockMinutes > 8 * 60) return blockMinutes - 60;
    if (blockMinutes > 6 * 60) return blockMinutes - 45;
    return blockMinutes;
}

std::string clockText(std::int64_t ms) {
    std::int64_t minutes = ms / kMinuteMs;
    std::string out;
    if (minutes >= 24 * 60) {
        out = "翌";
        minutes -= 24 * 60;
    }
    out += std::to_string(minutes / 60) + ":";
    out += static_cast<char>('0' + minutes % 60 / 10);
    out += static_cast<char>('0' + minutes % 10);
    return out;
}

std::string blockTimes(const Shift& s) {
    return clockText(s.startMs) + "-" + clockText(s.endMs);
}

std::string minutesText(int minutes) {
    std::string out = std::to_string(minutes / 60) + "時間";
    if (minutes % 60 != 0) out += std::to_string(minutes % 60) + "分";
    return out;
}

std::string_view findingTitle(FindingKind kind) {
    switch (kind) {
    case FindingKind::DoubleBooking:
        return "二重予約";
    case FindingKind::LongDay:
        return "1日8時間超";
    case FindingKind::LongWeek:
        return "週40時間超";
    case FindingKind::ShortRest:
        return "勤務間インターバル11時間未満";
    case FindingKind::DaysInARow:
        return "7日以上の連続勤務";
    case FindingKind::Unnamed:
        return "名前のない枠";
    }
    return {};
}

Span findingSpan(DateSerial first, DateSerial last) {
    // six days back for a run of seven, and the last week to its Saturday
    return {std::floor(first) - (kDaysInARow - 1), std::floor(last) + (7 - dayOfWeek(last))};
}

std::vector<Day> readDays(const FilePath& dataDir, Span span) {
    std::vector<Day> days;
    for (DateSerial d = span.from; d <= span.to; d += 1)
        days.push_back(readDay(dataDir, d));
    return days;
}

std::vector<Finding> findings(const std::vector<Day>& days, DateSerial first, DateSerial last) {
    std::vector<const Day*> all;
    for (const Day& d : days)
        all.push_back(&d);
    return findings(all, first, last);
}

std::vector<Finding> findings(const std::vector<const Day*>& days, DateSerial first,
                              DateSerial last) {
    const std::int64_t firstDay = dayIndex(first), lastDay = dayIndex(last);
    const auto inRange = [&](std::int64_t d) { return d >= firstDay && d <= lastDay; };
    std::vector<Finding> out;
    // by name, in byte order, so that a day's findings keep one order
    std::vector<std::pair<SjisString, PersonDays>> persons;
    std::unordered_map<SjisString, std::size_t> personOf;
    for (const Day* day : days) {
        for (const Shift& s : day->shifts) {
            if (s.named()) {
                auto [it, added] = personOf.try_emplace(s.a.name, persons.size());
                if (added) persons.emplace_back(s.a.name, PersonDays{});
                persons[it->second].second[dayIndex(day->date)].push_back(&s);
            } else if (inRange(dayIndex(day->date)))
                out.push_back({FindingKind::Unnamed, day->date, {}, lineText(s)});
        }
    }
    std::sort(persons.begin(), persons.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& person : persons) {
        // named, not bound: lambdas take them (clang before 16 takes no binding)
        const SjisString& name = person.first;
        PersonDays& byDay = person.second;
        const auto add = [&](FindingKind kind, std::int64_t d, std::string text) {
            if (inRange(d))
                out.push_back({kind, static_cast<DateSerial>(d), name, std::move(text)});
        };
        int weekMinutes = 0;
        std::int64_t week = -1, runStart = 0, previous = 0;
        bool weekPassed = false, any = false;
        std::int64_t previousEnd = 0;
        for (auto& [d, shifts] : byDay) {
            std::stable_sort(shifts.begin(), shifts.end(), [](const Shift* a, const Shift* b) {
                return a->startMs < b->startMs;
            });
            for (std::size_t i = 0; i < shifts.size(); ++i)
                for (std::size_t j = i + 1; j < shifts.size(); ++j)
                    if (overlaps(*shifts[i], *shifts[j]))
                        add(FindingKind::DoubleBooking, d,
                            lineText(*shifts[i]) + " と " + lineText(*shifts[j]));
            int minutes = 0;
            std::int64_t start = absoluteMs(*shifts.front(), shifts.front()->startMs), end = start;
            for (const Shift* s : shifts) {
                minutes += workingMinutes(lengthMinutes(*s));
                end = std::max(end, absoluteMs(*s, s->endMs));
            }
            if (minutes > kDayLimitMinutes)
                add(FindingKind::LongDay, d, "労働時間 " + minutesText(minutes) + " (休憩を除く)");
            // serial 1 is a Sunday, and the board's dates lie far after it
            const std::int64_t thisWeek = (d - 1) / 7;
            if (thisWeek != week) {
                week = thisWeek;
                weekMinutes = 0;
                weekPassed = false;
            }
            weekMinutes += minutes;
            if (!weekPassed && weekMinutes > kWeekLimitMinutes) {
                weekPassed = true;
                const std::int64_t sunday = week * 7 + 1;
                add(FindingKind::LongWeek, d,
                    "週の労働時間 " + minutesText(weekMinutes) + " (" +
                        dayText(static_cast<DateSerial>(sunday)) + "〜" +
                        dayText(static_cast<DateSerial>(sunday + 6)) + "、休憩を除く)");
            }
            const bool following = any && d == previous + 1;
            if (any) {
                const std::int64_t rest = (start - previousEnd) / kMinuteMs;
                if (rest < kRestMinutes)
                    add(FindingKind::ShortRest, d,
                        "前の勤務の終わり (" + dayText(static_cast<DateSerial>(previous)) + " " +
                            clockText(previousEnd - previous * kDayMs) + ") から " +
                            (rest < 0 ? std::string("重なり")
                                      : minutesText(static_cast<int>(rest))));
            }
            if (!following) runStart = d;
            if (d - runStart + 1 >= kDaysInARow)
                add(FindingKind::DaysInARow, d,
                    std::to_string(d - runStart + 1) + "日連続 (" +
                        dayText(static_cast<DateSerial>(runStart)) + "から)");
            any = true;
            previous = d;
            previousEnd = end;
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
        return a.date != b.date ? a.date < b.date : a.kind < b.kind;
    });
    return out;
}

} // namespace kab::report
