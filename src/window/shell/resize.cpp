// Lays the board out again after every change of the window's size.

#include "window/shell/unit1.h"

#include "toolkit/grid.h"
#include "toolkit/pagecontrol.h"
#include "toolkit/panel.h"

namespace kab {

void TForm1::FormResize() {
    PanelA->setGeometry(rect());
    PanelA->realign();
    // The page control takes PanelA's area inside its bevel, then reaches
    // 4 px past it at the top left and 2 px at the bottom right, so its edges
    // are out of sight.
    const QRect area = PanelA->alignRect();
    pgc1->setGeometry(-4, -4, area.width() + 8, area.height() + 8);
    pgc1->layoutPages();

    // Columns from 24:00 on show only where they fit whole.
    const int last = sg1->colCount() - 1;
    for (int c = last; c >= 19; --c)
        sg1->setColWidth(c, hourWidth_);
    for (int c = last; c >= 19; --c) {
        if (sg1->cellRect(c + 1, 0).right == 0) sg1->setColWidth(c, 0);
    }
}

} // namespace kab
