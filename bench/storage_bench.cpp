// Day files under the hand: a day change that loads a full board, a save of
// a full board through the synced replace, and a day change that meets a
// huge file under the day's name.

#include "bench_support.h"
#include "foundation/errors.h"
#include "foundation/sjis.h"
#include "foundation/versions.h"
#include "storage/dayread.h"
#include "toolkit/text.h"
#include "window/shell/history.h"

#include <QDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <string>
#include <sys/statfs.h>
#include <unistd.h>
#include <vector>

namespace {

using kab::bench::shownForm;
using kab::bench::timed;

// The selected day's file as the file system names it.
std::string dayFilePath(const kab::TForm1& form) {
    return form.dayFilePath();
}

void makeDataFolder(const kab::TForm1& form) {
    QDir().mkpath(kab::tk::pathToQt(form.dataDir()));
}

// Fifty records over all eight rows, starts 6:00 .. 20:30, durations
// 2.0 .. 9.0 in quarter hours, each line ended by CR LF. Another shift gives
// another day: each record on another row, at another time and length.
std::string fiftyRecords(int shift = 0) {
    const char* const names[] = {"山田", "佐藤", "鈴木", "高橋", "田中"};
    const char* const quarters[] = {".0", ".25", ".5", ".75"};
    std::string text;
    for (int i = 0; i < 50; ++i) {
        const int start = 6 * 60 + 30 * ((i * 7 + 3 * shift) % 30);
        const int quarter = 8 + (i * 5 + 7 * shift) % 29; // 8 .. 36 quarter hours
        char head[32];
        std::snprintf(head, sizeof head, "%02d\\%02d:%02d\\%d%s\\", 1 + (i + shift) % 8, start / 60,
                      start % 60, quarter / 4, quarters[quarter % 4]);
        text += head;
        text += kab::sjis::fromUtf8(names[(i + shift) % 5]);
        text += "\r\n";
    }
    return text;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

int placedBlocks(const kab::TForm1& form) {
    int n = 0;
    // a block not made yet is parked
    for (const kab::tk::Panel* p : form.panels)
        n += p && p->tag() == 1;
    return n;
}

// The next form of this process must not start on this day's file.
struct RemoveDayFile {
    std::string path;
    ~RemoveDayFile() { ::unlink(path.c_str()); }
};

// The file of a day of the form's month window, as the file system names it.
std::string dayFilePath(kab::TForm1& form, kab::DateSerial day) {
    const kab::DateSerial shown = form.dtp0->value();
    form.dtp0->setValue(day);
    std::string path = dayFilePath(form);
    form.dtp0->setValue(shown);
    return path;
}

// Today's file holding the fifty records and the next day's holding fifty
// others, and the form that shows today.
struct FullDay {
    std::unique_ptr<kab::TForm1> form = shownForm();
    const kab::DateSerial today = form->dtp0->value();
    RemoveDayFile file{dayFilePath(*form)};
    RemoveDayFile next{dayFilePath(*form, today + 1)};
    FullDay() {
        makeDataFolder(*form);
        writeFile(file.path, fiftyRecords());
        writeFile(next.path, fiftyRecords(1));
    }
    // The user turns the day picker to the other day: every block moves to
    // another row and time. As the user's change, the picker's change
    // notification runs the handler with the undo history and the recovery
    // files around it; else the handler alone.
    void changeDay(bool asTheUser = true) {
        form->dtp0->setValue(form->dtp0->value() == today ? today + 1 : today);
        if (asTheUser)
            form->dtp0->onChange(form->dtp0);
        else
            form->dtp0Change();
    }
};

// The handler alone at the smallest window, or as an action at the widest,
// with what the event loop paints next: the board and the controls the change
// invalidated. Each change goes to the other of two full days.
void dayChange(benchmark::State& state, bool painted) {
    FullDay day;
    kab::TForm1& form = *day.form;
    if (painted && !kab::bench::widest(form)) state.SkipWithError("not at the maximum size");
    try {
        for (auto _ : state) {
            day.changeDay(painted);
            if (painted) {
                kab::bench::paintPending();
            } else {
                state.PauseTiming();
                kab::bench::paintPending();
                state.ResumeTiming();
            }
        }
    } catch (const kab::Error& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (form.Panel(1)->tag() != 1 || placedBlocks(form) != 50)
        state.SkipWithError("the fifty records did not place fifty blocks");
}
void BM_DayChange50Records(benchmark::State& state) {
    dayChange(state, false);
}
BENCHMARK(BM_DayChange50Records)->Apply(timed);
void BM_ActionDayChange(benchmark::State& state) {
    dayChange(state, true);
}
BENCHMARK(BM_ActionDayChange)->Apply(timed);

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The file system the save writes to: fsync costs differ by orders of
// magnitude between them.
const char* fileSystemName(const std::string& path) {
    struct statfs fs {};
    if (::statfs(path.c_str(), &fs) != 0) return "unknown fs";
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:
        return "ext4";
    case 0x01021994:
        return "tmpfs";
    case 0x58465342:
        return "xfs";
    case 0x9123683E:
        return "btrfs";
    case 0x794C7630:
        return "overlayfs";
    default:
        return "other fs";
    }
}

// Whole-day save of fifty placed blocks at the widest window, with what is
// painted after it. Before each save (untimed) another full board is
// dropped in, from one of two other days' files, so that every save replaces
// other records and keeps the day it replaced as a version, dropping the
// oldest beyond ten. The figure is mostly the fsync, so it says as much about
// the disk under the temporary folder as about the program; the label names
// that file system.
void BM_ActionSave(benchmark::State& state) {
    FullDay day;
    kab::TForm1& form = *day.form;
    if (!kab::bench::widest(form)) state.SkipWithError("not at the maximum size");
    const RemoveDayFile third{dayFilePath(form, day.today + 2)};
    writeFile(third.path, fiftyRecords(2));
    const std::string* sources[] = {&day.next.path, &third.path};
    std::size_t turn = 0;
    try {
        for (auto _ : state) {
            state.PauseTiming();
            form.loadDayFile(*sources[turn++ % 2]);
            kab::bench::paintPending();
            state.ResumeTiming();
            // as the button's click: the history takes the board and the
            // day's recovery file is removed
            form.spb3->click();
            kab::bench::paintPending();
        }
    } catch (const kab::Error& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (placedBlocks(form) != 50) state.SkipWithError("a day did not load fifty blocks");
    // the records last dropped in, in the save's order
    std::ifstream saved(day.file.path, std::ios::binary);
    if (sortedLines({std::istreambuf_iterator<char>(saved), {}}) !=
        sortedLines(fiftyRecords(turn % 2 ? 1 : 2)))
        state.SkipWithError("the saved day is not the fifty records dropped in");
    const auto versions = kab::keptVersions(day.file.path);
    if (state.iterations() >= 10 && versions.size() != kab::kKeptVersions)
        state.SkipWithError("the save did not keep ten versions");
    for (const auto& version : versions)
        ::unlink(version.c_str());
    const std::string folder = kab::versionFolder(day.file.path);
    ::rmdir(folder.c_str());
    ::rmdir(folder.substr(0, folder.rfind('/', folder.size() - 2)).c_str());
    state.SetLabel(fileSystemName(form.dataDir()));
}
BENCHMARK(BM_ActionSave)->Apply(timed);

// Ctrl+Shift+V of a full day with what is painted after it, at the widest
// window: the other day's fifty records, put on the clipboard by
// Ctrl+Shift+C, loaded over today's full board, and the history's step the
// key's end takes. Today's file is loaded again before each paste (untimed).
void BM_ActionPasteFullDay(benchmark::State& state) {
    FullDay day;
    kab::TForm1& form = *day.form;
    if (!kab::bench::widest(form)) state.SkipWithError("not at the maximum size");
    try {
        form.loadDayFile(day.next.path);
        form.copyDay();
        for (auto _ : state) {
            state.PauseTiming();
            form.loadDayFile(day.file.path);
            form.history().settle();
            kab::bench::paintPending();
            state.ResumeTiming();
            form.pasteDay();
            form.history().settle();
            kab::bench::paintPending();
        }
        if (placedBlocks(form) != 50) state.SkipWithError("the paste did not place fifty blocks");
        if (sortedLines(form.dayRecords().text()) != sortedLines(fiftyRecords(1)))
            state.SkipWithError("the pasted board is not the day copied");
    } catch (const kab::Error& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_ActionPasteFullDay)->Apply(timed);

// An undo of a day change with what is painted after it, at the widest
// window: the other full day comes back with its date and labels, every
// block to another row and time. Undo and redo take turns, each a day change
// put back.
void BM_ActionUndoDayChange(benchmark::State& state) {
    FullDay day;
    kab::TForm1& form = *day.form;
    if (!kab::bench::widest(form)) state.SkipWithError("not at the maximum size");
    // there and back: the form opened before the days were written
    day.changeDay();
    day.changeDay();
    kab::History& history = form.history();
    if (history.undoable() == 0) state.SkipWithError("the day change is no step");
    bool back = true;
    for (auto _ : state) {
        back ? history.undo() : history.redo();
        kab::bench::paintPending();
        back = !back;
    }
    if (placedBlocks(form) != 50) state.SkipWithError("the undo did not show fifty blocks");
}
BENCHMARK(BM_ActionUndoDayChange)->Apply(timed);

// The heap the undo history holds for 100 steps, each a full day of fifty
// blocks (100 day changes between two full days): what the allocator hands
// out more after them than before. Loads allocate nothing lasting once the
// first few have filled the text caches.
void BM_HistoryOf100Steps(benchmark::State& state) {
    FullDay day;
    for (int i = 0; i < 4; ++i)
        day.changeDay();
    const std::size_t before = ::mallinfo2().uordblks;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i)
            day.changeDay();
    }
    const std::size_t after = ::mallinfo2().uordblks;
    state.counters["history_KiB"] = double(after - before) / 1024;
    if (day.form->history().undoable() < 100) state.SkipWithError("fewer than 100 steps kept");
}
BENCHMARK(BM_HistoryOf100Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- huge files --------------------------------------------------------------

long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == field) {
            status >> value;
            break;
        }
        status.ignore(1 << 16, '\n');
    }
    return value;
}

