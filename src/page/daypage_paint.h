#pragma once
// Draws a day's page: the date, the board with its hour scale from 6:00 to
// 7:00 of the next day (later for a night shift that ends later) and its blocks as the board draws
// them, then the assignments and the hours per person. Ctrl+P and the report command both draw
// through here, on a printer, a PDF writer or an image.

#include "report/daypage.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <optional>

class QPainter;

namespace kab::page {

// Draws the page into target, a rectangle of the painter's device, scaled to
// its width; the lists below the board take the height that is left.
void paintDayPage(QPainter& painter, const QRectF& target, const report::DayPage& page);

// Columns of the page's board, its header included: the board's 26 (to
// 7:00 of the next day), more for a night shift that ends later, so that
// no block is cut.
int pageColumns(const report::DayPage& page);

// Where a block's duration is written, in the page's board pixels: at its
// place on the board, moved right of the name where the block is short,
// and nowhere when even then it would cover the name (the list below the
// board gives it).
std::optional<QRectF> durationPlace(const report::PageBlock& block, double nameWidth,
                                    double durationWidth);

// One landscape A4 page with 10 mm margins, as a PDF file's bytes.
QByteArray dayPagePdf(const report::DayPage& page);
// The same page as an image of dpi dots per inch, white under the page.
QImage dayPageImage(const report::DayPage& page, int dpi = 150);

} // namespace kab::page
