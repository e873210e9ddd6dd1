#pragma once
// Draws a day's page: the date, the board with its hour scale from 6:00 to
// 7:00 of the next day and its blocks as the board draws them, then the
// assignments and the hours per person. Ctrl+P and the report command both
// draw through here, on a printer, a PDF writer or an image.

#include "report/daypage.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

class QPainter;

namespace kab::page {

// Draws the page into target, a rectangle of the painter's device, scaled to
// its width; the lists below the board take the height that is left.
void paintDayPage(QPainter& painter, const QRectF& target, const report::DayPage& page);

// One landscape A4 page with 10 mm margins, as a PDF file's bytes.
QByteArray dayPagePdf(const report::DayPage& page);
// The same page as an image of dpi dots per inch, white under the page.
QImage dayPageImage(const report::DayPage& page, int dpi = 150);

} // namespace kab::page
