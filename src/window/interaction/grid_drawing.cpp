// Every pixel of the board grid: headers, fills, hour lines and row lines.

#include "window/shell/unit1.h"

#include "foundation/numbers.h"
#include "toolkit/grid.h"
#include "toolkit/look.h"

namespace kab {

namespace {

const QColor kHeaderFill(224, 224, 220);
const QColor kBoardFill(248, 248, 248);
const QColor kSelectedFill(245, 255, 255);
const QColor kRowLine(170, 180, 200);

// Hour lines: black every three hours from 6:00 to 21:00, mid grey from 24:00
// on, light grey in between.
QColor columnLineColour(int col) {
    if ((col + 2) % 3 != 0) return QColor(224, 224, 224);
    if (col >= 17 && col <= 25) return QColor(184, 184, 184);
    return Qt::black;
}

// A one-character header text is drawn with a blank before it.
SjisString padded(const SjisString& text) {
    return text.size() == 1 ? " " + text : text;
}

} // namespace

void TForm1::setHeaderTexts() {
    for (int r = 1; r <= 8; ++r)
        sg1->setCell(0, r, intToStr(r) + " ");
    for (int c = 1; c <= sg1->colCount() - 2; ++c)
        sg1->setCell(c, 0, formatDateTime("h", (c + 5) / 24.0));
}

void TForm1::sg1DrawCell(int col, int row, const tk::CellRect& rect, unsigned state) {
    tk::GridCanvas& canvas = sg1->canvas();
    if (col == 0 || row == 0) {
        // the font is set here only; later board cells keep it
        canvas.font = tk::makeFont(tk::Face::Sans, 16);
        canvas.brush = kHeaderFill;
        canvas.fillRect(rect);
        const SjisString text = padded(sg1->cell(col, row));
        // row numbers end 3 px right of the cell, hours start 3 px into it;
        // both 14 px below its top
        if (col == 0) canvas.textRect(rect.shifted(3, 14), text, true);
        if (row == 0) canvas.textRect(rect.shifted(3, 14), text, false);
    }
    canvas.brush = (state & tk::Selected) ? kSelectedFill : kBoardFill;
    if (col >= 1 && row >= 1) canvas.fillRect(rect);

    // The column line runs from the grid's top each time, so a cell below
    // paints over the corner of the row line above it. Above this cell the
    // line only changes those corners: the rest of it is there already, drawn
    // in the same colour by the cells above, which are painted first whenever
    // they meet the area being painted. So it is drawn down this cell and
    // into each corner above, pixel for pixel as one line from the top.
    canvas.pen = columnLineColour(col);
    canvas.moveTo(rect.left, rect.top);
    canvas.lineTo(rect.left, rect.bottom - 1);
    for (int above = 0; above < row; ++above) {
        const int corner = sg1->cellRect(col, above).bottom - 1;
        canvas.moveTo(rect.left, corner);
        canvas.lineTo(rect.left, corner + 1);
    }
    canvas.pen = kRowLine;
    canvas.moveTo(rect.left, rect.bottom - 1);
    canvas.lineTo(rect.right - 1, rect.bottom - 1);
}

} // namespace kab
