#include "toolkit/look.h"

#include <QApplication>
#include <QPalette>

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

QColor btnFace() {
    return QApplication::palette().color(QPalette::Button);
}
QColor btnShadow() {
    return QApplication::palette().color(QPalette::Dark);
}
QColor btnHighlight() {
    return QApplication::palette().color(QPalette::Light);
}
QColor windowText() {
    return QApplication::palette().color(QPalette::WindowText);
}

} // namespace kab::tk
