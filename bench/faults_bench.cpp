// Start-up with an outsized staff list: the window built and shown, the name
// box filled from the list.

#include "bench_support.h"
#include "storage/seeding.h"

#include <QDir>
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
    explicit StaffListInDataDir(int lines) : data_(kab::bench::g_env->dir.path() + "/data") {
        QDir().mkpath(data_);
        if (lines == 0) return;
        std::string list;
        for (int i = 0; i < lines; ++i)
            list += "職員" + std::to_string(i) + "\n";
        std::ofstream(QString(data_ + "/List1.txt").toStdString(), std::ios::binary)
            << kab::storage::seedText(list);
    }
    ~StaffListInDataDir() { QDir(data_).removeRecursively(); }

private:
    QString data_;
};

void startUp(benchmark::State& state, int lines) {
    StaffListInDataDir list(lines);
    int count = 0;
    for (auto _ : state) {
        auto form = shownForm();
        count = form->cmb1->count();
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (count != lines + 1) state.SkipWithError("the name box lacks names");
}

void BM_StartUpWith100kStaffList(benchmark::State& state) {
    startUp(state, 100000);
}
BENCHMARK(BM_StartUpWith100kStaffList)->Apply(timed);

// The same start-up without a list, for the list's share.
void BM_StartUpWithoutStaffList(benchmark::State& state) {
    startUp(state, 0);
}
BENCHMARK(BM_StartUpWithoutStaffList)->Apply(timed);

} // namespace
