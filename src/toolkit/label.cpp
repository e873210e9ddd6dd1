#include "toolkit/label.h"

#include "toolkit/accessible.h"
#include "toolkit/application.h"
#include "toolkit/look.h"
#include "toolkit/text.h"
#include "toolkit/textdraw.h"

#include <QMouseEvent>
#include <QPainter>

namespace kab::tk {

Label::Label(QWidget* parent) : Captioned(parent), color_(btnFace()), textColor_(windowText()) {
    setMultiLine(true);
}

void Label::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!transparent_) p.fillRect(rect(), color_);
    if (captionText().isEmpty()) return;
    p.setFont(font());
    p.setPen(textColor_);
    int flags = int(align_) | (vcenter_ ? Qt::AlignVCenter : Qt::AlignTop);
    if (wrap_) flags |= Qt::TextWordWrap;
    drawText(p, rect(), flags, captionText());
}

void Label::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    if (onMouseDown) {
        guarded([&] { onMouseDown(this, e->button(), e->modifiers(), e->position().toPoint()); });
    }
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
    bool click =
        pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click && onClick) guarded([&] { onClick(this); });
}

} // namespace kab::tk
