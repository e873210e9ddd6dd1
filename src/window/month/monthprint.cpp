// The month's table on paper: the days' header and the names on every page,
// each block as its start over its end so that a day's column stays narrow
// enough for a whole month across landscape A4; the findings framed, and
// listed after the table.

#include "window/month/monthwindow.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace kab::month {

namespace {

QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};

// Each block as two lines: "9:00" over "-13:00".
QStringList cellLines(const report::MonthCell& cell) {
    QStringList lines;
    for (const report::Shift* s : cell.shifts) {
        lines << qs(report::clockText(s->startMs));
        lines << QStringLiteral("-") + qs(report::clockText(s->endMs));
    }
    return lines;
}

} // namespace

void paintMonthPages(QPagedPaintDevice& device, const report::MonthTable& t, const QString& title) {
    QPainter p;
    if (!p.begin(&device)) return;
    const double width = device.width(), height = device.height();
    const int days = static_cast<int>(t.columns.size());
    const double nameW = width * 0.10, totalW = width * 0.04;
    const double dayW = (width - nameW - 2 * totalW) / std::max(days, 1);

    // the largest type in which "-翌22:00" fits a day's column
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(100);
    const double wide = QFontMetricsF(font, &device).horizontalAdvance(QStringLiteral("-翌22:00"));
    font.setPixelSize(std::max(1, static_cast<int>(100 * (dayW * 0.92) / wide)));
    p.setFont(font);
    const double line = QFontMetricsF(font, &device).lineSpacing();
    QFont bold = font;
    bold.setBold(true);
    QFont big = font;
    big.setPixelSize(font.pixelSize() * 2);

    const QPen grid(QColor(90, 90, 90), std::max(1.0, line / 20));
    const QPen frame(QColor(200, 0, 0), std::max(2.0, line / 6));
    const auto columnX = [&](int c) { return nameW + c * dayW; };
    const double headerH = 3 * line + line / 2;
    double y = 0;
    int page = 1;

    const auto cellText = [&](const QRectF& r, const QString& text, int align, const QColor& c) {
        p.setPen(c);
        p.drawText(r.adjusted(line / 5, line / 10, -line / 5, 0), align, text);
    };
    const auto header = [&] {
        p.setFont(big);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 0, width, 2 * line * 1.3), Qt::AlignLeft | Qt::AlignVCenter,
                   title + QStringLiteral("  (") + QString::number(page) + QStringLiteral(")"));
        y = 2.6 * line;
        p.setFont(bold);
        p.setPen(grid);
        p.drawRect(QRectF(0, y, width, headerH));
        cellText(QRectF(0, y, nameW, headerH), QStringLiteral("名前"), Qt::AlignLeft | Qt::AlignTop,
                 Qt::black);
        for (int c = 0; c < days; ++c) {
            const report::MonthColumn& col = t.columns[static_cast<std::size_t>(c)];
            const QColor colour = col.weekday == 1 || !col.holiday.empty() ? QColor(190, 0, 0)
                                  : col.weekday == 7                       ? QColor(0, 0, 190)
                                                                           : QColor(Qt::black);
            QString text = QString::number(col.day) + QLatin1Char('\n') +
                           QString::fromUtf8(kWeekdays[col.weekday - 1]);
            if (!col.damage.empty()) text += QStringLiteral("\n破損");
            p.setPen(grid);
            p.drawLine(QPointF(columnX(c), y), QPointF(columnX(c), y + headerH));
            cellText(QRectF(columnX(c), y, dayW, headerH), text, Qt::AlignHCenter | Qt::AlignTop,
                     colour);
        }
        const double tx = columnX(days);
        p.setPen(grid);
        p.drawLine(QPointF(tx, y), QPointF(tx, y + headerH));
        p.drawLine(QPointF(tx + totalW, y), QPointF(tx + totalW, y + headerH));
        cellText(QRectF(tx, y, totalW, headerH), QStringLiteral("日数"), Qt::AlignRight, Qt::black);
        cellText(QRectF(tx + totalW, y, totalW, headerH), QStringLiteral("時間"), Qt::AlignRight,
                 Qt::black);
        y += headerH;
        p.setFont(font);
    };
    const auto row = [&](const QString& name, const std::vector<QStringList>& cells,
                         const std::vector<bool>& marked, const QString& count,
                         const QString& hours) {
        int lines = 1;
        for (const QStringList& c : cells)
            lines = std::max(lines, static_cast<int>(c.size()));
        const double h = lines * line + line / 3;
        if (y + h > height) {
            device.newPage();
            ++page;
            header();
        }
        p.setPen(grid);
        p.drawRect(QRectF(0, y, width, h));
        cellText(QRectF(0, y, nameW, h), name, Qt::AlignLeft | Qt::AlignTop, Qt::black);
        for (int c = 0; c < days; ++c) {
            const QRectF r(columnX(c), y, dayW, h);
            p.setPen(grid);
            p.drawLine(r.topLeft(), r.bottomLeft());
            cellText(r, cells[static_cast<std::size_t>(c)].join(QLatin1Char('\n')),
                     Qt::AlignLeft | Qt::AlignTop, Qt::black);
            if (marked[static_cast<std::size_t>(c)]) {
                p.setPen(frame);
                p.setBrush(Qt::NoBrush);
                p.drawRect(
                    r.adjusted(frame.widthF(), frame.widthF(), -frame.widthF(), -frame.widthF()));
            }
        }
        const double tx = columnX(days);
        p.setPen(grid);
        p.drawLine(QPointF(tx, y), QPointF(tx, y + h));
        p.drawLine(QPointF(tx + totalW, y), QPointF(tx + totalW, y + h));
        cellText(QRectF(tx, y, totalW, h), count, Qt::AlignRight | Qt::AlignTop, Qt::black);
        cellText(QRectF(tx + totalW, y, totalW, h), hours, Qt::AlignRight | Qt::AlignTop,
                 Qt::black);
        y += h;
    };

    header();
    const std::vector<bool> none(static_cast<std::size_t>(days), false);
    for (const report::MonthRow& r : t.rows) {
        std::vector<QStringList> cells;
        std::vector<bool> marked;
        for (const report::MonthCell& c : r.cells) {
            cells.push_back(cellLines(c));
            marked.push_back(!c.findings.empty());
        }
        row(qs(r.label()), cells, marked, QString::number(r.days), qs(r.hours.text()));
    }
    std::vector<QStringList> people, hours;
    for (const report::MonthColumn& c : t.columns) {
        people.push_back({QString::number(c.people)});
        hours.push_back({qs(c.hours.text())});
    }
    row(QStringLiteral("人数"), people, none, QString(), QString());
    row(QStringLiteral("時間"), hours, none, QString(), qs(t.total.text()));

    // the findings, a line each, after the table
    QStringList notes;
    for (const report::Finding& f : t.findings) {
        const Date d = decodeDate(f.date);
        notes << QString::number(d.month) + QStringLiteral("月") + QString::number(d.day) +
                     QStringLiteral("日 ") + qs(sjis::toUtf8(f.name)) + QStringLiteral("  ") +
                     qs(std::string(report::findingTitle(f.kind))) + QStringLiteral(": ") +
                     qs(f.text);
    }
    if (!notes.isEmpty())
        notes.prepend(QStringLiteral("注意 (") + QString::number(notes.size()) +
                      QStringLiteral(" 件)"));
    y += line;
    p.setPen(Qt::black);
    for (const QString& n : notes) {
        if (y + line > height) {
            device.newPage();
            y = 0;
        }
        p.drawText(QRectF(0, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, n);
        y += line;
    }
    p.end();
}

} // namespace kab::month
