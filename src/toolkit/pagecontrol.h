#pragma once
// A page control whose tabs can be hidden one by one. Only the active page is
// ever shown. With every tab hidden and the button style set, neither tabs
// nor a frame show and the page takes the control's area less the 4 pixels
// that the board pushes it past its parent at the top left and the 2 at the
// bottom right, so the page exactly fills what is visible of the control.

#include <QWidget>
#include <vector>

namespace kab::tk {

class PageControl : public QWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

    // Adds a page; pages lay out their aligned children when resized.
    QWidget* addPage(const QString& name);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    QWidget* page(int i) const { return pages_.at(static_cast<std::size_t>(i)); }

    void setActivePage(int i);
    int activePage() const { return active_; }

    void setTabVisible(int i, bool visible);
    bool tabVisible(int i) const { return tabVisible_.at(static_cast<std::size_t>(i)); }
    // Tabs drawn as buttons: no frame around the page area.
    void setButtonStyle(bool on);
    void setTabsAtBottom(bool on) {
        bottom_ = on;
        layoutPages();
    }
    void setTabWidth(int w) {
        tabWidth_ = w;
        update();
    }

    QRect pageRect() const;
    // Places the pages and their aligned children for the present size.
    void layoutPages();

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    bool anyTabVisible() const;

    std::vector<QWidget*> pages_;
    std::vector<bool> tabVisible_;
    int active_ = -1;
    bool buttons_ = false;
    bool bottom_ = false;
    int tabWidth_ = 0;
};

} // namespace kab::tk
