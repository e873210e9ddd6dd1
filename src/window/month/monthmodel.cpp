#include "window/month/monthmodel.h"

#include <QColor>
#include <QFont>

namespace kab::month {

namespace {

QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};

// The same rows and columns, so that the views need no reset.
bool sameShape(const report::MonthTable& a, const report::MonthTable& b) {
    if (a.columns.size() != b.columns.size() || a.rows.size() != b.rows.size()) return false;
    for (std::size_t r = 0; r < a.rows.size(); ++r)
        if (a.rows[r].kind != b.rows[r].kind || a.rows[r].name != b.rows[r].name) return false;
    return a.columns.empty() || a.columns.front().date == b.columns.front().date;
}

} // namespace

MonthModel::MonthModel(QObject* parent) : QAbstractTableModel(parent) {}

namespace {

bool sameFindings(const report::MonthTable& a, const report::MonthCell& x,
                  const report::MonthTable& b, const report::MonthCell& y) {
    if (x.findings.size() != y.findings.size()) return false;
    for (std::size_t i = 0; i < x.findings.size(); ++i)
        if (!(a.findings[static_cast<std::size_t>(x.findings[i])] ==
              b.findings[static_cast<std::size_t>(y.findings[i])]))
            return false;
    return true;
}

} // namespace

void MonthModel::setTable(report::MonthTable table) {
    if (!sameShape(table_, table)) {
        beginResetModel();
        table_ = std::move(table);
        endResetModel();
        return;
    }
    // Only what changed is told, cell by cell, so that the view repaints
    // those cells alone: a step on the board changes one day.
    const report::MonthTable old = std::move(table_);
    table_ = std::move(table);
    const auto changed = [this](int r, int c) { emit dataChanged(index(r, c), index(r, c)); };
    int firstHead = -1, lastHead = -1;
    for (int c = 0; c < days(); ++c) {
        const report::MonthColumn &a = old.columns[std::size_t(c)],
                                  &b = table_.columns[std::size_t(c)];
        if (a.unsaved != b.unsaved || a.damage != b.damage || a.leftUnsaved != b.leftUnsaved) {
            if (firstHead < 0) firstHead = c;
            lastHead = c;
        }
        if (a.people != b.people) changed(persons(), c);
        if (a.hours != b.hours) changed(persons() + 1, c);
    }
    if (firstHead >= 0) emit headerDataChanged(Qt::Horizontal, firstHead, lastHead);
    for (int r = 0; r < persons(); ++r) {
        const report::MonthRow &a = old.rows[std::size_t(r)], &b = table_.rows[std::size_t(r)];
        for (int c = 0; c < days(); ++c) {
            const report::MonthCell &x = a.cells[std::size_t(c)], &y = b.cells[std::size_t(c)];
            if (x.text != y.text || !sameFindings(old, x, table_, y)) changed(r, c);
        }
        if (a.days != b.days) changed(r, days());
        if (a.hours != b.hours) changed(r, days() + 1);
    }
    if (old.total != table_.total) changed(persons() + 1, days() + 1);
}

int MonthModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : persons() + 2;
}

int MonthModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : days() + 2;
}

Qt::ItemFlags MonthModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString MonthModel::findingsText(const report::MonthCell& cell) const {
    QStringList lines;
    for (int i : cell.findings) {
        const report::Finding& f = table_.findings[static_cast<std::size_t>(i)];
        lines << qs(report::findingTitle(f.kind)) + QStringLiteral(": ") + qs(f.text);
    }
    return lines.join(QLatin1Char('\n'));
}

QVariant MonthModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const int r = index.row(), c = index.column();
    const bool dayColumn = c < days();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(dayColumn && r < persons() ? Qt::AlignLeft | Qt::AlignTop
                                                              : Qt::AlignRight | Qt::AlignTop);
    if (r < persons()) {
        const report::MonthRow& row = table_.rows[static_cast<std::size_t>(r)];
        if (!dayColumn) {
            if (role != Qt::DisplayRole) return {};
            return c == days() ? QString::number(row.days) : qs(row.hours.text());
        }
        const report::MonthCell& cell = row.cells[static_cast<std::size_t>(c)];
        switch (role) {
        case Qt::DisplayRole:
            return qs(cell.text);
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
            return cell.findings.empty() ? QVariant() : QVariant(findingsText(cell));
        case FindingRole:
            return !cell.findings.empty();
        default:
            return {};
        }
    }
    if (role != Qt::DisplayRole) return {};
    const bool people = r == persons();
    if (dayColumn) {
        const report::MonthColumn& col = table_.columns[static_cast<std::size_t>(c)];
        return people ? QString::number(col.people) : qs(col.hours.text());
    }
    if (!people && c == days() + 1) return qs(table_.total.text());
    return {};
}

