#pragma once
// A panel: a filled rectangle with optional bevels, a sunken client edge and a
// caption. Panels also carry the hint text and tag that the program stores
// data in.

#include "foundation/sjis.h"
#include "toolkit/captioned.h"

namespace kab::tk {

class Panel : public Captioned {
    Q_OBJECT
public:
    enum class Bevel { None, Lowered, Raised };

    explicit Panel(QWidget* parent = nullptr);

    void setBevels(Bevel outer, Bevel inner, int width = 1);
    void setBorderWidth(int w) { restyle(borderWidth_, w); }

    // A single border: the 2-pixel sunken client edge. Children then belong
    // in client(), whose origin lies inside the edge and which clips them.
    void setSingleBorder(bool on);
    bool singleBorder() const { return client_ != this; }
    QWidget* client() const { return client_; }
    // Area given to aligned children, in client() coordinates.
    QRect alignRect() const;
    // Lays out aligned children for the present size.
    void realign();

    void setColor(const QColor& c);
    QColor color() const { return color_; }

    void setCaptionAlignment(Qt::Alignment a) { restyle(captionAlign_, a); }

    const SjisString& hint() const { return hint_; }
    void setHint(const SjisString& hint) { hint_ = hint; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    int edge() const { return singleBorder() ? 2 : 0; }

    Bevel outer_ = Bevel::Raised;
    Bevel inner_ = Bevel::None;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    QWidget* client_ = this;
    QColor color_;
    Qt::Alignment captionAlign_ = Qt::AlignCenter;
    SjisString hint_;
    int tag_ = 0;
};

// Draws a 3-D frame of the given width and shrinks r by it.
void frame3D(class QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight,
             int width);

} // namespace kab::tk
