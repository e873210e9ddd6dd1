#pragma once
// Text drawn into a rectangle as QPainter::drawText(rect, flags, text) draws
// it, pixel for pixel, with the text's layout kept between paints. The board
// repaints the same few hundred captions, times and hour numbers again and
// again; shaping them anew each time was most of a repaint's cost.

#include <QPainter>
#include <QRect>
#include <QString>

namespace kab::tk {

// Alignment flags, Qt::TextSingleLine, Qt::TextWordWrap and
// Qt::TextDontClip take the kept layout; any other flag, a decorated font, a
// right-to-left painter or a transformed one is drawn by Qt as it is.
void drawText(QPainter& painter, const QRect& r, int flags, const QString& text);

} // namespace kab::tk
