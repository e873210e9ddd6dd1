// The board grid as a screen reader's table: its rows and the columns it
// shows, each cell named by the text it draws, the tint as the selection and
// the current cell as the focus. Made only when a reader asks.

#include "toolkit/accessible.h"

#include "toolkit/grid.h"
#include "toolkit/text.h"

#include <QAccessibleWidget>
#include <QHash>

namespace kab::tk {

namespace {

class AccessibleCell;

class AccessibleGrid : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleGrid(StringGrid* g) : QAccessibleWidget(g, QAccessible::Table) {}
    ~AccessibleGrid() override { forgetCells(); }

    StringGrid* grid() const { return static_cast<StringGrid*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The cells, row by row, then the blocks and the ghost lying on the grid.
    int cellCount() const { return rowCount() * columnCount(); }
    int childCount() const override { return cellCount() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int i) const override {
        if (i < 0) return nullptr;
        if (i < cellCount()) return cellAt(i / columnCount(), i % columnCount());
        return QAccessibleWidget::child(i - cellCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override;

    // The grid's column of a column the table shows: hidden ones are skipped.
    int gridColumn(int column) const {
        for (int c = 0; c < grid()->colCount(); ++c)
            if (grid()->colWidth(c) > 0 && column-- == 0) return c;
        return -1;
    }
    int tableColumn(int gridColumn) const {
        int column = 0;
        for (int c = 0; c < gridColumn; ++c)
            column += grid()->colWidth(c) > 0;
        return column;
    }

    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override { return cellName(0, gridColumn(column)); }
    QString rowDescription(int row) const override { return cellName(row, 0); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return tableColumn(grid()->colCount()); }
    int rowCount() const override { return grid()->rowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    // Shown columns changed: the cells are made afresh when next asked for.
    void modelChange(QAccessibleTableModelChangeEvent*) override { forgetCells(); }

    // A header's name is its text as drawn, blanks aside; board cells have none.
    QString cellName(int row, int gridCol) const {
        if (gridCol < 0 || (row > 0 && gridCol > 0)) return {};
        return toQt(grid()->cell(gridCol, row)).trimmed();
    }

private:
    void forgetCells() {
        for (QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }
    mutable QHash<int, QAccessible::Id> cells_; // by row * 100 + the grid's column
};

class AccessibleCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    AccessibleCell(AccessibleGrid* table, int row, int gridCol)
        : grid_(table->grid()), row_(row), col_(gridCol) {}

    AccessibleGrid* tableOf() const {
        return static_cast<AccessibleGrid*>(QAccessible::queryAccessibleInterface(grid_));
    }

    bool isValid() const override { return grid_ && col_ < grid_->colCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return tableOf(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && grid_ ? tableOf()->cellName(row_, col_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!grid_) return {};
        const CellRect r = grid_->cellRect(col_, row_);
        return {grid_->mapToGlobal(QPoint(r.left, r.top)),
                QSize(r.right - r.left, r.bottom - r.top)};
    }
    QAccessible::Role role() const override {
        if (row_ == 0 && col_ > 0) return QAccessible::ColumnHeader;
        if (col_ == 0 && row_ > 0) return QAccessible::RowHeader;
        return QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!grid_) return s;
        s.selectable = s.focusable = row_ > 0 && col_ > 0;
        s.selected = isSelected();
        s.focused = grid_->hasFocus() && grid_->current() == GridCoord{col_, row_};
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    // The tinted cells: board cells within the grid's selection.
    bool isSelected() const override {
        return grid_ && row_ > 0 && col_ > 0 && grid_->selection().contains(col_, row_);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        return {tableOf()->cellAt(0, columnIndex())};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        return {tableOf()->cellAt(row_, 0)};
    }
    int columnIndex() const override { return tableOf()->tableColumn(col_); }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return tableOf(); }

private:
    QPointer<StringGrid> grid_;
    int row_;
    int col_;
};

QAccessibleInterface* AccessibleGrid::cellAt(int row, int column) const {
    const int col = gridColumn(column);
    if (row < 0 || row >= rowCount() || col < 0) return nullptr;
    const int key = row * 100 + col;
    if (const auto it = cells_.constFind(key); it != cells_.constEnd())
        return QAccessible::accessibleInterface(*it);
    auto* cell = new AccessibleCell(const_cast<AccessibleGrid*>(this), row, col);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QList<QAccessibleInterface*> AccessibleGrid::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    const GridRect s = grid()->selection();
    for (int row = std::max(s.top, 1); row <= s.bottom; ++row)
        for (int col = std::max(s.left, 1); col <= s.right && col < grid()->colCount(); ++col)
            if (grid()->colWidth(col) > 0) cells << cellAt(row, tableColumn(col));
    return cells;
}

int AccessibleGrid::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const AccessibleCell*>(child);
    if (!cell) return cellCount() + QAccessibleWidget::indexOfChild(child);
    if (cell->tableOf() != this) return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

} // namespace

QAccessibleInterface* accessibleGrid(StringGrid* grid) {
    return new AccessibleGrid(grid);
}

void gridSelectionChanged(QWidget* grid) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent e(grid, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&e);
}

void gridColumnsChanged(QWidget* grid) {
    if (!QAccessible::isActive()) return;
    QAccessibleTableModelChangeEvent e(grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&e);
}

} // namespace kab::tk