// Lowers the peak resident size to the current one, so that a peak reached
// by an earlier benchmark cannot hide this one's. Free heap memory goes back
// first: memory the heap still holds would be reused without a page fault,
// and the peak would not see it.
bool resetPeakMemory() {
    ::malloc_trim(0);
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

constexpr off_t kGiB = off_t(1) << 30;

enum HugeKind { AllNul, OneLongLine };

// A sparse 1 GiB file under the day's name. OneLongLine gives it a head of
// "A" past the reader's byte limit: a line break never comes within what the
// reader may take, so it meets both the line limit and the byte limit
// (a short head would end at the first NUL after it instead).
bool makeHugeFile(const std::string& path, HugeKind kind) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = ::ftruncate(fd, kGiB) == 0;
    if (ok && kind == OneLongLine) {
        const std::string head(64 * 1024, 'A');
        for (std::size_t at = 0; ok && at < kab::storage::maxReadBytes + head.size();
             at += head.size())
            ok = ::pwrite(fd, head.data(), head.size(), static_cast<off_t>(at)) ==
                 static_cast<ssize_t>(head.size());
    }
    return ::close(fd) == 0 && ok;
}

void BM_LoadHugeDayFile(benchmark::State& state) {
    const auto kind = static_cast<HugeKind>(state.range(0));
    auto form = shownForm();
    makeDataFolder(*form);
    const RemoveDayFile cleanup{dayFilePath(*form)};
    if (!makeHugeFile(cleanup.path, kind)) {
        state.SkipWithError("could not make the huge file");
        return;
    }
    const bool peakReset = resetPeakMemory();
    const long before = peakReset ? statusKiB("VmRSS:") : statusKiB("VmHWM:");
    int failures = 0;
    for (auto _ : state) {
        try {
            form->dtp0Change();
        } catch (const kab::Error&) {
            // the long line is no record: the program reports it
            ++failures;
        }
    }
    const long after = statusKiB("VmHWM:");
    state.counters["extra_KiB"] = double(after - before);
    if (!peakReset) state.SetLabel("peak not reset: growth beyond the earlier peak only");
    // a NUL at the start ends the text there: an empty day; the long line
    // reaches the load, whose first field is no row number
    const bool expected = kind == AllNul ? failures == 0 && placedBlocks(*form) == 0
                                         : failures == static_cast<int>(state.iterations());
    if (!expected) state.SkipWithError("the huge file did not load as expected");
}
BENCHMARK(BM_LoadHugeDayFile)->ArgName("long_line")->Arg(AllNul)->Arg(OneLongLine)->Apply(timed);

} // namespace
