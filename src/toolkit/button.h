#pragma once
// A flat button: no frame until the pointer is over it, never takes the focus.

#include "toolkit/captioned.h"

#include <functional>

namespace kab::tk {

class SpeedButton : public Captioned {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent = nullptr);

    void setFlat(bool on) { restyle(flat_, on); }
    bool flat() const { return flat_; }

    // Runs the click handler, as a click with the mouse does.
    void click();
    std::function<void(SpeedButton* sender)> onClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    bool flat_ = true;
    bool down_ = false;
    bool hover_ = false;
};

} // namespace kab::tk
