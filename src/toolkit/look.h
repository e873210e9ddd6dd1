#pragma once
// Fonts and colours of the window's controls.

#include <QColor>
#include <QFont>
#include <QPalette>

namespace kab::tk {

// The faces the layout names, by kind; each maps to an installed face.
enum class Face {
    PGothic,  // proportional Gothic: IPAPGothic
    Gothic,   // fixed-pitch Gothic: IPAGothic
    Sans,     // plain sans-serif: DejaVu Sans
    SansBold, // its bold face
};

// pixelHeight: character height in pixels, internal leading not counted.
QFont makeFont(Face face, int pixelHeight, bool bold = false);

// The standard light colours the board is drawn in: Qt's own default
// palette, whatever the desktop's theme sets. The board paints fixed colours
// (the blocks', the grid's) beneath text in the desktop's colours; a dark
// theme's light text would vanish on them.
const QPalette& lightPalette();

// Desktop colours, from the light palette.
QColor btnFace();
QColor btnShadow();
QColor btnHighlight();
QColor windowText();

// Fixed named colours.
inline QColor clGray() {
    return QColor(128, 128, 128);
}
inline QColor clSilver() {
    return QColor(192, 192, 192);
}
inline QColor clWhite() {
    return QColor(255, 255, 255);
}

// A colour stored as one number: red + 256 * green + 65536 * blue.
inline QColor fromColorRef(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace kab::tk
