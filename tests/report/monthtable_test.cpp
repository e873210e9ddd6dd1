#include "report/monthtable.h"

#include "report/month_support.h"
#include "report/stafforder.h"

#include <gtest/gtest.h>

namespace kab::report {
namespace {

using test::date;

std::vector<SjisString> sj(const std::vector<std::string>& utf8) {
    std::vector<SjisString> out;
    for (const auto& s : utf8)
        out.push_back(sjis::fromUtf8(s));
    return out;
}

MonthTable december(const std::vector<test::DayRecords>& records,
                    const std::vector<std::string>& staff) {
    const Month m{2026, 12};
    const Span span = findingSpan(firstOf(m), lastOf(m));
    return monthTable(m, test::daysFrom(span.from, span.to, records), sj(staff));
}

TEST(MonthTable, RowsCellsAndTotals) {
    const auto t = december({{"2026-12-07",
                              {"1\\9:00\\4.0\\鈴木", "2\\22:00\\4.0\\高橋", "3\\13:00\\2.5\\---",
                               "4\\6:00\\2.0\\鈴木"}},
                             {"2026-12-08", {"1\\9:00\\3.0\\山田"}},
                             {"2026-11-30", {"1\\9:00\\3.0\\佐藤"}}},
                            {"高橋", "", "---", "佐藤", "高橋", "鈴木"});
    // the list's order, the list's repeats and blanks left out, then names
    // not in it, then the blocks without a name; another month's blocks none
    struct Row {
        const char* text;
        MonthRow::Kind kind;
        int days;
        const char* hours;
        const char* cell7;
    };
    const Row want[] = {
        {"高橋", MonthRow::Kind::Staff, 1, "4.00", "22:00-翌2:00"},
        {"佐藤", MonthRow::Kind::Staff, 0, "0.00", ""},
        {"鈴木", MonthRow::Kind::Staff, 1, "6.00", "6:00-8:00\n9:00-13:00"},
        {"山田", MonthRow::Kind::Unlisted, 1, "3.00", ""},
        {"(名前なし)", MonthRow::Kind::Unnamed, 1, "2.50", "13:00-15:30"},
    };
    ASSERT_EQ(t.rows.size(), std::size(want));
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        const MonthRow& row = t.rows[r];
        EXPECT_EQ(row.text, want[r].text);
        EXPECT_EQ(row.kind, want[r].kind) << want[r].text;
        EXPECT_EQ(row.days, want[r].days) << want[r].text;
        EXPECT_EQ(row.hours.text(), want[r].hours) << want[r].text;
        ASSERT_EQ(row.cells.size(), 31u);
        EXPECT_EQ(row.cells[6].text, want[r].cell7) << want[r].text;
    }
    ASSERT_EQ(t.columns.size(), 31u);
    const MonthColumn& c7 = t.columns[6];
    EXPECT_EQ(c7.day, 7);
    EXPECT_EQ(c7.weekday, 2);
    EXPECT_EQ(c7.people, 2);
    EXPECT_EQ(c7.hours.text(), "12.50");
    EXPECT_EQ(t.columns[7].people, 1);
    EXPECT_EQ(t.total.text(), "15.50");
    // the unnamed block is a finding on its row's cell
    ASSERT_EQ(t.findings.size(), 1u);
    EXPECT_EQ(t.rows[4].cells[6].findings, std::vector<int>{0});
}

TEST(MonthTable, HolidaysAndDamagedDays) {
    const Month m{2026, 11};
    const Span span = findingSpan(firstOf(m), lastOf(m));
    auto days = test::daysFrom(span.from, span.to, {{"2026-11-04", {"1\\9:00\\4.0\\鈴木", "x"}}});
    const auto t = monthTable(m, std::move(days), {});
    EXPECT_EQ(t.columns[2].holiday, "文化の日");
    EXPECT_EQ(t.columns[22].holiday, "勤労感謝の日");
    EXPECT_TRUE(t.columns[1].holiday.empty());
    EXPECT_NE(t.columns[3].damage.find("data/x.txt: 2 行目: "), std::string::npos)
        << t.columns[3].damage;
    EXPECT_EQ(t.rows.at(0).cells[3].text, "9:00-13:00");
}

TEST(MonthTable, CsvKeepsLinesAndFormulasAsText) {
    const auto t = december({{"2026-12-02", {"1\\9:00\\4.0\\=A1", "2\\14:00\\2.0\\=A1"}}}, {});
    const std::string csv = monthCsv(t);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF名前,1(火),2(水),", 0), 0u);
    EXPECT_NE(csv.find("\r\n'=A1 (名簿外),,\"9:00-13:00\n14:00-16:00\",,"), std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",1,6.00\r\n人数,0,1,0,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n時間,0.00,6.00,0.00,"), std::string::npos) << csv;
    EXPECT_EQ(csv.substr(csv.size() - 8), ",,6.00\r\n");
}

} // namespace
} // namespace kab::report

namespace kab::report {
namespace {

TEST(StaffOrder, ListFirstThenOthersThenNobody) {
    const auto staff = sj({"高橋", "佐藤", "", "佐藤"});
    const struct {
        std::vector<std::string> names; // "" for the blocks without a name
        std::vector<std::string> want;
    } cases[] = {
        {{"佐藤", "高橋"}, {"高橋", "佐藤"}},
        {{"", "鈴木", "佐藤", "伊藤"}, {"佐藤", "鈴木", "伊藤", ""}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<PageTotal> totals;
        std::vector<PersonTotal> persons;
        for (const auto& n : c.names) {
            totals.push_back({sjis::fromUtf8(n), 1, {}});
            if (!n.empty()) persons.push_back({sjis::fromUtf8(n), 1, 1, {}});
        }
        orderByStaff(totals, staff);
        orderByStaff(persons, staff);
        std::vector<std::string> got, gotPersons, wantPersons;
        for (const auto& t : totals)
            got.push_back(sjis::toUtf8(t.name));
        for (const auto& p : persons)
            gotPersons.push_back(sjis::toUtf8(p.name));
        for (const auto& n : c.want)
            if (!n.empty()) wantPersons.push_back(n);
        EXPECT_EQ(got, c.want);
        EXPECT_EQ(gotPersons, wantPersons);
    }
}

} // namespace
} // namespace kab::report
