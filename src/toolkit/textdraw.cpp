#include "toolkit/textdraw.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLayout>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace kab::tk {

namespace {

constexpr int kKeptFlags = Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask | Qt::TextSingleLine |
                           Qt::TextWordWrap | Qt::TextDontClip;

// What decides a layout: the text as laid out, the font on its device, and
// the width lines break at.
struct Key {
    QString text;
    QFont font;
    int dpi;
    qreal lineWidth;
    Qt::LayoutDirection direction;
    bool operator==(const Key&) const = default;
};

struct KeyHash {
    size_t operator()(const Key& k) const noexcept {
        return qHashMulti(0, k.text, k.font, k.dpi, k.lineWidth, int(k.direction));
    }
};


using Store = std::unordered_map<Key, std::unique_ptr<QTextLayout>, KeyHash>;

// Bounded: the board shows a few hundred texts; a day of other names or a
// user typing starts the store afresh instead of letting it grow.
constexpr std::size_t kMaxKept = 2048;

Store* kept = nullptr;

// The layouts hold the application's fonts: they go when it ends, before
// its fonts do.
void dropKept() {
    delete kept;
    kept = nullptr;
}

Store& store() {
    if (!kept) {
        kept = new Store;
        qAddPostRoutine(dropKept);
    }
    return *kept;
}

// Line breaks and blanks as Qt's drawText reads them: a CR and a tab are
// blanks, an LF breaks the line unless the text is a single line.
QString laidOutText(const QString& text, bool singleLine) {
    // most texts have none of them and are shared, not copied
    if (!text.contains(u'\r') && !text.contains(u'\t') && !text.contains(u'\n')) return text;
    QString s = text;
    for (QChar& c : s) {
        if (c == u'\r' || c == u'\t' || (singleLine && c == u'\n'))
            c = u' ';
        else if (c == u'\n')
            c = QChar::LineSeparator;
    }
    return s;
}

const QTextLayout& layoutOf(Key key) {
    Store& layouts = store();
    if (auto it = layouts.find(key); it != layouts.end()) return *it->second;
    if (layouts.size() >= kMaxKept) layouts.clear();
    auto layout = std::make_unique<QTextLayout>(key.text, key.font);
    QTextOption option = layout->textOption();
    option.setTextDirection(key.direction);
    option.setAlignment(Qt::AlignLeft); // aligned line by line when drawn
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const qreal leading = QFontMetricsF(key.font).leading();
    // Every line is laid out; a short rectangle draws only the first ones.
    qreal height = -leading;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(key.lineWidth);
        height = std::ceil(height + leading); // lines on whole pixels
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
    }
    layout->endLayout();
    return *layouts.emplace(std::move(key), std::move(layout)).first->second;
}

// Text that may run right to left: Qt aligns its lines by rules of its own.
bool mayRunRightToLeft(const QString& text) {
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            break;
        }
    }
    return false;
}

bool keptLayoutDraws(const QPainter& painter, int flags, const QString& text) {
    const QFont& f = painter.font();
    return (flags & ~kKeptFlags) == 0 && painter.layoutDirection() != Qt::RightToLeft &&
           painter.transform().type() <= QTransform::TxTranslate && !f.underline() &&
           !f.overline() && !f.strikeOut() && painter.device() != nullptr &&
           !text.contains(QChar(0x9c)) && !mayRunRightToLeft(text);
}

} // namespace

void drawText(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (!keptLayoutDraws(painter, flags, text)) {
        painter.drawText(rect, flags, text);
        return;
    }
    if (text.isEmpty()) return; // Qt draws nothing either
    const QRectF r(rect);
    const bool wrap = flags & Qt::TextWordWrap;
    const bool dontClip = flags & Qt::TextDontClip;
    const QTextLayout& layout =
        layoutOf({laidOutText(text, flags & Qt::TextSingleLine), painter.font(),
                  painter.device()->logicalDpiY(), wrap ? qMax<qreal>(0, r.width()) : 0x01000000,
                  painter.layoutDirection()});

    // The lines Qt would draw: up to the first that reaches the bottom.
    int lines = 0;
    qreal height = 0;
    qreal width = 0;
    while (lines < layout.lineCount()) {
        const QTextLine line = layout.lineAt(lines++);
        height = line.y() + line.ascent() + line.descent();
        width = qMax(width, line.naturalTextWidth());
        if (!dontClip && height >= r.height()) break;
    }

    qreal yoff = 0;
    qreal xoff = 0;
    if (flags & Qt::AlignBottom) {
        yoff = r.height() - height;
    } else if (flags & Qt::AlignVCenter) {
        yoff = (r.height() - height) / 2;
    }
    if (flags & Qt::AlignRight)
        xoff = r.width() - width;
    else if (flags & Qt::AlignHCenter)
        xoff = (r.width() - width) / 2;
    const QRectF bounds(r.x() + xoff, r.y() + yoff, width, height);

    const bool clip = !dontClip && !r.contains(bounds);
    if (clip) {
        painter.save();
        painter.setClipRect(r, Qt::IntersectClip);
    }
    for (int i = 0; i < lines; ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal advance = line.horizontalAdvance();
        qreal x = 0;
        if (flags & Qt::AlignRight)
            x = r.width() - advance;
        else if (flags & Qt::AlignHCenter)
            x = (r.width() - advance) / 2;
        line.draw(&painter, QPointF(r.x() + x, r.y() + yoff));
    }
    if (clip) painter.restore();
}

} // namespace kab::tk
