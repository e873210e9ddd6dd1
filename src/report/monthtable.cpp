#include "report/monthtable.h"

#include "report/holidays.h"
#include "report/listing.h"
#include "storage/stafflist.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace kab::report {

namespace {

const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};

} // namespace

DateSerial firstOf(Month month) {
    return encodeDate(month.year, month.month, 1);
}

DateSerial lastOf(Month month) {
    return encodeDate(month.year, month.month, daysInMonth(month.year, month.month));
}

MonthTable monthTable(Month month, std::vector<Day> days, const std::vector<SjisString>& staff) {
    std::vector<std::shared_ptr<const Day>> shared;
    shared.reserve(days.size());
    for (Day& d : days)
        shared.push_back(std::make_shared<const Day>(std::move(d)));
    return monthTable(month, std::move(shared), staff);
}

MonthTable monthTable(Month month, std::vector<std::shared_ptr<const Day>> days,
                      const std::vector<SjisString>& staff) {
    MonthTable t;
    t.month = month;
    t.days = std::move(days);
    const DateSerial first = firstOf(month), last = lastOf(month);
    const std::size_t count = static_cast<std::size_t>(last - first + 1);

    // rows: the staff list, the others as met, the blocks without a name
    std::unordered_map<SjisString, std::size_t> rowOf;
    rowOf.reserve(staff.size() + 64);
    const auto addRow = [&](MonthRow::Kind kind, const SjisString& name) {
        rowOf.emplace(name, t.rows.size());
        MonthRow row;
        row.kind = kind;
        row.name = name;
        row.text = kind == MonthRow::Kind::Unnamed ? "(名前なし)" : sjis::toUtf8(name);
        row.cells.resize(count);
        t.rows.push_back(std::move(row));
    };
    for (const SjisString& name : staff)
        if (!name.empty() && name != "---" && !rowOf.count(name))
            addRow(MonthRow::Kind::Staff, name);
    const std::size_t unnamedRow = std::size_t(-1);
    std::size_t unnamed = unnamedRow;
    std::vector<const Day*> monthDays, all;
    for (const auto& day : t.days) {
        all.push_back(day.get());
        if (day->date >= first && day->date <= last) monthDays.push_back(day.get());
    }
    for (const Day* day : monthDays)
        for (const Shift& s : day->shifts)
            if (s.named() && !rowOf.count(s.a.name)) addRow(MonthRow::Kind::Unlisted, s.a.name);
    for (const Day* day : monthDays)
        for (const Shift& s : day->shifts)
            if (!s.named() && unnamed == unnamedRow) {
                unnamed = t.rows.size();
                addRow(MonthRow::Kind::Unnamed, {});
            }

    t.columns.resize(count);
    for (const Day* day : monthDays) {
        const std::size_t c = static_cast<std::size_t>(day->date - first);
        MonthColumn& col = t.columns[c];
        col.date = day->date;
        const Date d = decodeDate(day->date);
        col.day = d.day;
        col.weekday = dayOfWeek(day->date);
        col.holiday = holidayName(d.year, d.month, d.day);
        for (const LeftOut& l : day->leftOut) {
            if (!col.damage.empty()) col.damage += "\n";
            col.damage += day->path;
            if (l.line > 0) col.damage += ": " + std::to_string(l.line) + " 行目";
            col.damage += ": " + sjis::toUtf8(l.message);
        }
        std::vector<std::size_t> people;
        for (const Shift& s : day->shifts) {
            const std::size_t r = s.named() ? rowOf.at(s.a.name) : unnamed;
            t.rows[r].cells[c].shifts.push_back(&s);
            t.rows[r].hours += s.hours;
            col.hours += s.hours;
            t.total += s.hours;
            if (s.named()) people.push_back(r);
        }
        std::sort(people.begin(), people.end());
        col.people = static_cast<int>(std::unique(people.begin(), people.end()) - people.begin());
    }
    for (MonthRow& row : t.rows) {
        for (MonthCell& cell : row.cells) {
            if (cell.shifts.empty()) continue;
            ++row.days;
            std::stable_sort(
                cell.shifts.begin(), cell.shifts.end(),
                [](const Shift* a, const Shift* b) { return a->startMs < b->startMs; });
            for (const Shift* s : cell.shifts) {
                if (!cell.text.empty()) cell.text += "\n";
                cell.text += blockTimes(*s);
            }
        }
    }
    t.findings = findings(all, first, last);
    for (std::size_t i = 0; i < t.findings.size(); ++i) {
        const Finding& f = t.findings[i];
        const std::size_t r = f.name.empty() ? unnamed : rowOf.at(f.name);
        t.rows[r].cells[static_cast<std::size_t>(f.date - first)].findings.push_back(int(i));
    }
    return t;
}

