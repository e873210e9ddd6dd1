// Board timings offscreen: a full repaint of the grid at the minimum window
// size, a selection click with its paint, and a reset of the block pool.

#include "bench_support.h"
#include "board/geometry.h"
#include "support/fake_environment.h"
#include "toolkit/application.h"
#include "window/shell/unit1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

using kab::bench::shownForm;
using kab::bench::timed;

// What the user waits for: the grid and the parked blocks on it, painted
// through the window's backing store.
void BM_RepaintBoard(benchmark::State& state) {
    auto form = shownForm();
    if (form->sg1->size() != QSize(826, 476)) state.SkipWithError("not at the minimum size");
    for (auto _ : state)
        form->sg1->repaint();
}
BENCHMARK(BM_RepaintBoard)->Apply(timed);

// The same at the largest window the size limits allow.
void BM_RepaintBoardMaxSize(benchmark::State& state) {
    auto form = shownForm();
    if (!kab::bench::widest(*form)) state.SkipWithError("not at the maximum size");
    for (auto _ : state)
        form->sg1->repaint();
}
BENCHMARK(BM_RepaintBoardMaxSize)->Apply(timed);

// Actions, each with the paint that follows it, at the widest window: one
// left click on a board cell (the cells whose tint changes are painted, not
// the whole grid). The clicks alternate between two cells so that every one
// moves the selection.
void BM_ActionSelectionClick(benchmark::State& state) {
    auto form = shownForm();
    if (!kab::bench::widest(*form)) state.SkipWithError("not at the maximum size");
    kab::tk::StringGrid* grid = form->sg1;
    const QPoint cells[] = {{5 * 40 + 20, 3 * 44 + 22}, {11 * 40 + 20, 6 * 44 + 22}};
    int i = 0;
    for (auto _ : state) {
        const QPoint at = cells[i ^= 1];
        const QPoint global = grid->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(grid, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(grid, &release);
        kab::bench::paintPending();
    }
    if (grid->selection().left != 5 && grid->selection().left != 11)
        state.SkipWithError("the clicks selected nothing");
}
BENCHMARK(BM_ActionSelectionClick)->Apply(timed);

// The grid's own cell drawing alone, into an image: no backing store, no
// child widgets, to tell the drawing handler's share from the rest.
void BM_RenderGridCellsOnly(benchmark::State& state) {
    auto form = shownForm();
    QImage image(form->sg1->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        form->sg1->render(&image, {}, {}, QWidget::DrawWindowBackground);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderGridCellsOnly)->Apply(timed);

// Blocks spread over the board, captions, tags and labels set, one current.
void spreadBlocks(kab::TForm1& form) {
    for (int n = 1; n <= kab::TForm1::kBlocks; ++n) {
        kab::tk::Panel* p = form.Panel(n);
        kab::blockstate::setBounds(*p, 40 + 20 * (n % 30), 44 * (1 + n % 8) + 3, 60 + 20 * (n % 5));
        p->setCaption("staff");
        p->setTag(n);
        p->setHint("x");
        form.timeLabel(p)->setCaption("9:00");
        form.durationLabel(p)->setCaption("2.50");
    }
    form.setCurrentBlock(form.Panel(1));
    form.ShapeA->show();
}

void BM_ResetPoolAfterUse(benchmark::State& state) {
    auto form = shownForm();
    for (auto _ : state) {
        state.PauseTiming();
        spreadBlocks(*form);
        // the updates the spreading queued are not the reset's cost
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form->resetPool();
    }
    if (form->Panel(50)->geometry().topLeft() !=
        QPoint(kab::board::parkingLeft, kab::board::parkingTop))
        state.SkipWithError("pool not reset");
}
BENCHMARK(BM_ResetPoolAfterUse)->Apply(timed);

// A reset of a pool already reset: the floor, every setter finding nothing
// to change.
void BM_ResetPoolAlreadyReset(benchmark::State& state) {
    auto form = shownForm();
    // every block made, as after the first press on one
    form->makeBlocksDownTo(1);
    form->resetPool();
    for (auto _ : state)
        form->resetPool();
}
BENCHMARK(BM_ResetPoolAlreadyReset)->Apply(timed);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    kab::test::FakeEnvironment env;
    kab::bench::g_env = &env;
    kab::tk::Application app(argc, argv, env);
    app.setTitle(QStringLiteral("bench"));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
