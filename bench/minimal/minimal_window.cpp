// The yardstick for the board's start-up: the least a Qt Widgets program can
// do to put a window of the board's size on the screen.

#include "startupprobe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(830, 480);
    kab::bench::installStartupProbe(&window);
    window.show();
    return app.exec();
}
