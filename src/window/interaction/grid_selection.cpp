// Range selection on the board grid: a span of hours within one row, for the
// eye only.

#include "window/shell/unit1.h"

#include "toolkit/grid.h"

namespace kab {

void TForm1::sg1SelectCell(int col, int row, bool& canSelect) {
    selAnchorCol_ = col;
    selAnchorRow_ = row;
    canSelect = true;
}

void TForm1::sg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    const tk::GridCoord cell = sg1->mouseToCell({x, y});
    if (!cell.valid() || cell.col == 0 || cell.row == 0) return;
    if (button == Qt::RightButton) selAnchorCol_ = cell.col;
    // Released over a board cell: the selection lies within the release row,
    // whatever the drag spanned. A release elsewhere leaves the grid's own
    // drag selection as it is.
    sg1->setSelection({selAnchorCol_, cell.row}, cell);
}

void TForm1::sg1MouseWheelUp(bool, Qt::KeyboardModifiers, QPoint, bool& handled) {
    // the wheel neither moves the grid's current cell nor reaches the window
    handled = true;
}

} // namespace kab
