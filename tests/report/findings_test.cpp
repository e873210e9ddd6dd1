#include "report/findings.h"

#include "report/month_support.h"
#include "report/monthtable.h"

#include <gtest/gtest.h>

namespace kab::report {
namespace {

using test::date;
using test::DayRecords;
using K = FindingKind;

TEST(Findings, BreakTakenFromALongBlock) {
    const struct {
        int block, working;
    } cases[] = {{360, 360}, {375, 330}, {480, 435}, {495, 435}, {540, 480}, {555, 495}};
    for (const auto& c : cases)
        EXPECT_EQ(workingMinutes(c.block), c.working) << c.block;
}

struct Expected {
    K kind;
    const char* date;
    const char* name;
};

// December 2026 begins on a Tuesday; its first week runs from Sunday 29
// November, its last to Saturday 2 January.
const struct Case {
    const char* what;
    std::vector<DayRecords> days;
    std::vector<Expected> expected;
} kCases[] = {
    {"a block of 9 hours is 8 hours of work", {{"2026-12-07", {"1\\9:00\\9.0\\佐藤"}}}, {}},
    {"9 hours 15 is 8 h 15 min of work",
     {{"2026-12-07", {"1\\9:00\\9.25\\佐藤"}}},
     {{K::LongDay, "2026-12-07", "佐藤"}}},
    {"two blocks of exactly 8 hours",
     {{"2026-12-07", {"1\\6:00\\4.0\\佐藤", "2\\10:00\\4.0\\佐藤"}}},
     {}},
    {"two blocks of 8 h 15 min",
     {{"2026-12-07", {"1\\6:00\\4.0\\佐藤", "2\\10:00\\4.25\\佐藤"}}},
     {{K::LongDay, "2026-12-07", "佐藤"}}},
    {"blocks that touch are no double booking",
     {{"2026-12-08", {"1\\9:00\\4.0\\鈴木", "2\\13:00\\3.0\\鈴木"}}},
     {}},
    {"overlapping blocks, and another name beside them",
     {{"2026-12-08", {"1\\9:00\\4.0\\鈴木", "2\\12:00\\3.0\\鈴木", "3\\12:00\\3.0\\伊藤"}}},
     {{K::DoubleBooking, "2026-12-08", "鈴木"}}},
    {"a week of exactly 40 hours",
     {{"2026-12-07", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-08", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-09", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-10", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-11", {"1\\9:00\\9.0\\鈴木"}}},
     {}},
    {"the day the week passes 40 hours",
     {{"2026-12-06", {"1\\9:00\\2.0\\鈴木"}},
      {"2026-12-07", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-08", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-09", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-10", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-11", {"1\\9:00\\9.0\\鈴木"}}},
     {{K::LongWeek, "2026-12-11", "鈴木"}}},
    {"a week across November and December",
     {{"2026-11-29", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-11-30", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-01", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-02", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-03", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-05", {"1\\9:00\\2.0\\鈴木"}}},
     {{K::LongWeek, "2026-12-05", "鈴木"}}},
    {"a week passing 40 hours in January is January's",
     {{"2026-12-28", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-29", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-30", {"1\\9:00\\9.0\\鈴木"}},
      {"2026-12-31", {"1\\9:00\\9.0\\鈴木"}},
      {"2027-01-01", {"1\\9:00\\9.0\\鈴木"}},
      {"2027-01-02", {"1\\9:00\\2.0\\鈴木"}}},
     {}},
    {"exactly 11 hours of rest",
     {{"2026-12-07", {"1\\15:00\\8.0\\山田"}}, {"2026-12-08", {"1\\10:00\\4.0\\山田"}}},
     {}},
    {"23:00 to 7:00 of the next day",
     {{"2026-12-07", {"1\\15:00\\8.0\\山田"}}, {"2026-12-08", {"1\\7:00\\4.0\\山田"}}},
     {{K::ShortRest, "2026-12-08", "山田"}}},
    {"a night past midnight, then an evening",
     {{"2026-12-07", {"1\\22:00\\9.0\\山田"}}, {"2026-12-08", {"1\\17:00\\4.0\\山田"}}},
     {{K::ShortRest, "2026-12-08", "山田"}}},
    {"a night past midnight, then 11 hours",
     {{"2026-12-07", {"1\\22:00\\9.0\\山田"}}, {"2026-12-08", {"1\\18:00\\4.0\\山田"}}},
     {}},
    {"the rest counts from the day's last end",
     {{"2026-12-07", {"1\\9:00\\3.0\\山田", "2\\20:00\\3.0\\山田"}},
      {"2026-12-09", {"1\\9:00\\3.0\\山田"}}},
     {}},
    {"six days in a row across November's end",
     {{"2026-11-26", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-27", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-28", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-29", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-30", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-12-01", {"1\\9:00\\3.0\\佐藤"}}},
     {}},
    {"the seventh and eighth day in a row",
     {{"2026-11-26", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-27", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-28", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-29", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-11-30", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-12-01", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-12-02", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-12-03", {"1\\9:00\\3.0\\佐藤"}},
      {"2026-12-05", {"1\\9:00\\3.0\\佐藤"}}},
     {{K::DaysInARow, "2026-12-02", "佐藤"}, {K::DaysInARow, "2026-12-03", "佐藤"}}},
    {"blocks without a name, and a block of another month",
     {{"2026-12-09", {"1\\9:00\\3.0\\---", "2\\9:00\\3.0\\"}},
      {"2026-11-30", {"1\\9:00\\3.0\\---"}}},
     {{K::Unnamed, "2026-12-09", ""}, {K::Unnamed, "2026-12-09", ""}}},
};

TEST(Findings, RulesAndTheirEdges) {
    const DateSerial first = date("2026-12-01"), last = date("2026-12-31");
    const Span span = findingSpan(first, last);
    EXPECT_EQ(span.from, date("2026-11-25"));
    EXPECT_EQ(span.to, date("2027-01-02"));
    for (const Case& c : kCases) {
        const auto found = findings(test::daysFrom(span.from, span.to, c.days), first, last);
        std::vector<std::tuple<K, DateSerial, std::string>> got, want;
        for (const Finding& f : found)
            got.emplace_back(f.kind, f.date, sjis::toUtf8(f.name));
        for (const Expected& e : c.expected)
            want.emplace_back(e.kind, date(e.date), e.name);
        EXPECT_EQ(got, want) << c.what;
    }
}

// What the listing says of each kind: the times, a past-midnight end, the
// working time and the week.
TEST(Findings, Texts) {
    const DateSerial first = date("2026-12-01"), last = date("2026-12-31");
    const Span span = findingSpan(first, last);
    const auto found =
        findings(test::daysFrom(span.from, span.to,
                                {{"2026-12-07", {"1\\22:00\\9.25\\山田"}},
                                 {"2026-12-08", {"1\\9:00\\4.0\\山田", "2\\12:00\\3.0\\山田"}}}),
                 first, last);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].text, "労働時間 8時間15分 (休憩を除く)");
    EXPECT_EQ(found[1].text, "1行目 9:00-13:00 と 2行目 12:00-15:00");
    EXPECT_EQ(found[2].text, "前の勤務の終わり (12月7日 翌7:15) から 1時間45分");
    EXPECT_EQ(findingsText(found),
              "二重予約 (1 件)\n  12月8日(火) 山田  1行目 9:00-13:00 と 2行目 12:00-15:00\n"
              "\n1日8時間超 (1 件)\n  12月7日(月) 山田  労働時間 8時間15分 (休憩を除く)\n"
              "\n勤務間インターバル11時間未満 (1 件)\n"
              "  12月8日(火) 山田  前の勤務の終わり (12月7日 翌7:15) から 1時間45分\n");
}

} // namespace
} // namespace kab::report
