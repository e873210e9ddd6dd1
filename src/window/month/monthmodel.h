#pragma once
// The month's table as Qt's views read it: a row a person, then the people
// and the hours of each day; a column a day, then the days and hours of
// each person. The row and column headers carry the names and the days.

#include "report/monthtable.h"

#include <QAbstractTableModel>

namespace kab::month {

class MonthModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Whether a cell carries findings (bool), for the red frame.
    static constexpr int FindingRole = Qt::UserRole + 1;

    explicit MonthModel(QObject* parent = nullptr);

    // A new table: the views keep their place when the rows and columns
    // stay the same.
    void setTable(report::MonthTable table);
    const report::MonthTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The date of a day's column, or 0 for the totals.
    DateSerial dateOf(const QModelIndex& index) const;
    // The cell of a finding.
    QModelIndex indexOf(const report::Finding& finding) const;
    // Lines of the tallest cell of a row.
    int lines(int row) const;

private:
    QString findingsText(const report::MonthCell& cell) const;
    int days() const { return static_cast<int>(table_.columns.size()); }
    int persons() const { return static_cast<int>(table_.rows.size()); }

    report::MonthTable table_;
};

} // namespace kab::month
