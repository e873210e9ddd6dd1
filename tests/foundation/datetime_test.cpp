#include "foundation/datetime.h"

#include "foundation/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

namespace kab {
namespace {

SjisString sj(std::string_view utf8) {
    return sjis::fromUtf8(utf8);
}

// Serials worked out independently of the code under test (all 2026 but jan1).
constexpr double dec1 = 46357, dec6 = 46362, dec7 = 46363, jan1 = 46388; // Tue, Sun, Mon, 2027
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();

TEST(DateTime, RoundHalfEven) {
    const std::pair<long double, std::int64_t> cases[] = {
        {2.5L, 2},
        {3.5L, 4},
        {-2.5L, -2},
        {-3.5L, -4},
        {0.5L, 0},
        {2.5000001L, 3},
        {-0.4L, 0},
        {1e15L + 0.5L, 1'000'000'000'000'000},
        {std::numeric_limits<long double>::quiet_NaN(), 0},
        {std::numeric_limits<long double>::infinity(), int64Max}};
    for (const auto& [x, want] : cases) {
        SCOPED_TRACE(static_cast<double>(x));
        EXPECT_EQ(roundHalfEven(x), want);
    }
}

TEST(DateTime, KnownDates) {
    for (auto [year, leap] : {std::pair{1900, false},
                              {2000, true},
                              {2024, true},
                              {2026, false},
                              {2100, false},
                              {2400, true},
                              {4, true},
                              {1, false}}) {
        EXPECT_EQ(isLeapYear(year), leap) << year;
        EXPECT_EQ(daysInMonth(year, 2), leap ? 29 : 28) << year;
    }
    struct Case {
        double serial;
        Date date;
        int weekday;
    } cases[] = {
        {0, {1899, 12, 30}, 7},   {1, {1899, 12, 31}, 1},   {2, {1900, 1, 1}, 2},
        {-1, {1899, 12, 29}, 6},  {61, {1900, 3, 1}, 5},    {36585, {2000, 2, 29}, 3},
        {dec1, {2026, 12, 1}, 3}, {dec6, {2026, 12, 6}, 1}, {dec7, {2026, 12, 7}, 2},
        {jan1, {2027, 1, 1}, 6},  {-693593, {1, 1, 1}, 2},  {2958465, {9999, 12, 31}, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(encodeDate(c.date.year, c.date.month, c.date.day), c.serial);
        // the time of day changes neither the date nor the weekday
        for (double t : {0.0, 0.75, 0.999}) {
            EXPECT_EQ(decodeDate(c.serial + t), c.date);
            EXPECT_EQ(dayOfWeek(c.serial + t), c.weekday);
        }
    }
    // consecutive days over four centuries, which checks every month length
    double serial = encodeDate(1800, 1, 1);
    for (int y = 1800; y < 2200; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= daysInMonth(y, m); ++d, serial += 1) {
                DateSerial got = 0;
                ASSERT_TRUE(tryEncodeDate(y, m, d, got) && got == serial)
                    << y << "-" << m << "-" << d;
                ASSERT_EQ(decodeDate(serial), (Date{y, m, d}));
            }
}

TEST(DateTime, EncodersRejectWhatDoesNotExist) {
    const Date badDates[] = {{2026, 2, 29}, {1900, 2, 29}, {2026, 4, 31}, {2026, 1, 0},
                             {2026, 0, 1},  {2026, 13, 1}, {0, 1, 1},     {10000, 1, 1}};
    for (const auto& d : badDates) {
        DateSerial out = 0;
        EXPECT_FALSE(tryEncodeDate(d.year, d.month, d.day, out)) << d.year << "-" << d.month;
        EXPECT_THROW(encodeDate(d.year, d.month, d.day), std::invalid_argument);
    }
    const TimeOfDay badTimes[] = {{24, 0, 0, 0}, {23, 60, 0, 0}, {23, 0, 60, 0}, {23, 0, 0, 1000},
                                  {-1, 0, 0, 0}, {0, -1, 0, 0},  {0, 0, -1, 0},  {0, 0, 0, -1}};
    for (const auto& t : badTimes) {
        DateSerial out = 0;
        EXPECT_FALSE(tryEncodeTime(t.hour, t.minute, t.second, t.msec, out))
            << t.hour << ":" << t.minute;
        EXPECT_THROW(encodeTime(t.hour, t.minute, t.second, t.msec), std::invalid_argument);
    }
    EXPECT_EQ(decodeTime(encodeTime(23, 59, 59, 999)), (TimeOfDay{23, 59, 59, 999}));
}

TEST(DateTime, SplitRoundsToWholeMilliseconds) {
    struct Case {
        const char* name;
        double x;
        std::int64_t day, msec;
    } cases[] = {
        {"one day", 1.0, 1, 0},
        {"7/24", 7.0 / 24, 0, 7 * 3'600'000},
        {"29/24", 29.0 / 24, 1, 5 * 3'600'000},
        {"just short of a day", 0.99999999999, 1, 0},
        // 2^-11 days is exactly 42187.5 ms, 3 * 2^-11 exactly 126562.5 ms
        {"half up to even", std::ldexp(1.0, -11), 0, 42188},
        {"half down to even", std::ldexp(3.0, -11), 0, 126562},
        {"negative half", -std::ldexp(1.0, -11), -1, 86'400'000 - 42188},
        {"negative", -0.25, -1, 18 * 3'600'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitSerial(c.x).day, c.day);
        EXPECT_EQ(splitSerial(c.x).msec, c.msec);
    }
    double x = dec1; // quarter-hour steps add up to exact times
    for (int step = 0; step <= 96 * 3; ++step, x += 1.0 / 96) {
        const int minutes = step % 96 * 15;
        ASSERT_EQ(splitSerial(x).day, 46357 + step / 96) << step;
        ASSERT_EQ(decodeTime(x), (TimeOfDay{minutes / 60, minutes % 60, 0, 0})) << step;
    }
}

TEST(DateTime, GarbageSerialsDecodeToSomethingSane) {
    for (double x : {nan, inf, -inf, 1e300, -1e300, 1e16, -1e16, 3e6, -7e5}) {
        SCOPED_TRACE(x);
        const Split s = splitSerial(x);
        EXPECT_TRUE(s.msec >= 0 && s.msec < 86'400'000);
        const Date d = decodeDate(x);
        EXPECT_TRUE(d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31);
        EXPECT_TRUE(dayOfWeek(x) >= 1 && dayOfWeek(x) <= 7);
        for (int n : {0, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
            EXPECT_TRUE(std::isfinite(incMonth(x, n))) << n;
    }
}

TEST(DateTime, Format) {
    // katakana whose second byte is an ASCII letter: ド = 83 68 ('h'), ノ = 83 6D ('m')
    const SjisString do_ = sj("ド"), no = sj("ノ");
    ASSERT_EQ(do_ + no, "\x83h\x83m");
    const double t = encodeDate(2005, 3, 4) + encodeTime(7, 8, 9);
    struct Case {
        std::string pattern;
        double x;
        SjisString want;
    } cases[] = {
        {"h", 7.0 / 24, "7"},
        {"h", 1.0, "0"},
        {"h", 29.0 / 24, "5"},
        {"hh:nn", 0.375, "09:00"},
        {"hh:nn", 1.0, "00:00"},
        {"h:nn", 0.375, "9:00"},
        {"h:mm", 0.375, "9:00"},
        {"h:nn", 1.5625, "13:30"},
        {"h:mm", 1.5625, "13:30"},
        {"mm", jan1, "01"},
        {"yyyy/mm", dec1, "2026/12"},
        {"ddaaa", dec7, "07" + sj("月")},
        {"ddaaa", dec6, "06" + sj("日")},
        {"aaa", dec7, sj("月")},
        {"AAA", 0, sj("土")},
        {"aaaa", dec7, "aaaa"},
        {"y", t, "05"},
        {"yyy", t, "2005"},
        {"yyyy", encodeDate(5, 1, 1), "0005"},
        {"d/m h:n", t, "4/3 7:8"},
        {"YYYY/MM/DD HH:NN", dec1 + 0.375, "2026/12/01 09:00"},
        {"hhhh nnnn dddd", t, "07 08 04"},
        {"mM", t, "33"},     // two runs, both months
        {"hmM", t, "783"},   // only the run right after h is minutes
        {"h mm", t, "7 08"}, // non-letters between do not break the pairing
        {"hxmm", t, "7x03"}, // another letter does
        {"h" + sj("時") + "mm", t, "7" + sj("時") + "08"},
        {do_ + "mm", t, do_ + "03"}, // ド's 'h' is not an hour
        {no + "d", t, no + "4"},     // ノ's 'm' is not a month
        {"d\x95", t, "4\x95"},       // lone lead byte at the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(formatDateTime(c.pattern, c.x), c.want);
    }
    FormatSettings fs = FormatSettings::japanese();
    fs.dateSeparator = '-';
    fs.timeSeparator = '.';
    fs.shortDayNames[1] = "Mon";
    EXPECT_EQ(formatDateTime("yyyy/mm/dd hh:nn aaa", dec7 + 0.5625, fs), "2026-12-07 13.30 Mon");
}

TEST(DateTime, ReadsTimesAndDates) {
    const SjisString am = sj("午前"), pm = sj("午後");
    struct Case {
        std::string text;
        double want;
        int currentYear = 2026;
    } cases[] = {
        {"09:00", 0.375},
        {" 09:00 ", 0.375},
        {"9:00", 0.375},
        {"9", 0.375},
        {"  9  :  00  ", 0.375},
        {"00:00", 0},
        {"1:2:3.4", encodeTime(1, 2, 3, 4)},
        {"23:59:59.999", encodeTime(23, 59, 59, 999)},
        {pm + "1:30", encodeTime(13, 30)},
        {pm + "  1:30", encodeTime(13, 30)},
        {"1:30 " + pm + " ", encodeTime(13, 30)},
        {am + "12:00", 0},
        {pm + "12:00", 0.5},
        {"pm 1", encodeTime(13, 0)},
        {"2026/12/1", dec1},
        {" 2026 / 12 / 01 ", dec1},
        {"2026/12/1/", dec1},
        {"2026/12/1 9:00", dec1 + 0.375},
        {"2026/12/1 9:00xyz", dec1 + 0.375},
        {"12/7", dec7},
        {"12/7 13:30", dec7 + 0.5625},
        {"2/29/", encodeDate(2024, 2, 29), 2024},
        {"26/12/1", dec1},
        {"26/12/1", encodeDate(1926, 12, 1), 1999},
        {"005/1/2", encodeDate(5, 1, 2)}, // three digits: the year as written
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(strToDateTime(c.text, c.currentYear), c.want);
    }
}

TEST(DateTime, RejectsWithTheTextUnchanged) {
    const std::string texts[] = {"24:00",
                                 "9.00",
                                 "",
                                 " ",
                                 "2026/2/30",
                                 "2026/13/1",
                                 "2026/12/1 xyz",
                                 "2026/12/1 24:00",
                                 "9:60",
                                 "9:00:60",
                                 "9:00:00.1000",
                                 "9:00.5",
                                 "9:",
                                 "9:00:00.",
                                 "12345",
                                 "12345/1/1",
                                 ":30",
                                 "9 9",
                                 "9:00\t",
                                 "13:00 PM",
                                 "0 AM",
                                 "AM 9 PM",
                                 "2/29",
                                 "12/32",
                                 "0/1",
                                 "1/0",
                                 sj("午後"),
                                 sj("午前") + "9:00" + sj("午後"),
                                 std::string("9\0", 2),
                                 sj("表")};
    for (const auto& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        try {
            ADD_FAILURE() << "read as " << strToDateTime(text, 2026);
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::InvalidDateTime);
            EXPECT_EQ(e.message(), Error::invalidDateTime(text).message());
        }
    }
}

TEST(DateTime, ReadingFollowsTheSettings) {
    const SjisString zu = sj("ヅ"); // 83 64: the second byte is a 'd'
    ASSERT_EQ(zu, "\x83\x64");
    struct Case {
        SjisString format, text;
        double want;
    } cases[] = {
        {"dd/MM/yyyy", "1/12/2026", dec1},
        {"dd/MM/yyyy", "7/12", dec7},
        {"MM/dd/yyyy", "12/1/2026", dec1},
        {"MM/dd/yyyy", "12/7", dec7},
        {"", "12/1/2026", dec1},
        {"gg/x", "12/1/26", dec1},
        {"ee/MM/dd", "2026/12/1", dec1},
        {"E/d/m", "26/12/1", dec1},
        {"Y/M/D", "7/12", encodeDate(2026, 7, 12)},
        {zu + "yyyy/MM/dd", "2026/12/1", dec1},
        // a number stops after four digits; the rest reads as the time
        {"dd/MM/yyyy", "1/12/20269", dec1 + 0.375},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format + " " + c.text);
        FormatSettings fs = FormatSettings::japanese();
        fs.shortDateFormat = c.format;
        EXPECT_EQ(strToDateTime(c.text, 2026, fs), c.want);
    }
    FormatSettings fs = FormatSettings::japanese();
    fs.dateSeparator = '-';
    fs.timeSeparator = '.';
    fs.decimalSeparator = ',';
    fs.amMarker = sj("ド"); // 83 68: the second byte is an 'h'
    fs.pmMarker = "";       // an empty marker is never found
    EXPECT_EQ(strToDateTime("13.00", 2026, fs), encodeTime(13, 0));
    EXPECT_EQ(strToDateTime("2026-12-1 9.30.15,5", 2026, fs), dec1 + encodeTime(9, 30, 15, 5));
    EXPECT_EQ(strToDateTime(sj("ド") + "12", 2026, fs), 0);
    EXPECT_EQ(strToDateTime("am 12", 2026, fs), 0);
    // ォ is 83 48: only the case of its second byte differs from ド
    for (const SjisString& text : {sj("ォ") + "12", SjisString("2026/12/1"), SjisString("9:30")})
        EXPECT_THROW(strToDateTime(text, 2026, fs), Error) << text;
}

// Random byte strings, drawn mostly from the bytes the code looks at.
template <std::size_t N>
std::string randomText(std::mt19937& rng, const char (&bytes)[N], const SjisString& extra) {
    const std::string alphabet = std::string(bytes, N - 1) + extra;
    std::string s(std::uniform_int_distribution<std::size_t>(0, 16)(rng), '\0');
    for (char& c : s)
        c = rng() % 4 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    return s;
}

TEST(DateTime, ArbitraryBytesNeverBreakReadingOrFormatting) {
    std::mt19937 rng(20261201);
    int read = 0;
    for (int i = 0; i < 50'000; ++i) {
        const std::string text =
            randomText(rng, "0123456789/:. aApPmM\x81\x95\x5C\0\xFF", sj("午前午後"));
        try {
            ASSERT_TRUE(std::isfinite(strToDateTime(text, 2026))) << testing::PrintToString(text);
            ++read;
        } catch (const Error& e) {
            ASSERT_EQ(e.kind(), ErrorKind::InvalidDateTime) << testing::PrintToString(text);
            ASSERT_NE(e.message().find("'" + text + "'"), std::string::npos);
        }
    }
    EXPECT_GT(read, 100); // the accepting paths were reached too
    const double odd[] = {nan, inf, -inf, 1e308, -1e308, 0, 1, 0.5};
    for (int i = 0; i < 20'000; ++i) {
        const std::string pattern =
            randomText(rng, "hnmdyaHNMDYA/: \x81\x83\x95\0\xFF", sj("ド日"));
        const double x = i % 10 == 0 ? odd[i / 10 % 8] : -8e5 + (rng() % 3'800'000) + 1.0 / (i + 1);
        // no token of n bytes yields more than 4n
        ASSERT_LE(formatDateTime(pattern, x).size(), pattern.size() * 4)
            << testing::PrintToString(pattern) << " " << x;
    }
}

TEST(DateTime, IncMonth) {
    struct Case {
        Date from;
        int n;
        Date want;
    } cases[] = {
        {{2026, 12, 1}, 1, {2027, 1, 1}},     {{2027, 1, 1}, -1, {2026, 12, 1}},
        {{2026, 3, 31}, -1, {2026, 2, 28}},   {{2024, 5, 31}, -3, {2024, 2, 29}},
        {{2024, 3, 31}, -1, {2024, 2, 29}},   {{2026, 1, 31}, 3, {2026, 4, 30}},
        {{2024, 2, 29}, 12, {2025, 2, 28}},   {{2026, 12, 1}, -12, {2025, 12, 1}},
        {{2026, 12, 1}, 13, {2028, 1, 1}},    {{2027, 1, 1}, -13, {2025, 12, 1}},
        {{2026, 12, 1}, 25, {2029, 1, 1}},    {{2026, 12, 1}, -25, {2024, 11, 1}},
        {{2026, 1, 15}, -25, {2023, 12, 15}}, {{2026, 6, 15}, 0, {2026, 6, 15}},
        {{2026, 11, 30}, 1, {2026, 12, 30}},  {{2026, 12, 31}, 1200, {2126, 12, 31}},
    };
    const double time = encodeTime(13, 30, 15, 250);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from.month) + "/" + std::to_string(c.from.day) + " " +
                     std::to_string(c.n));
        const double from = encodeDate(c.from.year, c.from.month, c.from.day);
        const double want = encodeDate(c.want.year, c.want.month, c.want.day);
        EXPECT_EQ(incMonth(from, c.n), want);
        EXPECT_EQ(splitSerial(incMonth(from + time, c.n)).day, splitSerial(want).day);
        EXPECT_EQ(decodeTime(incMonth(from + time, c.n)), (TimeOfDay{13, 30, 15, 250}));
    }
}

TEST(DateTime, SystemTodayIsTheLocalDate) {
    // A zone far from UTC: a UTC date differs from the local one most of the day.
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "XST-14", 1);
    tzset();
    auto localDate = [] {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    };
    const Date before = localDate();
    const double today = systemToday();
    const Date after = localDate();
    old ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
    EXPECT_EQ(splitSerial(today).msec, 0);
    EXPECT_TRUE(decodeDate(today) == before || decodeDate(today) == after);
}

} // namespace
} // namespace kab
