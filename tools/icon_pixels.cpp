// Build tool: turns a PNG of the program's icon into the pixels the window
// shows, premultiplied ARGB32 words in the machine's byte order, row by row,
// so that a start reads them from the program's resources as they are.
// usage: kabrelo_icon_pixels IN.png OUT.argb

#include <QImage>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.png OUT.argb\n", argv[0]);
        return 2;
    }
    const QImage image = QImage(QString::fromLocal8Bit(argv[1]))
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    const qsizetype row = qsizetype(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char*>(image.constScanLine(y)), row);
    return out.commit() ? 0 : 1;
}
