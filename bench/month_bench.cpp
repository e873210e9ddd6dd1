// The month window on a month of 31 full days (50 records each, 100 staff):
// opening it to its first paint, its update after one wheel step on the
// board, the board's own wheel step while it is open, the .xlsx of the
// month, and the memory the open window holds.

#include "bench_support.h"

#include "board/geometry.h"
#include "report/month_xlsx.h"
#include "storage/dayfile.h"
#include "toolkit/text.h"
#include "window/month/monthmodel.h"
#include "window/month/monthwindow.h"
#include "window/shell/blockstate.h"
#include "window/shell/history.h"

#include <QApplication>
#include <QDir>
#include <QWheelEvent>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

namespace {

using kab::bench::shownForm;
using kab::bench::timed;

std::string staffName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "職員%03d", i);
    return kab::sjis::fromUtf8(name);
}

// Fifty records a day over all eight rows, each day another fifty of the
// hundred staff, starts and lengths in quarter hours.
void writeMonth(const kab::FilePath& dir) {
    std::ofstream list(dir + "List1.txt", std::ios::binary);
    for (int i = 0; i < 100; ++i)
        list << staffName(i) << "\r\n";
    for (int day = -6; day <= 37; ++day) {
        const kab::DateSerial date = kab::encodeDate(2026, 12, 1) + day;
        std::string text;
        for (int i = 0; i < 50; ++i) {
            const int start = 6 * 60 + 15 * ((i * 7 + 3 * day + 40) % 64);
            const int quarters = 8 + (i * 5 + 7 * day + 70) % 29;
            char head[48];
            std::snprintf(head, sizeof head, "%02d\\%02d:%02d\\%d.%02d\\", 1 + (i + day + 8) % 8,
                          start / 60, start % 60, quarters / 4, quarters % 4 * 25);
            text += head + staffName((i * 2 + day * 7 + 700) % 100) + "\r\n";
        }
        std::ofstream(kab::report::dayPath(dir, date), std::ios::binary) << text;
    }
}

// The board at its widest, active, block 50 current on row 3 at 9:00, the
// month of 31 full days in its data folder.
std::unique_ptr<kab::TForm1> boardOfAFullMonth() {
    auto form = shownForm();
    QDir().mkpath(kab::tk::pathToQt(form->dataDir()));
    writeMonth(form->dataDir());
    kab::bench::widest(*form);
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    kab::tk::Panel* p = form->Panel(50);
    form->setCurrentBlock(p);
    kab::blockstate::setPlaced(*p);
    kab::blockstate::setBounds(*p, p->x(), kab::board::topOfRow(3), p->width());
    form->dtp1->setValue(0.375);
    form->Edit1->setText("4.0");
    form->dtp1Change(nullptr);
    form->Edit1->setFocus();
    QCoreApplication::processEvents();
    return form;
}

void paintNow(QWidget& w) {
    w.repaint();
    kab::bench::paintPending();
}

std::unique_ptr<kab::month::MonthWindow> openWindow(kab::TForm1& form) {
    auto w = std::make_unique<kab::month::MonthWindow>(form, kab::report::Month{2026, 12});
    w->show();
    QCoreApplication::processEvents();
    paintNow(*w);
    return w;
}

bool fullMonth(const kab::month::MonthWindow& w) {
    std::size_t shifts = 0;
    for (const auto& d : w.model()->table().days)
        shifts += d->shifts.size();
    return w.model()->table().rows.size() >= 100 && shifts >= 31 * 50;
}

