#include "toolkit/panel.h"

#include "toolkit/accessible.h"
#include "toolkit/align.h"
#include "toolkit/look.h"
#include "toolkit/text.h"
#include "toolkit/textdraw.h"

#include <QPainter>

namespace kab::tk {

void frame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width) {
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
        p.fillRect(l, t, rt - l, 1, topLeft); // top, without the right corner
        p.fillRect(l, t, 1, b - t, topLeft);  // left, without the bottom corner
        p.fillRect(l, b, rt - l + 1, 1, bottomRight);
        p.fillRect(rt, t, 1, b - t + 1, bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

Panel::Panel(QWidget* parent) : Captioned(parent), color_(btnFace()) {
    // Every pixel is painted (bevels, then the fill): whatever lies beneath,
    // the parked blocks under the top one above all, need not be painted.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Panel::setBevels(Bevel outer, Bevel inner, int width) {
    outer_ = outer;
    inner_ = inner;
    bevelWidth_ = width;
    update();
}

void Panel::setSingleBorder(bool on) {
    if (on == singleBorder()) return;
    if (on) {
        client_ = new QWidget(this);
        client_->setObjectName(objectName() + QStringLiteral(".client"));
        client_->setGeometry(rect().adjusted(2, 2, -2, -2));
    } else {
        delete client_;
        client_ = this;
    }
    update();
}

QRect Panel::alignRect() const {
    QRect r = client_->rect();
    int inset = borderWidth_;
    if (outer_ != Bevel::None) inset += bevelWidth_;
    if (inner_ != Bevel::None) inset += bevelWidth_;
    return r.adjusted(inset, inset, -inset, -inset);
}

void Panel::realign() {
    if (client_ != this) client_->setGeometry(rect().adjusted(2, 2, -2, -2));
    alignChildren(client_, alignRect());
}

void Panel::setColor(const QColor& c) {
    color_ = c;
    setAttribute(Qt::WA_OpaquePaintEvent, c.alpha() == 255);
    update();
}

void Panel::resizeEvent(QResizeEvent*) {
    realign();
}

void Panel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    if (singleBorder()) {
        // sunken client edge
        frame3D(p, r, btnShadow(), btnHighlight(), 1);
        frame3D(p, r, windowText().lighter(250), btnFace(), 1);
    }
    auto bevel = [&](Bevel b) {
        if (b == Bevel::Lowered) frame3D(p, r, btnShadow(), btnHighlight(), bevelWidth_);
        if (b == Bevel::Raised) frame3D(p, r, btnHighlight(), btnShadow(), bevelWidth_);
    };
    bevel(outer_);
    if (borderWidth_ > 0) frame3D(p, r, color_, color_, borderWidth_);
    bevel(inner_);
    p.fillRect(r, color_);
    if (!captionText().isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        drawText(p, r, int(captionAlign_) | Qt::TextSingleLine, captionText());
    }
}

} // namespace kab::tk