QVariant MonthModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= rowCount()) return {};
        if (section >= persons()) {
            if (role != Qt::DisplayRole) return {};
            return section == persons() ? QStringLiteral("人数") : QStringLiteral("時間");
        }
        const report::MonthRow& row = table_.rows[static_cast<std::size_t>(section)];
        if (role == Qt::DisplayRole) return qs(row.label());
        if (role == Qt::ToolTipRole && row.kind == report::MonthRow::Kind::Unlisted)
            return QStringLiteral("職員名簿にない名前です");
        return {};
    }
    if (section < 0 || section >= columnCount()) return {};
    if (section >= days()) {
        if (role != Qt::DisplayRole) return {};
        return section == days() ? QStringLiteral("日数") : QStringLiteral("時間");
    }
    const report::MonthColumn& col = table_.columns[static_cast<std::size_t>(section)];
    const bool red = col.weekday == 1 || !col.holiday.empty();
    switch (role) {
    case Qt::DisplayRole: {
        QString text = QString::number(col.day) + QLatin1Char('\n') +
                       QString::fromUtf8(kWeekdays[col.weekday - 1]);
        using Left = report::MonthColumn::LeftUnsaved;
        if (col.unsaved || col.leftUnsaved == Left::Newer)
            text += QStringLiteral("\n未保存");
        else if (col.leftUnsaved == Left::Older)
            text += QStringLiteral("\n未保存(古)");
        if (!col.damage.empty()) text += QStringLiteral("\n破損");
        return text;
    }
    case Qt::ForegroundRole:
        if (red) return QColor(200, 0, 0);
        if (col.weekday == 7) return QColor(0, 0, 200);
        return {};
    case Qt::ToolTipRole: {
        QStringList lines;
        if (!col.holiday.empty()) lines << qs(col.holiday);
        if (col.unsaved) lines << QStringLiteral("盤面に保存していない変更があります");
        if (col.leftUnsaved == report::MonthColumn::LeftUnsaved::Newer)
            lines << QStringLiteral(
                "保存されていない作業が残っています (「復元」で盤面に戻せます)");
        if (col.leftUnsaved == report::MonthColumn::LeftUnsaved::Older)
            lines << QStringLiteral("保存されていない作業が残っていますが、その後この日の日ファイル"
                                    "が保存されています。残っているのはそれより古い作業です"
                                    " (「復元」で盤面に戻せます)");
        if (!col.damage.empty())
            lines << QStringLiteral("日ファイルが壊れています (読めた行だけを表示):\n") +
                         qs(col.damage);
        return lines.isEmpty() ? QVariant() : QVariant(lines.join(QLatin1Char('\n')));
    }
    default:
        return {};
    }
}

DateSerial MonthModel::dateOf(const QModelIndex& index) const {
    if (!index.isValid() || index.column() >= days()) return 0;
    return table_.columns[static_cast<std::size_t>(index.column())].date;
}

QModelIndex MonthModel::indexOf(const report::Finding& f) const {
    if (table_.columns.empty()) return {};
    const int c = static_cast<int>(f.date - table_.columns.front().date);
    for (int r = 0; r < persons(); ++r) {
        const report::MonthRow& row = table_.rows[static_cast<std::size_t>(r)];
        if (f.name.empty() ? row.kind == report::MonthRow::Kind::Unnamed
                           : row.kind != report::MonthRow::Kind::Unnamed && row.name == f.name)
            return index(r, c);
    }
    return {};
}

int MonthModel::lines(int row) const {
    if (row >= persons()) return 1;
    int most = 1;
    for (const report::MonthCell& cell : table_.rows[static_cast<std::size_t>(row)].cells)
        most = std::max(most, static_cast<int>(cell.shifts.size()));
    return most;
}

} // namespace kab::month
