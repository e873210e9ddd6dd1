// The report command's work: a month's hours from 31 full days, a year's
// from 365, and a full day's page as PDF.

#include "page/daypage_paint.h"
#include "report/daypage.h"
#include "report/listing.h"
#include "report/month.h"
#include "report/tally.h"
#include "storage/dayfile.h"

#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using kab::bench::timed;

// Fifty records over all eight rows and five names, starts and lengths in
// quarter hours, another day another mix.
std::string fullDay(int day) {
    const char* const names[] = {"山田", "佐藤", "鈴木", "高橋", "田中"};
    std::string text;
    for (int i = 0; i < 50; ++i) {
        const int start = 6 * 60 + 15 * ((i * 7 + 3 * day) % 64);
        const int quarters = 8 + (i * 5 + 7 * day) % 29;
        char head[48];
        std::snprintf(head, sizeof head, "%02d\\%02d:%02d\\%d.%02d\\", 1 + (i + day) % 8,
                      start / 60, start % 60, quarters / 4, quarters % 4 * 25);
        text += head + kab::sjis::fromUtf8(names[(i + day) % 5]) + "\r\n";
    }
    return text;
}

// A data folder holding every day of 2026 in full, made once.
const kab::FilePath& fullYear() {
    static const kab::FilePath dir = [] {
        char pattern[] = "/tmp/kab-report-bench-XXXXXX";
        kab::FilePath d = std::string(mkdtemp(pattern)) + "/";
        for (int m = 1; m <= 12; ++m)
            for (int day = 1; day <= kab::daysInMonth(2026, m); ++day) {
                const kab::DateSerial date = kab::encodeDate(2026, m, day);
                std::ofstream(kab::report::dayPath(d, date), std::ios::binary) << fullDay(day + m);
            }
        std::atexit([] { std::filesystem::remove_all(fullYear()); });
        return d;
    }();
    return dir;
}

std::size_t hoursOf(int month) {
    const auto days = kab::report::readMonth(fullYear(), {2026, month});
    return kab::report::hoursText(kab::report::tally(days), {2026, month}).size();
}

void BM_ReportMonthHours(benchmark::State& state) {
    fullYear();
    for (auto _ : state)
        benchmark::DoNotOptimize(hoursOf(12));
    const auto days = kab::report::readMonth(fullYear(), {2026, 12});
    std::size_t shifts = 0;
    for (const auto& d : days)
        shifts += d.shifts.size();
    if (shifts != 31 * 50) state.SkipWithError("the month is not 31 full days");
}
BENCHMARK(BM_ReportMonthHours)->Apply(timed);

void BM_ReportYearHours(benchmark::State& state) {
    fullYear();
    for (auto _ : state)
        for (int m = 1; m <= 12; ++m)
            benchmark::DoNotOptimize(hoursOf(m));
}
BENCHMARK(BM_ReportYearHours)->Apply(timed);

void BM_ReportDayPdf(benchmark::State& state) {
    const kab::DateSerial date = kab::encodeDate(2026, 12, 7);
    for (auto _ : state) {
        const auto page = kab::report::dayPage(kab::report::readDay(fullYear(), date));
        benchmark::DoNotOptimize(kab::page::dayPagePdf(page).size());
    }
}
BENCHMARK(BM_ReportDayPdf)->Apply(timed);

} // namespace
