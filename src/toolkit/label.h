#pragma once
// A label drawn on its parent's surface: transparent or opaque, aligned, word
// wrapped, of fixed size. Its caption may hold CR LF line breaks.

#include "foundation/sjis.h"

#include <QWidget>
#include <functional>

namespace kab::tk {

class Label : public QWidget {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

    void setCaption(const SjisString& caption);
    const SjisString& caption() const { return caption_; }
    // The caption as painted, line breaks as LF.
    const QString& captionText() const { return text_; }

    void setAlignment(Qt::Alignment horizontal);
    void setVerticalCenter(bool on);
    void setWordWrap(bool on);
    // Transparent labels show their parent through; opaque ones fill with color().
    void setTransparent(bool on);
    bool transparent() const { return transparent_; }
    void setColor(const QColor& c);
    QColor color() const { return color_; }
    void setTextColor(const QColor& c);
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
    SjisString caption_;
    QString text_;
    Qt::Alignment align_ = Qt::AlignLeft;
    bool vcenter_ = false;
    bool wrap_ = false;
    bool transparent_ = false;
    bool pressed_ = false;
    QColor color_;
    QColor textColor_;
};

} // namespace kab::tk
