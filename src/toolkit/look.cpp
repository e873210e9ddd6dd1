#include "toolkit/look.h"

namespace kab::tk {

QFont makeFont(Face face, int pixelHeight, bool bold) {
    QFont f;
    switch (face) {
    case Face::PGothic:
        f.setFamilies({QStringLiteral("IPAPGothic")});
        break;
    case Face::Gothic:
        f.setFamilies({QStringLiteral("IPAGothic")});
        f.setFixedPitch(true);
        break;
    case Face::Sans:
        f.setFamilies({QStringLiteral("DejaVu Sans")});
        break;
    case Face::SansBold:
        f.setFamilies({QStringLiteral("DejaVu Sans")});
        bold = true;
        break;
    }
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

namespace {

// The colours of Qt's default palette, as it stands without a desktop
// theme (Qt 6's Fusion colours).
QPalette makeLightPalette() {
    const QColor window(239, 239, 239);
    const QColor light = window.lighter(150);
    const QColor mid = window.darker(130);
    const QColor dark = window.darker(150);
    const QColor shadow = dark.darker(135);
    const QColor disabledText(190, 190, 190);
    QColor placeholder(Qt::black);
    placeholder.setAlpha(128);

    QPalette p(Qt::black, window, light, dark, mid, Qt::black, Qt::white);
    p.setBrush(QPalette::Midlight, mid.lighter(110));
    p.setBrush(QPalette::Button, window);
    p.setBrush(QPalette::Shadow, shadow);
    p.setBrush(QPalette::HighlightedText, Qt::white);
    p.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
    p.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
    p.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText);
    p.setBrush(QPalette::Disabled, QPalette::Base, window);
    p.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
    p.setBrush(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
    p.setBrush(QPalette::Active, QPalette::Highlight, QColor(48, 140, 198));
    p.setBrush(QPalette::Inactive, QPalette::Highlight, QColor(48, 140, 198));
    p.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    p.setBrush(QPalette::PlaceholderText, placeholder);
    // every role its own, none taken from the desktop's palette
    p.setResolveMask(~QPalette::ResolveMask(0));
    return p;
}

} // namespace

const QPalette& lightPalette() {
    static const QPalette palette = makeLightPalette();
    return palette;
}

QColor btnFace() {
    return lightPalette().color(QPalette::Button);
}
QColor btnShadow() {
    return lightPalette().color(QPalette::Dark);
}
QColor btnHighlight() {
    return lightPalette().color(QPalette::Light);
}
QColor windowText() {
    return lightPalette().color(QPalette::WindowText);
}

} // namespace kab::tk