void BM_MonthWindowOpen(benchmark::State& state) {
    auto form = boardOfAFullMonth();
    bool full = false;
    for (auto _ : state) {
        auto w = openWindow(*form);
        state.PauseTiming();
        full = fullMonth(*w);
        w.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (!full) state.SkipWithError("not 31 full days of 100 staff");
}
BENCHMARK(BM_MonthWindowOpen)->Apply(timed);

// A week of full days (14 to 20 December) pasted onto the next week in the
// month window: seven days written through the synced replace, each keeping
// the day it replaced as a version, and the table read again. The paste is
// taken back (untimed) before the next.
void BM_MonthWeekPaste(benchmark::State& state) {
    auto form = boardOfAFullMonth();
    auto w = openWindow(*form);
    const kab::FilePath target =
        kab::report::dayPath(form->dataDir(), kab::encodeDate(2026, 12, 21));
    const kab::FilePath source =
        kab::report::dayPath(form->dataDir(), kab::encodeDate(2026, 12, 14));
    bool copied = true;
    try {
        w->chooseDay(13, false);
        w->chooseDay(19, true);
        w->copyDays();
        for (auto _ : state) {
            w->chooseDay(20, false);
            w->pasteDays();
            state.PauseTiming();
            copied =
                copied && kab::storage::takeSnapshot(target) == kab::storage::takeSnapshot(source);
            w->undoPaste();
            state.ResumeTiming();
        }
    } catch (const kab::Error& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (!copied) state.SkipWithError("a pasted day is not its source");
}
BENCHMARK(BM_MonthWeekPaste)->Apply(timed);

void wheelOver(QWidget* under, bool up) {
    const QPoint pos = under->rect().center();
    QWheelEvent e(pos, under->mapToGlobal(pos), QPoint(), QPoint(0, up ? 120 : -120), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(under, &e);
}

// The window's share of a wheel step: the step's board taken again into
// the table, and the window's paint.
void BM_MonthWindowAfterWheelStep(benchmark::State& state) {
    auto form = boardOfAFullMonth();
    auto w = openWindow(*form);
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    form->Edit1->setFocus();
    form->history().stepped = nullptr;
    bool up = true;
    for (auto _ : state) {
        state.PauseTiming();
        wheelOver(form->sg1, up);
        kab::bench::paintPending();
        up = !up;
        state.ResumeTiming();
        w->followBoard();
        kab::bench::paintPending();
    }
    if (!fullMonth(*w)) state.SkipWithError("not 31 full days of 100 staff");
}
BENCHMARK(BM_MonthWindowAfterWheelStep)->Apply(timed);

// The board's wheel step with its paint while the month window is open and
// follows it.
void BM_ActionWheelStepMonthOpen(benchmark::State& state) {
    auto form = boardOfAFullMonth();
    auto w = openWindow(*form);
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    form->Edit1->setFocus();
    QCoreApplication::processEvents();
    bool up = true;
    for (auto _ : state) {
        wheelOver(form->sg1, up);
        kab::bench::paintPending();
        up = !up;
    }
    if (form->Edit1->text() != "4.00" && form->Edit1->text() != "4.25")
        state.SkipWithError("the wheel did not step the duration");
}
BENCHMARK(BM_ActionWheelStepMonthOpen)->Apply(timed);

void BM_MonthXlsx(benchmark::State& state) {
    auto form = boardOfAFullMonth();
    auto w = openWindow(*form);
    const kab::FilePath path = "/tmp/kab-month-bench-" + std::to_string(::getpid()) + ".xlsx";
    for (auto _ : state)
        if (kab::report::writeMonthXlsx(w->model()->table(), path))
            state.SkipWithError("not written");
    ::unlink(path.c_str());
}
BENCHMARK(BM_MonthXlsx)->Apply(timed);

// The heap the open window holds, its table and views, after its first
// paint (the fonts and styles the board has loaded already).
void BM_MonthWindowMemory(benchmark::State& state) {
    auto form = boardOfAFullMonth();
    openWindow(*form).reset(); // what any first window loads once
    QCoreApplication::processEvents();
    ::malloc_trim(0);
    const std::size_t before = ::mallinfo2().uordblks;
    std::unique_ptr<kab::month::MonthWindow> w;
    for (auto _ : state)
        w = openWindow(*form);
    const std::size_t after = ::mallinfo2().uordblks;
    state.counters["window_KiB"] = double(after - before) / 1024;
}
BENCHMARK(BM_MonthWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
