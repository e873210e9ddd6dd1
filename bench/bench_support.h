#pragma once
// Shared by the benchmarks: the fake environment, the statistics wanted and a
// window shown as the program opens it.

#include "support/controls.h"
#include "support/fake_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace kab::bench {

inline kab::test::FakeEnvironment* g_env = nullptr;

// Ten runs each; median for the figure, min and max for the spread.
inline void timed(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMicrosecond)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics(
            "min",
            [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) {
            return *std::max_element(v.begin(), v.end());
        });
}

// A shown window at the minimum size, as the program opens.
inline std::unique_ptr<kab::TForm1> shownForm() {
    auto form = std::make_unique<kab::TForm1>(*g_env);
    form->show();
    QElapsedTimer waited;
    waited.start();
    while (!(form->windowHandle() && form->windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    return form;
}

// The largest window the size limits allow, where every action costs most.
inline bool widest(kab::TForm1& form) {
    form.setOuterSize(kab::TForm1::kMaxOuterWidth, kab::TForm1::kMaxOuterHeight);
    QCoreApplication::processEvents();
    return form.outerSize() == QSize(kab::TForm1::kMaxOuterWidth, kab::TForm1::kMaxOuterHeight);
}

// What the event loop paints after an action: the parts it invalidated,
// drawn into the window's backing store and flushed. Never inlined, so that a
// profile can collect this paint alone.
[[gnu::noinline]] inline void paintPending() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

} // namespace kab::bench
