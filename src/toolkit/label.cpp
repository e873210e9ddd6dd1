#include "toolkit/label.h"

#include "toolkit/accessible.h"
#include "toolkit/application.h"
#include "toolkit/look.h"
#include "toolkit/text.h"

#include <QMouseEvent>
#include <QPainter>

namespace kab::tk {

Label::Label(QWidget* parent) : QWidget(parent), color_(btnFace()), textColor_(windowText()) {}

void Label::setCaption(const SjisString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    text_ = toQt(caption);
    text_.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text_.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    captionChanged(this);
    update();
}

void Label::setAlignment(Qt::Alignment horizontal) {
    align_ = horizontal;
    update();
}

void Label::setVerticalCenter(bool on) {
    vcenter_ = on;
    update();
}

void Label::setWordWrap(bool on) {
    wrap_ = on;
    update();
}

void Label::setTransparent(bool on) {
    transparent_ = on;
    update();
}

void Label::setColor(const QColor& c) {
    color_ = c;
    update();
}

void Label::setTextColor(const QColor& c) {
    textColor_ = c;
    update();
}

void Label::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!transparent_) p.fillRect(rect(), color_);
    if (text_.isEmpty()) return;
    p.setFont(font());
    p.setPen(textColor_);
    int flags = int(align_) | (vcenter_ ? Qt::AlignVCenter : Qt::AlignTop);
    if (wrap_) flags |= Qt::TextWordWrap;
    p.drawText(rect(), flags, text_);
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
