#include "toolkit/grid.h"

#include "toolkit/accessible.h"
#include "toolkit/application.h"
#include "toolkit/text.h"
#include "toolkit/textdraw.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace kab::tk {

// --- canvas ---------------------------------------------------------------

void GridCanvas::fillRect(const CellRect& r) {
    painter->fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), brush);
}

void GridCanvas::textRect(const CellRect& r, const SjisString& text, bool alignRight) {
    if (text.empty()) return;
    const QString s = toQt(text);
    painter->setFont(font);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(s);
    const QRect box(r.left, r.top, r.right - r.left, r.bottom - r.top);
    QRect extent(alignRight ? r.right - w : r.left, r.top, w, fm.height());
    painter->fillRect(extent.intersected(box), brush);
    painter->setPen(Qt::black);
    drawText(*painter, box,
             (alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine, s);
}

void GridCanvas::lineTo(int x, int y) {
    // 1-pixel lines from the pen position up to, not including, (x, y); the
    // program draws only vertical and horizontal ones.
    const int x0 = penPos_.x(), y0 = penPos_.y();
    if (x0 == x && y > y0)
        painter->fillRect(x0, y0, 1, y - y0, pen);
    else if (x0 == x && y < y0)
        painter->fillRect(x0, y + 1, 1, y0 - y, pen);
    else if (y0 == y && x > x0)
        painter->fillRect(x0, y0, x - x0, 1, pen);
    else if (y0 == y && x < x0)
        painter->fillRect(x + 1, y0, x0 - x, 1, pen);
    else if (x0 != x || y0 != y) {
        painter->setPen(QPen(pen, 1));
        painter->drawLine(penPos_, QPoint(x, y));
    }
    penPos_ = {x, y};
}

// --- grid -----------------------------------------------------------------

StringGrid::StringGrid(int cols, int rows, QWidget* parent)
    : QWidget(parent), colWidths_(static_cast<std::size_t>(cols), 64),
      cells_(static_cast<std::size_t>(cols * rows)), rows_(rows) {
    // A click on the grid itself focuses it (in the press handler); a click
    // on a block lying on it must not.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StringGrid::setDefaultColWidth(int w) {
    defaultColWidth_ = w;
    std::fill(colWidths_.begin(), colWidths_.end(), w);
    update();
}

void StringGrid::setColWidth(int c, int w) {
    auto& cw = colWidths_.at(static_cast<std::size_t>(c));
    if (cw == w) return;
    const bool shownBefore = cw > 0;
    cw = w;
    update();
    if (shownBefore != (w > 0)) gridColumnsChanged(this);
}

void StringGrid::setDefaultRowHeight(int h) {
    rowHeight_ = h;
    update();
}

void StringGrid::setColor(const QColor& c) {
    color_ = c;
    update();
}

const SjisString& StringGrid::cell(int c, int r) const {
    return cells_.at(static_cast<std::size_t>(r * colCount() + c));
}

void StringGrid::setCell(int c, int r, const SjisString& text) {
    cells_.at(static_cast<std::size_t>(r * colCount() + c)) = text;
    update();
}

int StringGrid::colWidthOrDefault(int c) const {
    return c < colCount() ? colWidth(c) : defaultColWidth_;
}

int StringGrid::colLeft(int c) const {
    int x = 0;
    for (int i = 0; i < c; ++i)
        x += colWidthOrDefault(i);
    return x;
}

CellRect StringGrid::cellRect(int c, int r) const {
    if (c < 0 || r < 0) return {};
    // Columns up to the first one not wholly visible have a rectangle.
    int x = 0;
    for (int i = 0; i < c; ++i) {
        x += colWidthOrDefault(i);
        if (x > width()) return {};
    }
    // rows work alike; every row has the same height
    const int top = r * rowHeight_;
    if (top > height()) return {};
    return {x, top, std::min(x + colWidthOrDefault(c), width()),
            std::min(top + rowHeight_, height())};
}

GridCoord StringGrid::mouseToCell(QPoint p) const {
    if (p.x() < 0 || p.y() < 0 || p.x() >= width() || p.y() >= height()) return {};
    const int r = p.y() / rowHeight_;
    if (r >= rows_) return {};
    int x = 0;
    for (int c = 0; c < colCount(); ++c) {
        x += colWidth(c);
        if (p.x() < x) return {c, r};
    }
    return {};
}

GridRect StringGrid::selection() const {
    return {std::min(anchor_.col, current_.col), std::min(anchor_.row, current_.row),
            std::max(anchor_.col, current_.col), std::max(anchor_.row, current_.row)};
}

void StringGrid::setSelection(GridCoord anchor, GridCoord current) {
    moveSelection(anchor, current);
}

QRect StringGrid::pixelRect(const GridRect& cells) const {
    const int left = colLeft(cells.left);
    const int right = colLeft(cells.right) + colWidthOrDefault(cells.right);
    return QRect(left, cells.top * rowHeight_, right - left,
                 (cells.bottom - cells.top + 1) * rowHeight_);
}

void StringGrid::moveSelection(GridCoord anchor, GridCoord current) {
    const GridRect before = selection();
    anchor_ = anchor;
    current_ = current;
    // Only the cells whose tint changes are painted again.
    const GridRect after = selection();
    if (after == before) return;
    update(QRegion(pixelRect(before)).xored(QRegion(pixelRect(after))));
    gridSelectionChanged(this);
}

bool StringGrid::moveCurrent(GridCoord to, bool extend) {
    if (extend) {
        moveSelection(to, current_);
        return true;
    }
    bool can = true;
    if (onSelectCell) guarded([&] { onSelectCell(to.col, to.row, can); });
    if (!can) return false;
    moveSelection(to, to);
    return true;
}

// --- painting -------------------------------------------------------------

QRect StringGrid::cellQRect(int c, int r) const {
    const CellRect rect = cellRect(c, r);
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void StringGrid::paintCell(int c, int r) {
    if (c >= colCount() || colWidth(c) == 0) return;
    const CellRect rect = cellRect(c, r);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    unsigned state = 0;
    if (c == 0 || r == 0) state |= Fixed;
    if (selection().contains(c, r)) state |= Selected;
    if (hasFocus() && current_ == GridCoord{c, r}) state |= Focused;
    if (onDrawCell) guarded([&] { onDrawCell(c, r, rect, state); });
}

void StringGrid::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    canvas_.painter = &p;
    // The grid fills what lies outside its cells with its own colour.
    int right = 0;
    for (int c = 0; c < colCount(); ++c)
        right = std::max(right, cellRect(c, 0).right);
    const int bottom = std::min(rows_ * rowHeight_, height());
    p.fillRect(QRect(right, 0, width() - right, height()), color_);
    p.fillRect(QRect(0, bottom, right, height() - bottom), color_);

    // Only the cells that meet the area to paint are drawn, clipped to it:
    // a cell drawn alone keeps the row line's colour in its bottom-left
    // corner, which only the column line of the cell below paints over.
    const QRegion& dirty = e->region();
    auto paint = [&](int c, int r) {
        if (c < colCount() && dirty.intersects(cellQRect(c, r))) paintCell(c, r);
    };
    // corner, hour header, row header, then the board row by row
    paint(0, 0);
    for (int c = 1; c < colCount(); ++c)
        paint(c, 0);
    for (int r = 1; r < rows_; ++r)
        paint(0, r);
    for (int r = 1; r < rows_; ++r)
        for (int c = 1; c < colCount(); ++c)
            paint(c, r);
    canvas_.painter = nullptr;
}

// --- input ----------------------------------------------------------------

void StringGrid::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton) return;
    const GridCoord g = mouseToCell(e->position().toPoint());
    if (!isBoardCell(g)) return;
    const bool extend = e->modifiers() & Qt::ShiftModifier;
    if (moveCurrent(g, extend)) selecting_ = true;
}

