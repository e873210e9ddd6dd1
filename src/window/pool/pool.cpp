// The 50 blocks: one-time set-up at start, reset before every load.

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
    for (int n = 1; n <= kBlocks; ++n) {
        tk::Panel* p = Panel(n);
        p->setParent(sg1);
        blockstate::setBounds(*p, board::parkingLeft, board::parkingTop, board::parkingWidth);
        const board::Rgb c = board::blockColour(colours);
        p->setColor(QColor(c.r, c.g, c.b));
        p->describe = [this, p] {
            return tk::toQt(blockstate::description(*p, *timeLabel(p), *durationLabel(p)));
        };
        p->show();
    }
    for (int m = kBlocks + 1; m <= 2 * kBlocks; ++m) {
        tk::Label* l = Label(m);
        tk::Panel* p = Panel(m - kBlocks);
        l->setParent(p);
        l->move(p->width() - 85, 10);
        tk::anchorTopRight(l);
        l->show();
    }
    for (int n = 1; n <= kBlocks; ++n) {
        tk::Label* l = Label(n);
        tk::Panel* p = Panel(n);
        l->setParent(p);
        tk::setAlign(l, tk::Align::Client);
        p->realign();
        l->onMouseDown = blockPress();
        // on top of the duration label: every press on a block reaches it
        l->show();
    }
}

void TForm1::resetPool() {
    for (tk::Panel* p : panels)
        blockstate::park(*p, *timeLabel(p), *durationLabel(p), board::parkingLeft);
    currentBlock_ = nullptr;
    ShapeA->hide();
}

} // namespace kab
