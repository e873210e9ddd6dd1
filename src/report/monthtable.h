#pragma once
// The month at a glance: a row a person, a column a day, each cell the
// person's blocks of the day, with the days and hours of the month, the
// people and hours of each day and the findings on their cells. Shown by
// the month window and written by the report command.

#include "report/findings.h"
#include "report/month.h"

#include <memory>
#include <string>
#include <vector>

namespace kab::report {

struct MonthColumn {
    DateSerial date = 0;
    int day = 0;
    int weekday = 0;          // 1 = Sunday .. 7 = Saturday
    std::string_view holiday; // the public holiday's name, or empty
    bool unsaved = false;     // the board shows it with changes not saved
    // Work an earlier run left unsaved (a recovery file): none, newer than
    // the day's file, or older (the day saved since).
    enum class LeftUnsaved { None, Newer, Older };
    LeftUnsaved leftUnsaved = LeftUnsaved::None;
    // "data/12;09水.txt: 2 行目: ...", one a line, when the file was damaged
    std::string damage;
    int people = 0; // named people with a block
    Hours hours;    // of every block
};

struct MonthCell {
    std::vector<const Shift*> shifts; // by start; into MonthTable::days
    std::string text;                 // "9:00-13:00", one block a line
    std::vector<int> findings;        // into MonthTable::findings
};

struct MonthRow {
    enum class Kind { Staff, Unlisted, Unnamed };
    Kind kind = Kind::Staff;
    SjisString name;  // empty for the unnamed blocks
    std::string text; // the name in UTF-8, or "(名前なし)"
    // As the table heads the row: a name not in the staff list is marked.
    std::string label() const { return kind == Kind::Unlisted ? text + " (名簿外)" : text; }
    std::vector<MonthCell> cells;
    int days = 0;
    Hours hours;
};

struct MonthTable {
    // the cells point into days: a table moves, never copies
    MonthTable() = default;
    MonthTable(MonthTable&&) = default;
    MonthTable& operator=(MonthTable&&) = default;
    MonthTable(const MonthTable&) = delete;
    MonthTable& operator=(const MonthTable&) = delete;

    Month month;
    // the span the findings need, the month within it; shared with whoever
    // builds the next table from the same files
    std::vector<std::shared_ptr<const Day>> days;
    std::vector<MonthColumn> columns;
    std::vector<MonthRow> rows;
    std::vector<Finding> findings; // of the month's dates
    Hours total;
};

// The first and last date of a month.
DateSerial firstOf(Month month);
DateSerial lastOf(Month month);

// The table of days, which cover at least findingSpan(month) (readDays
// gives them). staff is the staff list in its order: blank lines, "---"
// and repeats give no row.
MonthTable monthTable(Month month, std::vector<std::shared_ptr<const Day>> days,
                      const std::vector<SjisString>& staff);
MonthTable monthTable(Month month, std::vector<Day> days, const std::vector<SjisString>& staff);

// The staff list of the data folder, none when it cannot be read.
std::vector<SjisString> staffOf(const FilePath& dataDir);

// The findings of a month whose days readMonth gave, the days around it
// read from dataDir.
std::vector<Finding> monthFindings(const std::vector<Day>& monthDays, const FilePath& dataDir,
                                   Month month);

// The table with the month's files read from dataDir.
MonthTable readMonthTable(const FilePath& dataDir, Month month);

// RFC 4180 in UTF-8 after a byte-order mark, lines ended by CR LF: a header
// of the days, a row a person, then the people and hours of each day.
std::string monthCsv(const MonthTable& t);
// For a terminal: each person's days and times, then the findings.
std::string monthText(const MonthTable& t);
// "二重予約 (1 件)\n  12月8日(火) 鈴木  ...": the findings by kind, for
// the report's listing; empty when there are none.
std::string findingsText(const std::vector<Finding>& findings);

} // namespace kab::report
