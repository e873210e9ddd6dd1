// The second yardstick for the board's start-up: a bare window of the
// board's size showing one label in each face and size the board draws
// with, Japanese and Latin text on each, and no more. What it costs over the
// empty window is the price of showing Japanese text at all (the fonts, the
// shaping, the glyphs); what the board costs over it is the board's own.

#include "startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

namespace {

struct Face {
    const char* family;
    int pixels;
    bool bold;
};

// The board's faces and sizes (toolkit/look.cpp and the layout).
const Face kFaces[] = {
    {"IPAPGothic", 12, false},  {"IPAPGothic", 15, false}, {"IPAGothic", 15, false},
    {"IPAGothic", 15, true},    {"IPAGothic", 11, false},  {"DejaVu Sans", 15, false},
    {"DejaVu Sans", 16, false}, {"DejaVu Sans", 16, true},
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Text"));
    window.resize(830, 480);
    int top = 10;
    for (const Face& f : kFaces) {
        auto* label =
            new QLabel(QStringLiteral("職員 保存 山田 月 2026/12 9:00 13:00 4.25"), &window);
        QFont font(QString::fromLatin1(f.family));
        font.setPixelSize(f.pixels);
        font.setBold(f.bold);
        label->setFont(font);
        label->move(10, top);
        top += 30;
    }
    kab::bench::installStartupProbe(&window);
    window.show();
    return app.exec();
}
