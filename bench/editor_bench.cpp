// The editor and the drag under the hand, at the widest window, each with the
// paint that follows: one wheel notch on the current block (routing, apply
// step, re-place) and one drag tick.

#include "bench_support.h"

#include "board/geometry.h"
#include "toolkit/text.h"
#include "window/shell/blockstate.h"

#include <QApplication>
#include <QDir>
#include <QWheelEvent>

namespace {

using kab::bench::shownForm;
using kab::bench::timed;

// An active window with block 50 on row 3 at 9:00 for four hours, current,
// and a data folder for the recovery files its changes ask for.
std::unique_ptr<kab::TForm1> formWithBlock() {
    auto form = shownForm();
    QDir().mkpath(kab::tk::pathToQt(form->dataDir()));
    kab::bench::widest(*form);
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    QCoreApplication::processEvents();
    kab::tk::Panel* p = form->Panel(50);
    form->setCurrentBlock(p);
    kab::blockstate::setPlaced(*p);
    kab::blockstate::setBounds(*p, p->x(), kab::board::topOfRow(3), p->width());
    form->dtp1->setValue(0.375);
    form->Edit1->setText("4.0");
    form->dtp1Change(nullptr);
    QCoreApplication::processEvents();
    return form;
}

void wheelOver(QWidget* under, bool up) {
    const QPoint pos = under->rect().center();
    QWheelEvent e(pos, under->mapToGlobal(pos), QPoint(), QPoint(0, up ? 120 : -120), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(under, &e);
}

// The duration box has the focus, the pointer lies over the board; the
// notches alternate so that every one changes the block.
void BM_ActionWheelStep(benchmark::State& state) {
    auto form = formWithBlock();
    form->Edit1->setFocus();
    QCoreApplication::processEvents();
    if (!form->Edit1->hasFocus()) state.SkipWithError("the duration box has no focus");
    bool up = true;
    for (auto _ : state) {
        wheelOver(form->sg1, up);
        kab::bench::paintPending();
        up = !up;
    }
    if (form->Edit1->text() != "4.00" && form->Edit1->text() != "4.25")
        state.SkipWithError("the wheel did not step the duration");
}
BENCHMARK(BM_ActionWheelStep)->Apply(timed);

// One tick while a parked block is dragged: the ghost jumps between two
// rows, and what it left and reached is painted.
void BM_ActionDragTick(benchmark::State& state) {
    auto form = formWithBlock();
    // block 49 pressed 100 px into its time label, as the drag begins; the
    // ticks are the benchmark's own
    form->Label1MouseDown(form->Label(49), Qt::LeftButton, Qt::NoModifier, 100, 10);
    form->Timer1->stop();
    const QPoint corner = kab::bench::g_env->windowCorner(*form);
    const QPoint at[] = {corner + QPoint(100 + 325, 10 + 140),
                         corner + QPoint(100 + 505, 10 + 272)};
    int i = 0;
    for (auto _ : state) {
        kab::bench::g_env->cursor = at[i ^= 1];
        form->Timer1Timer();
        kab::bench::paintPending();
    }
    if (!form->Shade1->isVisible()) state.SkipWithError("the ghost never showed");
}
BENCHMARK(BM_ActionDragTick)->Apply(timed);

} // namespace
