#pragma once
// A string grid that paints nothing itself: every cell is drawn by the owner's
// draw-cell handler through a canvas that keeps its font, brush and pen from
// one cell to the next. One fixed header row and column, per-column widths
// (0 hides a column), no grid lines, no scroll bars, range selection.

#include "foundation/sjis.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <vector>

class QPainter;

namespace kab::tk {

// Left, top, right, bottom; right and bottom exclusive.
struct CellRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    CellRect shifted(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

struct GridCoord {
    int col = -1, row = -1;
    bool valid() const { return col >= 0 && row >= 0; }
    friend bool operator==(const GridCoord&, const GridCoord&) = default;
};

// Cells of the selection: left <= right, top <= bottom.
struct GridRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int c, int r) const { return c >= left && c <= right && r >= top && r <= bottom; }
    friend bool operator==(const GridRect&, const GridRect&) = default;
};

enum DrawState : unsigned { Selected = 1, Focused = 2, Fixed = 4 };

// The grid's drawing surface. Font, brush colour and pen colour persist
// between cells and between paints; the pen is 1 pixel, solid, copy mode.
class GridCanvas {
public:
    QFont font;
    QColor brush = Qt::white;
    QColor pen = Qt::black;

    void fillRect(const CellRect& r);
    // One line, top-aligned, clipped to r, on an opaque background in the
    // brush colour.
    void textRect(const CellRect& r, const SjisString& text, bool alignRight);
    void moveTo(int x, int y) { penPos_ = {x, y}; }
    // Draws from the pen position to (x, y), the end point itself excluded.
    void lineTo(int x, int y);

    QPainter* painter = nullptr;

private:
    QPoint penPos_;
};

class StringGrid : public QWidget {
    Q_OBJECT
public:
    StringGrid(int cols, int rows, QWidget* parent = nullptr);

    int colCount() const { return static_cast<int>(colWidths_.size()); }
    int rowCount() const { return rows_; }

    // Sets every column to the new default width.
    void setDefaultColWidth(int w);
    int defaultColWidth() const { return defaultColWidth_; }
    int colWidth(int c) const { return colWidths_.at(static_cast<std::size_t>(c)); }
    void setColWidth(int c, int w);
    void setDefaultRowHeight(int h);
    int rowHeight() const { return rowHeight_; }

    void setColor(const QColor& c);
    QColor color() const { return color_; }

    const SjisString& cell(int c, int r) const;
    void setCell(int c, int r, const SjisString& text);

    // The cell's rectangle in client pixels: clipped to the client area for
    // the first column that is not wholly visible, all zero for columns (and
    // rows) beyond it. A column past the last answers as one of the default
    // width would.
    CellRect cellRect(int c, int r) const;
    GridCoord mouseToCell(QPoint p) const;

    GridCoord current() const { return current_; }
    GridCoord anchor() const { return anchor_; }
    GridRect selection() const;
    // Program selection: the first corner becomes the anchor, the second the
    // current cell. No select-cell notification.
    void setSelection(GridCoord anchor, GridCoord current);

    GridCanvas& canvas() { return canvas_; }

    // Owner drawing of each visible cell of non-zero width.
    std::function<void(int col, int row, const CellRect& rect, unsigned state)> onDrawCell;
    // Before a cell becomes current; clear the flag to refuse.
    std::function<void(int col, int row, bool& canSelect)> onSelectCell;
    // After the grid's own handling of a button release; client coordinates.
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> onMouseUp;
    // One call per full notch (up: turned away from the user); set handled to
    // keep the grid from moving its current cell.
    std::function<void(bool up, Qt::KeyboardModifiers, QPoint pos, bool& handled)> onMouseWheel;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;

private:
    int colLeft(int c) const;
    int colWidthOrDefault(int c) const;
    bool isBoardCell(GridCoord g) const {
        return g.col >= 1 && g.row >= 1 && g.col < colCount() && g.row < rows_;
    }
    // Select-cell notification, then move the current cell (and the anchor
    // unless extending). Returns false when refused.
    bool moveCurrent(GridCoord to, bool extend);
    // Sets both corners and repaints the cells whose tint changed.
    void moveSelection(GridCoord anchor, GridCoord current);
    QRect pixelRect(const GridRect& cells) const;
    QRect cellQRect(int c, int r) const;
    void paintCell(int c, int r);

    std::vector<int> colWidths_;
    std::vector<SjisString> cells_;
    int rows_;
    int defaultColWidth_ = 64;
    int rowHeight_ = 24;
    QColor color_;
    GridCoord current_{1, 1};
    GridCoord anchor_{1, 1};
    bool selecting_ = false;
    int wheelAccum_ = 0;
    GridCanvas canvas_;
};

} // namespace kab::tk
