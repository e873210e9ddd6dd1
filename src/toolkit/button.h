#pragma once
// A flat button: no frame until the pointer is over it, never takes the focus.

#include "foundation/sjis.h"

#include <QWidget>
#include <functional>

namespace kab::tk {

class SpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent = nullptr);

    void setCaption(const SjisString& caption);
    const SjisString& caption() const { return caption_; }
    const QString& captionText() const { return text_; }
    void setFlat(bool on);
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
    SjisString caption_;
    QString text_;
    bool flat_ = true;
    bool down_ = false;
    bool hover_ = false;
};

} // namespace kab::tk
