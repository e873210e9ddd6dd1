#include "toolkit/align.h"

#include <QWidget>
#include <unordered_map>

namespace kab::tk {

namespace {

// How a child follows its parent. Kept beside the widgets rather than as
// dynamic properties: a block's labels are laid out again at every move and
// resize, and a property is looked for by name among all of the class's own
// ones first.
struct Placement {
    Align align = Align::None;
    bool anchoredRight = false;
    int rightGap = 0;
};

// Never destroyed, so that a widget outliving it cannot reach a destroyed map.
std::unordered_map<const QWidget*, Placement>& placements() {
    static auto* map = new std::unordered_map<const QWidget*, Placement>;
    return *map;
}

Placement& placementOf(QWidget* w) {
    auto [at, added] = placements().try_emplace(w);
    if (added) QObject::connect(w, &QObject::destroyed, [w] { placements().erase(w); });
    return at->second;
}

const Placement* findPlacement(const QWidget* w) {
    const auto at = placements().find(w);
    return at == placements().end() ? nullptr : &at->second;
}

} // namespace

void anchorTopRight(QWidget* w) {
    Placement& p = placementOf(w);
    p.anchoredRight = true;
    p.rightGap = w->parentWidget()->width() - (w->x() + w->width());
}

void setAlign(QWidget* w, Align a) {
    placementOf(w).align = a;
}

void alignChildren(QWidget* parent, QRect area) {
    const QObjectList kids = parent->children(); // shared, not copied
    const auto placed = [](QObject* o) -> std::pair<QWidget*, const Placement*> {
        if (!o->isWidgetType()) return {nullptr, nullptr};
        auto* w = static_cast<QWidget*>(o);
        return {w, findPlacement(w)};
    };
    for (QObject* o : kids) {
        const auto [w, p] = placed(o);
        if (!p || p->align != Align::Bottom) continue;
        int h = w->height();
        w->setGeometry(area.left(), area.bottom() + 1 - h, area.width(), h);
        area.setBottom(area.bottom() - h);
    }
    for (QObject* o : kids) {
        const auto [w, p] = placed(o);
        if (!p) continue;
        if (p->align == Align::Client) w->setGeometry(area);
        if (p->anchoredRight) w->move(parent->width() - p->rightGap - w->width(), w->y());
    }
}

} // namespace kab::tk
