#pragma once
// A rectangle shape with a pen and a brush.

#include <QBrush>
#include <QPen>
#include <QWidget>

namespace kab::tk {

class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);

    // With insideFrame the whole stroke lies within the bounds; otherwise the
    // pen is centred on the bounds and only its inner half shows.
    void setPen(const QPen& pen, bool insideFrame);
    QPen pen() const { return pen_; }
    bool insideFrame() const { return insideFrame_; }
    // Qt::NoBrush is a hollow shape.
    void setBrush(const QBrush& brush);
    QBrush brush() const { return brush_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPen pen_;
    QBrush brush_;
    bool insideFrame_ = false;
};

} // namespace kab::tk
