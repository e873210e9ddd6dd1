#include "toolkit/button.h"

#include "toolkit/accessible.h"
#include "toolkit/application.h"
#include "toolkit/look.h"
#include "toolkit/panel.h"
#include "toolkit/text.h"
#include "toolkit/textdraw.h"

#include <QMouseEvent>
#include <QPainter>

namespace kab::tk {

SpeedButton::SpeedButton(QWidget* parent) : Captioned(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void SpeedButton::click() {
    if (onClick) guarded([&] { onClick(this); });
}

void SpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    if (down_) {
        frame3D(p, r, btnShadow(), btnHighlight(), 1);
    } else if (!flat_ || hover_) {
        frame3D(p, r, btnHighlight(), btnShadow(), 1);
    }
    p.setFont(font());
    p.setPen(isEnabled() ? windowText() : btnShadow());
    QRect textRect = rect();
    if (down_) textRect.translate(1, 1);
    drawText(p, textRect, Qt::AlignCenter | Qt::TextSingleLine, captionText());
}

void SpeedButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    down_ = true;
    update();
}

void SpeedButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !down_) return;
    down_ = false;
    update();
    if (rect().contains(e->position().toPoint())) click();
}

void SpeedButton::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void SpeedButton::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

} // namespace kab::tk
