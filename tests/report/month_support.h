#pragma once
// Days made from record lines, without files, for the month's rules.

#include "report/month.h"
#include "storage/dayplan.h"

#include <string>
#include <utility>
#include <vector>

namespace kab::report::test {

inline DateSerial date(const char* iso) {
    return *parseDay(iso);
}

// "2026-12-07" and its records as UTF-8 lines ("1\\9:00\\4.0\\佐藤").
using DayRecords = std::pair<const char*, std::vector<std::string>>;

inline Day dayFrom(DateSerial d, const std::vector<std::string>& utf8Lines) {
    std::vector<SjisString> lines;
    for (const auto& l : utf8Lines)
        lines.push_back(sjis::fromUtf8(l));
    return dayOf(d, "data/x.txt", storage::planDay(lines, decodeDate(d).year));
}

// Every date of from..to, with the records given for some of them.
inline std::vector<Day> daysFrom(DateSerial from, DateSerial to,
                                 const std::vector<DayRecords>& records) {
    std::vector<Day> days;
    for (DateSerial d = from; d <= to; d += 1) {
        std::vector<std::string> lines;
        for (const auto& [iso, recs] : records)
            if (date(iso) == d) lines = recs;
        days.push_back(dayFrom(d, lines));
    }
    return days;
}

} // namespace kab::report::test
