#include "toolkit/align.h"

#include <QVariant>
#include <QWidget>

namespace kab::tk {

namespace {
constexpr const char* kAlign = "kabAlign";
constexpr const char* kRightGap = "kabRightGap";
} // namespace

void anchorTopRight(QWidget* w) {
    w->setProperty(kRightGap, w->parentWidget()->width() - (w->x() + w->width()));
}

void setAlign(QWidget* w, Align a) {
    w->setProperty(kAlign, static_cast<int>(a));
}

namespace {
// A dynamic property is looked for among the class's own properties first;
// most children have no dynamic ones at all, and asking that is cheap.
QVariant dynamicProperty(const QWidget* w, const char* name) {
    return w->dynamicPropertyNames().isEmpty() ? QVariant() : w->property(name);
}
} // namespace

Align alignOf(const QWidget* w) {
    QVariant v = dynamicProperty(w, kAlign);
    return v.isValid() ? static_cast<Align>(v.toInt()) : Align::None;
}

void alignChildren(QWidget* parent, QRect area) {
    const auto kids = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : kids) {
        if (alignOf(w) != Align::Bottom) continue;
        int h = w->height();
        w->setGeometry(area.left(), area.bottom() + 1 - h, area.width(), h);
        area.setBottom(area.bottom() - h);
    }
    for (QWidget* w : kids) {
        if (alignOf(w) == Align::Client) w->setGeometry(area);
        const QVariant gap = dynamicProperty(w, kRightGap);
        if (gap.isValid()) w->move(parent->width() - gap.toInt() - w->width(), w->y());
    }
}

} // namespace kab::tk
