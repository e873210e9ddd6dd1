// Start-up with an outsized staff list: the window built and shown, the name
// box filled from the list; and the name box opened on the longest list it
// takes.

#include "bench_support.h"
#include "storage/seeding.h"
#include "storage/stafflist.h"

#include <QDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

using kab::bench::shownForm;
using kab::bench::timed;

// A list of `lines` names in the data folder of the fake program, removed
// again afterwards so the other benchmarks see no list.
class StaffListInDataDir {
public:
    // lines names, or with oneLineBytes one line of that many letters
    // without a line break.
    explicit StaffListInDataDir(int lines, std::size_t oneLineBytes = 0)
        : data_(kab::bench::g_env->dir.path() + "/data") {
        QDir().mkpath(data_);
        std::ofstream out;
        if (lines > 0 || oneLineBytes > 0)
            out.open(QString(data_ + "/List1.txt").toStdString(), std::ios::binary);
        std::string list;
        for (int i = 0; i < lines; ++i)
            list += "職員" + std::to_string(i) + "\n";
        if (lines > 0) out << kab::storage::seedText(list);
        const std::string block(1 << 20, 'a');
        for (std::size_t done = 0; done < oneLineBytes; done += block.size())
            out.write(block.data(), std::streamsize(std::min(block.size(), oneLineBytes - done)));
    }
    ~StaffListInDataDir() { QDir(data_).removeRecursively(); }

private:
    QString data_;
};

void startUp(benchmark::State& state, const StaffListInDataDir&, int names) {
    int count = 0;
    for (auto _ : state) {
        auto form = shownForm();
        count = form->cmb1->count();
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (count != names + 1) state.SkipWithError("the name box lacks names");
}

void BM_StartUpWith100kStaffList(benchmark::State& state) {
    startUp(state, StaffListInDataDir(100000), 100000);
}
BENCHMARK(BM_StartUpWith100kStaffList)->Apply(timed);

// A million names: the first 100,000 are read.
void BM_StartUpWith1MStaffList(benchmark::State& state) {
    startUp(state, StaffListInDataDir(1000000), kab::storage::maxStaffNames);
}
BENCHMARK(BM_StartUpWith1MStaffList)->Apply(timed);

// One line of 300 MB: it does not end within the bound of what is read, so
// it gives no name.
void BM_StartUpWith300MBOneLineStaffList(benchmark::State& state) {
    startUp(state, StaffListInDataDir(0, std::size_t{300} << 20), 0);
}
BENCHMARK(BM_StartUpWith300MBOneLineStaffList)->Apply(timed);

// The same start-up without a list, for the list's share.
void BM_StartUpWithoutStaffList(benchmark::State& state) {
    startUp(state, StaffListInDataDir(0), 0);
}
BENCHMARK(BM_StartUpWithoutStaffList)->Apply(timed);

// The name box opened and closed again on the longest list it takes.
void BM_OpenNameBoxWith100kNames(benchmark::State& state) {
    StaffListInDataDir list(kab::storage::maxStaffNames);
    auto form = shownForm();
    for (auto _ : state) {
        form->cmb1->showPopup();
        QCoreApplication::processEvents();
        form->cmb1->hidePopup();
        QCoreApplication::processEvents();
    }
    if (form->cmb1->count() != kab::storage::maxStaffNames + 1)
        state.SkipWithError("names missing");
}
BENCHMARK(BM_OpenNameBoxWith100kNames)->Apply(timed);

} // namespace
