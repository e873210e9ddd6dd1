#include "toolkit/shape.h"

#include <QPainter>

namespace kab::tk {

Shape::Shape(QWidget* parent) : QWidget(parent), pen_(Qt::black), brush_(Qt::white) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setPen(const QPen& pen, bool insideFrame) {
    pen_ = pen;
    insideFrame_ = insideFrame;
    update();
}

void Shape::setBrush(const QBrush& brush) {
    brush_ = brush;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal w = pen_.widthF();
    QRectF r = QRectF(rect());
    if (brush_.style() != Qt::NoBrush) p.fillRect(r, brush_);
    if (pen_.style() == Qt::NoPen || w <= 0) return;
    if (insideFrame_) r.adjust(w / 2, w / 2, -w / 2, -w / 2);
    p.setPen(pen_);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

} // namespace kab::tk
