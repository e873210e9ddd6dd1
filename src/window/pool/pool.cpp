// The 50 blocks: set up at start, made as they are first needed, reset
// before every load.

#include "window/shell/unit1.h"

#include "board/geometry.h"
#include "board/palette.h"
#include "board/pool.h"
#include "toolkit/align.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"
#include "toolkit/shape.h"
#include "toolkit/text.h"
#include "window/shell/blockstate.h"

namespace kab {

int TForm1::blockNumber(const tk::Panel* block) {
    return board::blockNumberFromName(block->objectName().toStdString());
}

void TForm1::setUpPool() {
    // Colours are drawn block by block, in this order, from the generator's
    // start state, as at the program's start: every window paints block n
    // the same, whatever was drawn before it.
    Random colours;
    for (QColor& colour : blockColours_) {
        const board::Rgb c = board::blockColour(colours);
        colour = QColor(c.r, c.g, c.b);
    }
    // The blocks not made yet lie here in the stacking order, below those
    // made before: as if every block had been laid into the grid in order.
    poolMark_ = new QWidget(sg1);
    poolMark_->setObjectName(QStringLiteral("poolMark"));
    poolMark_->hide();
    poolSetUp_ = true;
    for (int n = madeFrom_; n <= kBlocks; ++n)
        setUpBlock(n);
    // the top of the parking stack
    makeBlocksDownTo(kBlocks);
}

void TForm1::setUpBlock(int n) {
    tk::Panel* p = panels[std::size_t(n - 1)];
    tk::Label* times = labels[std::size_t(n - 1)];
    tk::Label* duration = labels[std::size_t(n - 1 + kBlocks)];
    p->setParent(sg1);
    blockstate::setBounds(*p, board::parkingLeft, board::parkingTop, board::parkingWidth);
    p->setColor(blockColours_[std::size_t(n - 1)]);
    p->describe = [this, p] {
        return tk::toQt(blockstate::description(*p, *timeLabel(p), *durationLabel(p)));
    };
    p->show();
    duration->setParent(p);
    duration->move(p->width() - 85, 10);
    tk::anchorTopRight(duration);
    duration->show();
    times->setParent(p);
    tk::setAlign(times, tk::Align::Client);
    p->realign();
    times->onMouseDown = blockPress();
    // on top of the duration label: every press on a block reaches it
    times->show();
}

void TForm1::makeBlocksDownTo(int n) {
    if (n < 1) return;
    while (madeFrom_ > n) {
        const int m = madeFrom_ - 1;
        buildBlock(m);
        madeFrom_ = m;
        if (!poolSetUp_) continue;
        setUpBlock(m);
        // directly above the blocks not made yet, below every block made
        // before, and parked as the last reset left every block
        tk::Panel* p = panels[std::size_t(m - 1)];
        p->stackUnder(poolMark_);
        poolMark_->stackUnder(p);
        blockstate::park(*p, *labels[std::size_t(m - 1)], *labels[std::size_t(m - 1 + kBlocks)],
                         board::parkingLeft);
    }
}

void TForm1::makeParkedTop() {
    for (int n = madeFrom_; n <= kBlocks; ++n)
        if (!blockstate::isPlaced(*panels[std::size_t(n - 1)])) return;
    makeBlocksDownTo(madeFrom_ - 1);
}

void TForm1::resetPool() {
    for (tk::Panel* p : panels)
        if (p) blockstate::park(*p, *timeLabel(p), *durationLabel(p), board::parkingLeft);
    currentBlock_ = nullptr;
    ShapeA->hide();
}

} // namespace kab
