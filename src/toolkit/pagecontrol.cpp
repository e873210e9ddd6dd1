#include "toolkit/pagecontrol.h"

#include "toolkit/align.h"
#include "toolkit/look.h"
#include "toolkit/panel.h"

#include <QPainter>
#include <algorithm>

namespace kab::tk {

namespace {
constexpr int kTabHeight = 20;

// A page: lays out its aligned children whenever its size changes.
class Page : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent*) override { alignChildren(this, rect()); }
};
} // namespace

PageControl::PageControl(QWidget* parent) : QWidget(parent) {}

QWidget* PageControl::addPage(const QString& name) {
    auto* p = new Page(this);
    p->setObjectName(name);
    p->hide();
    pages_.push_back(p);
    tabVisible_.push_back(true);
    if (active_ < 0) setActivePage(0);
    layoutPages();
    return p;
}

void PageControl::setActivePage(int i) {
    if (i < 0 || i >= pageCount()) return;
    active_ = i;
    for (int k = 0; k < pageCount(); ++k)
        page(k)->setVisible(k == i);
}

void PageControl::setTabVisible(int i, bool visible) {
    tabVisible_.at(static_cast<std::size_t>(i)) = visible;
    layoutPages();
    update();
}

void PageControl::setButtonStyle(bool on) {
    buttons_ = on;
    layoutPages();
    update();
}

bool PageControl::anyTabVisible() const {
    return std::find(tabVisible_.begin(), tabVisible_.end(), true) != tabVisible_.end();
}

QRect PageControl::pageRect() const {
    QRect r = rect();
    if (anyTabVisible()) {
        r.adjust(4, 4, -4, -4);
        if (bottom_)
            r.setBottom(r.bottom() - kTabHeight);
        else
            r.setTop(r.top() + kTabHeight);
        return r;
    }
    return buttons_ ? r.adjusted(4, 4, -2, -2) : r.adjusted(4, 4, -4, -4);
}

void PageControl::layoutPages() {
    const QRect r = pageRect();
    for (QWidget* p : pages_) {
        p->setGeometry(r);
        alignChildren(p, p->rect());
    }
}

void PageControl::resizeEvent(QResizeEvent*) {
    layoutPages();
}

void PageControl::paintEvent(QPaintEvent*) {
    if (buttons_ && !anyTabVisible()) return;
    QPainter p(this);
    QRect frame = rect();
    if (anyTabVisible()) {
        if (bottom_)
            frame.setBottom(frame.bottom() - kTabHeight);
        else
            frame.setTop(frame.top() + kTabHeight);
    }
    if (!buttons_) {
        QRect f = frame;
        frame3D(p, f, btnHighlight(), btnShadow(), 2);
    }
    int x = 2;
    for (int i = 0; i < pageCount(); ++i) {
        if (!tabVisible(i)) continue;
        QRect tab(x, bottom_ ? frame.bottom() + 1 : 0, tabWidth_ > 0 ? tabWidth_ : 60, kTabHeight);
        frame3D(p, tab, btnHighlight(), btnShadow(), 1);
        x += tab.width() + 2;
    }
}

} // namespace kab::tk
