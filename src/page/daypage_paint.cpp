#include "page/daypage_paint.h"

#include "board/geometry.h"
#include "foundation/numbers.h"
#include "toolkit/text.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace kab::page {

namespace {

using report::DayPage;

// The page is laid out in the board's own pixels: the grid's columns (26, or
// more for a late night shift) and a margin on either side make its width.
constexpr double kBoardH = board::rowCount * board::rowHeight;
constexpr double kMargin = 10;
// the lists below keep the width of the board's 26 columns
constexpr double kListW = board::colCount * board::hourWidth;
constexpr double kTitleH = 38;
constexpr double kListGap = 16;

const QColor kHeaderFill(224, 224, 220);
const QColor kBoardFill(248, 248, 248);
const QColor kRowLine(170, 180, 200);
const QColor kShadow(160, 160, 160);
const QColor kHighlight(255, 255, 255);

QString qt(std::string_view sjisText) {
    return tk::toQt(sjisText);
}

QString qtUtf8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The board's faces: DejaVu Sans on the grid and the blocks, the Gothic face
// for the Japanese of the title and the lists.
QFont face(const QString& family, int pixels, bool bold) {
    QFont f;
    f.setFamilies({family});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}
QFont sans(int pixels, bool bold = false) {
    return face(QStringLiteral("DejaVu Sans"), pixels, bold);
}
QFont gothic(int pixels, bool bold = false) {
    return face(QStringLiteral("IPAPGothic"), pixels, bold);
}

// Hour lines: black every three hours from 6:00 to 21:00, mid grey from
// 24:00 on, light grey in between, as on the board.
QColor columnLineColour(int col) {
    if ((col + 2) % 3 != 0) return QColor(224, 224, 224);
    if (col >= 17) return QColor(184, 184, 184);
    return Qt::black;
}

// The durations are written in a dark ink that a greyscale printer keeps on
// every block colour.
const QColor kDurationInk(20, 20, 20);

QString hourText(int col) {
    // the 25th hour column, 6:00 of the next day, is named on paper too
    return QString::number((col + 5) % 24);
}

void paintGrid(QPainter& p, int columns) {
    const double kBoardW = columns * board::hourWidth;
    const int w = board::hourWidth, h = board::rowHeight;
    p.setPen(Qt::black);
    p.setFont(sans(16));
    for (int r = 0; r < board::rowCount; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QRectF cell(c * w, r * h, w, h);
            const bool header = c == 0 || r == 0;
            p.fillRect(cell, header ? kHeaderFill : kBoardFill);
            if (!header || (c == 0 && r == 0)) continue;
            // as the board: 3 px in, 14 px down; a one-figure text after a blank
            QString text = c == 0 ? QString::number(r) + QLatin1Char(' ') : hourText(c);
            if (text.size() == 1) text.prepend(QLatin1Char(' '));
            p.save();
            p.setClipRect(cell);
            p.drawText(cell.translated(3, 14),
                       (c == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop |
                           Qt::TextSingleLine,
                       text);
            p.restore();
        }
    }
    // the row lines, the column lines over their corners, and the last row
    // line over the column lines' ends
    for (int r = 0; r < board::rowCount - 1; ++r)
        p.fillRect(QRectF(0, r * h + h - 1, kBoardW, 1), kRowLine);
    for (int c = 0; c < columns; ++c)
        p.fillRect(QRectF(c * w, 0, 1, kBoardH - 1), columnLineColour(c));
    p.fillRect(QRectF(0, kBoardH - 1, kBoardW, 1), kRowLine);
}

// One bevel of a block: top and left in one colour, bottom and right in the
// other; the rectangle shrinks by it.
void bevel(QPainter& p, QRectF& r, const QColor& topLeft, const QColor& bottomRight) {
    p.fillRect(QRectF(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRectF(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), bottomRight);
    p.fillRect(QRectF(r.right() - 1, r.top(), 1, r.height()), bottomRight);
    r.adjust(1, 1, -1, -1);
}

QString lines(const SjisString& text) {
    QString q = qt(text);
    q.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return q;
}

// A block as the board draws it: the panel's two bevels, its fill and its
// caption, then the duration label and the time label on top.
void paintBlock(QPainter& p, const report::PageBlock& b) {
    if (b.width <= 0) return;
    QRectF r(b.left, b.top, b.width, board::blockHeight);
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    bevel(p, r, kShadow, kHighlight);
    bevel(p, r, kHighlight, kShadow);
    p.fillRect(r, QColor(b.colour.r, b.colour.g, b.colour.b));
    p.setPen(Qt::black);
    p.setFont(sans(16));
    const QString name = qt(b.name);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    const QString duration = lines(b.duration);
    const auto place =
        durationPlace(b, QFontMetricsF(sans(16), p.device()).horizontalAdvance(name),
                      QFontMetricsF(sans(16, true), p.device()).horizontalAdvance(duration));
    if (place) {
        p.setPen(kDurationInk);
        p.setFont(sans(16, true));
        p.drawText(*place, Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap, duration);
    }
    p.setPen(Qt::black);
    p.setFont(sans(15));
    p.drawText(QRectF(b.left + 2, b.top + 2, b.width - 4, board::blockHeight - 4),
               Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap, lines(b.times));
    p.restore();
}

// A list below the board: a caption, a header and rows, flowing into as
// many columns as the height left needs.
struct Table {
    QString caption;
    QStringList header;
    std::vector<QStringList> rows;
    std::vector<bool> rightAligned;
    int nameColumn = -1; // elided where a name is very long
};

struct Flow {
    double lineH = 0, gap = 0;
    std::vector<double> colW; // per table column
    double width = 0;         // of one column of rows
    int perColumn = 0;        // rows in one column
    int columns = 0;
    double total() const { return columns * width + (columns - 1) * gap; }
};

Flow flowOf(const Table& t, const QFont& font, double height) {
    const QFontMetricsF fm(font);
    Flow f;
    f.lineH = std::ceil(fm.height() * 1.25);
    f.gap = fm.height() * 1.5;
    f.colW.assign(t.header.size(), 0);
    const double nameMax = fm.height() * 12;
    for (int c = 0; c < t.header.size(); ++c)
        f.colW[c] = fm.horizontalAdvance(t.header[c]);
    for (const auto& row : t.rows)
        for (int c = 0; c < row.size(); ++c)
            f.colW[c] = std::max(f.colW[c], std::min(fm.horizontalAdvance(row[c]),
                                                     c == t.nameColumn ? nameMax : 1e9));
    const double cellGap = fm.height() * 0.8;
    for (double w : f.colW)
        f.width += w;
    f.width += cellGap * (f.colW.size() - 1);
    f.perColumn = std::max(1, static_cast<int>((height - 2 * f.lineH - 4) / f.lineH));
    const int rows = static_cast<int>(t.rows.size());
    f.columns = std::max(1, (rows + f.perColumn - 1) / f.perColumn);
    // the rows shared out evenly over the columns they need
    f.perColumn = std::max(1, (rows + f.columns - 1) / f.columns);
    return f;
}

void paintTable(QPainter& p, const Table& t, const Flow& f, QPointF at, const QFont& font) {
    const QFontMetricsF fm(font);
    QFont bold = font;
    bold.setBold(true);
    p.setPen(Qt::black);
    p.setFont(bold);
    p.drawText(QRectF(at.x(), at.y(), f.total() + kListW, f.lineH),
               Qt::AlignLeft | Qt::AlignVCenter, t.caption);
    const double cellGap = fm.height() * 0.8;
    for (int col = 0; col < f.columns; ++col) {
        const double x0 = at.x() + col * (f.width + f.gap);
        double y = at.y() + f.lineH;
        auto drawRow = [&](const QStringList& cells) {
            double x = x0;
            for (int c = 0; c < cells.size(); ++c) {
                QString text = cells[c];
                if (c == t.nameColumn) text = fm.elidedText(text, Qt::ElideRight, f.colW[c]);
                p.drawText(QRectF(x, y, f.colW[c], f.lineH),
                           (t.rightAligned[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                           text);
                x += f.colW[c] + cellGap;
            }
            y += f.lineH;
        };
        p.setFont(bold);
        drawRow(t.header);
        p.fillRect(QRectF(x0, y, f.width, 0.5), Qt::black);
        y += 2;
        p.setFont(font);
        const int first = col * f.perColumn;
        const int last = std::min<int>(first + f.perColumn, static_cast<int>(t.rows.size()));
        for (int i = first; i < last; ++i)
            drawRow(t.rows[static_cast<std::size_t>(i)]);
    }
}

QString hoursText(const std::optional<report::Hours>& h) {
    return h ? QString::fromStdString(h->text()) : QStringLiteral("?");
}

Table entriesTable(const DayPage& page) {
    Table t;
    t.caption = qtUtf8("割り当て (") + QString::number(page.entries.size()) + qtUtf8(" 件)");
    t.header = {qtUtf8("行"), qtUtf8("名前"), qtUtf8("開始"), qtUtf8("終了"), qtUtf8("時間")};
    t.rightAligned = {true, false, true, true, true};
    t.nameColumn = 1;
    for (const auto& e : page.entries)
        t.rows.push_back(
            {QString::number(e.row), qt(e.name), qt(e.start), qt(e.end), hoursText(e.hours)});
    return t;
}

Table totalsTable(const DayPage& page) {
    Table t;
    t.caption = qtUtf8("職員別の時間");
    t.header = {qtUtf8("名前"), qtUtf8("件数"), qtUtf8("時間")};
    t.rightAligned = {false, true, true};
    t.nameColumn = 0;
    for (const auto& total : page.totals)
        t.rows.push_back({total.name.empty() ? qtUtf8("(名前なし)") : qt(total.name),
                          QString::number(total.blocks),
                          QString::fromStdString(total.hours.text())});
    t.rows.push_back({qtUtf8("合計"), QString::number(page.entries.size()),
                      QString::fromStdString(page.total.text())});
    return t;
}

// The lists in the largest type that lets both fit beside each other in the
// height and width left under the board.
void paintLists(QPainter& p, const DayPage& page, QPointF at, double height) {
    const Table entries = entriesTable(page);
    const Table totals = totalsTable(page);
    int pixels = 15;
    Flow fe, ft;
    for (; pixels >= 5; --pixels) {
        fe = flowOf(entries, gothic(pixels), height);
        ft = flowOf(totals, gothic(pixels), height);
        if (fe.total() + fe.gap * 2 + ft.total() <= kListW) break;
    }
    pixels = std::max(pixels, 5);
    paintTable(p, entries, fe, at, gothic(pixels));
    paintTable(p, totals, ft, at + QPointF(fe.total() + fe.gap * 2, 0), gothic(pixels));
}

} // namespace

int pageColumns(const DayPage& page) {
    int right = 0;
    for (const auto& b : page.blocks)
        if (b.width > 0) right = std::max(right, b.left + b.width);
    return std::max(board::colCount, (right + board::hourWidth - 1) / board::hourWidth);
}

std::optional<QRectF> durationPlace(const report::PageBlock& b, double nameWidth,
                                    double durationWidth) {
    // the board's place: 40 px ending 45 px before the block's right edge
    QRectF place(b.left + b.width - 85, b.top + 10, 40, 20);
    const double nameEnd = b.left + 2 + nameWidth + 4;
    if (place.right() - durationWidth < nameEnd) {
        // moved right, up to the time label's 40 px at the block's end
        place.moveLeft(nameEnd + durationWidth - place.width());
        if (place.right() > b.left + b.width - 40) return std::nullopt;
    }
    return place;
}

void paintDayPage(QPainter& p, const QRectF& target, const DayPage& page) {
    p.save();
    const int columns = pageColumns(page);
    const double kBoardW = columns * board::hourWidth;
    const double scale = target.width() / (kBoardW + 2 * kMargin);
    p.translate(target.topLeft());
    p.scale(scale, scale);
    p.translate(kMargin, 0);
    const double height = target.height() / scale;

    p.setPen(Qt::black);
    p.setFont(gothic(24, true));
    p.drawText(QRectF(0, 0, kBoardW, kTitleH), Qt::AlignLeft | Qt::AlignVCenter,
               qt(report::pageTitle(page.date)));

    p.save();
    p.translate(0, kTitleH);
    paintGrid(p, columns);
    p.setClipRect(QRectF(0, 0, kBoardW, kBoardH));
    for (const auto& b : page.blocks)
        paintBlock(p, b);
    p.restore();

    const double listTop = kTitleH + kBoardH + kListGap;
    paintLists(p, page, QPointF(0, listTop), height - listTop);
    p.restore();
}

QByteArray dayPagePdf(const DayPage& page) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(qt(report::pageTitle(page.date)));
        writer.setCreator(QStringLiteral("Kabrelo24"));
        QPainter painter(&writer);
        paintDayPage(painter, QRectF(0, 0, writer.width(), writer.height()), page);
    }
    return bytes;
}

QImage dayPageImage(const DayPage& page, int dpi) {
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QImage image(layout.fullRectPixels(dpi).size(), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintDayPage(painter, layout.paintRectPixels(dpi), page);
    return image;
}

} // namespace kab::page
