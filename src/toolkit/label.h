#pragma once
// A label drawn on its parent's surface: transparent or opaque, aligned, word
// wrapped, of fixed size. Its caption may hold CR LF line breaks.

#include "toolkit/captioned.h"

#include <functional>

namespace kab::tk {

class Label : public Captioned {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

    void setAlignment(Qt::Alignment horizontal) { restyle(align_, horizontal); }
    void setVerticalCenter(bool on) { restyle(vcenter_, on); }
    void setWordWrap(bool on) { restyle(wrap_, on); }
    // Transparent labels show their parent through; opaque ones fill with color().
    void setTransparent(bool on) { restyle(transparent_, on); }
    void setColor(const QColor& c) { restyle(color_, c); }
    QColor color() const { return color_; }
    void setTextColor(const QColor& c) { restyle(textColor_, c); }
    QColor textColor() const { return textColor_; }

    // Pressed with any button; pos relative to the label.
    std::function<void(Label* sender, Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos)>
        onMouseDown;
    std::function<void(Label* sender)> onClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    Qt::Alignment align_ = Qt::AlignLeft;
    bool vcenter_ = false;
    bool wrap_ = false;
    bool transparent_ = false;
    bool pressed_ = false;
    QColor color_;
    QColor textColor_;
};

} // namespace kab::tk