std::vector<SjisString> staffOf(const FilePath& dataDir) {
    try {
        return storage::readStaffNames(storage::staffListPath(dataDir));
    } catch (const Error&) {
        return {};
    }
}

std::vector<Finding> monthFindings(const std::vector<Day>& monthDays, const FilePath& dataDir,
                                   Month month) {
    const DateSerial first = firstOf(month), last = lastOf(month);
    const Span span = findingSpan(first, last);
    std::vector<Day> days = readDays(dataDir, {span.from, first - 1});
    days.insert(days.end(), monthDays.begin(), monthDays.end());
    for (Day& d : readDays(dataDir, {last + 1, span.to}))
        days.push_back(std::move(d));
    return findings(days, first, last);
}

MonthTable readMonthTable(const FilePath& dataDir, Month month) {
    return monthTable(month, readDays(dataDir, findingSpan(firstOf(month), lastOf(month))),
                      staffOf(dataDir));
}

std::string monthCsv(const MonthTable& t) {
    std::string out = "\xEF\xBB\xBF名前";
    for (const MonthColumn& c : t.columns)
        out += "," + std::to_string(c.day) + "(" + kWeekdays[c.weekday - 1] + ")";
    out += ",日数,時間\r\n";
    for (const MonthRow& row : t.rows) {
        out += csvField(row.label());
        for (const MonthCell& cell : row.cells)
            out += "," + csvField(cell.text);
        out += "," + std::to_string(row.days) + "," + row.hours.text() + "\r\n";
    }
    out += "人数";
    for (const MonthColumn& c : t.columns)
        out += "," + std::to_string(c.people);
    out += ",,\r\n時間";
    for (const MonthColumn& c : t.columns)
        out += "," + c.hours.text();
    out += ",," + t.total.text() + "\r\n";
    return out;
}

std::string findingsText(const std::vector<Finding>& findings) {
    std::string out;
    std::map<SjisString, std::string> names;
    for (int k = 0; k <= int(FindingKind::Unnamed); ++k) {
        const auto kind = FindingKind(k);
        std::string lines;
        int n = 0;
        for (const Finding& f : findings) {
            if (f.kind != kind) continue;
            ++n;
            auto it = names.find(f.name);
            if (it == names.end()) it = names.emplace(f.name, sjis::toUtf8(f.name)).first;
            lines += "  " + dateLabel(f.date) + " " + (f.name.empty() ? "" : it->second + "  ") +
                     f.text + "\n";
        }
        if (n == 0) continue;
        if (!out.empty()) out += "\n";
        out += std::string(findingTitle(kind)) + " (" + std::to_string(n) + " 件)\n" + lines;
    }
    return out;
}

std::string monthText(const MonthTable& t) {
    std::string out =
        std::to_string(t.month.year) + "年" + std::to_string(t.month.month) + "月の月間表\n";
    for (const MonthRow& row : t.rows) {
        out += "\n" + row.label();
        out += "  " + std::to_string(row.days) + "日  " + row.hours.text() + "時間\n";
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const MonthCell& cell = row.cells[c];
            if (cell.shifts.empty()) continue;
            out += "  " + dateLabel(t.columns[c].date);
            for (const Shift* s : cell.shifts)
                out += " " + blockTimes(*s);
            if (!cell.findings.empty()) out += "  注意";
            out += "\n";
        }
    }
    out += "\n日ごと (人数、時間)\n";
    for (const MonthColumn& c : t.columns) {
        out += "  " + dateLabel(c.date);
        if (!c.holiday.empty()) out += " " + std::string(c.holiday);
        out += "  " + std::to_string(c.people) + "人  " + c.hours.text() + "\n";
    }
    out += "合計 " + t.total.text() + "時間\n";
    const std::string notes = findingsText(t.findings);
    out += "\n" + (notes.empty() ? std::string("注意はありません\n") : "注意\n" + notes);
    return out;
}

} // namespace kab::report