void StringGrid::mouseMoveEvent(QMouseEvent* e) {
    if (!selecting_ || !(e->buttons() & Qt::LeftButton)) return;
    QPoint p = e->position().toPoint();
    p.setX(std::clamp(p.x(), 0, width() - 1));
    p.setY(std::clamp(p.y(), 0, std::min(height(), rows_ * rowHeight_) - 1));
    GridCoord g = mouseToCell(p);
    if (!g.valid()) return;
    g.col = std::max(g.col, 1);
    g.row = std::max(g.row, 1);
    if (g != anchor_) moveSelection(g, current_);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) selecting_ = false;
    if (onMouseUp) {
        const QPoint p = e->position().toPoint();
        guarded([&] { onMouseUp(e->button(), e->modifiers(), p.x(), p.y()); });
    }
}

void StringGrid::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    const int dc = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
    const int dr = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
    if (dc == 0 && dr == 0) return QWidget::keyPressEvent(e);
    const bool extend = e->modifiers() & Qt::ShiftModifier;
    GridCoord g = extend ? anchor_ : current_;
    // step over hidden columns
    do {
        g.col += dc;
    } while (dc != 0 && g.col >= 1 && g.col < colCount() && colWidth(g.col) == 0);
    g.row += dr;
    if (!isBoardCell(g) || colWidth(g.col) == 0) return;
    moveCurrent(g, extend);
}

void StringGrid::wheelEvent(QWheelEvent* e) {
    // wheel input belongs to the control with the keyboard focus
    if (!hasFocus()) {
        e->ignore();
        return;
    }
    e->accept();
    wheelAccum_ += e->angleDelta().y();
    while (std::abs(wheelAccum_) >= 120) {
        const bool up = wheelAccum_ > 0;
        wheelAccum_ += up ? -120 : 120;
        bool handled = false;
        if (onMouseWheel)
            guarded([&] { onMouseWheel(up, e->modifiers(), e->position().toPoint(), handled); });
        if (!handled) {
            GridCoord g = current_;
            g.row += up ? -1 : 1;
            if (isBoardCell(g)) moveCurrent(g, false);
        }
    }
}

// The current cell is drawn knowing whether the grid has the focus.
void StringGrid::focusInEvent(QFocusEvent*) {
    update(cellQRect(current_.col, current_.row));
}
void StringGrid::focusOutEvent(QFocusEvent*) {
    update(cellQRect(current_.col, current_.row));
}

} // namespace kab::tk
