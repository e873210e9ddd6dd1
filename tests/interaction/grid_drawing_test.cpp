#include "support/form_fixture.h"
#include <QTest>
namespace kab::test {
namespace {
void box(const QImage& im, int l, int t, int r, int b) {
    int x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x)
            if (qGray(im.pixel(x, y)) < 128) {
                x0 = std::min(x0, x); y0 = std::min(y0, y); x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
    printf("[%d..%d]x[%d..%d] -> dark %d..%d, %d..%d\n", l, r, t, b, x0, x1, y0, y1);
}
TEST_F(FormTest, ZZDump) {
    showForm();
    QImage im = form->sg1->grab().toImage();
    printf("format %d dpr %f size %dx%d\n", im.format(), im.devicePixelRatio(), im.width(), im.height());
    box(im, 41, 0, 79, 42);
    box(im, 81, 0, 119, 42);
    box(im, 401, 0, 439, 42);
    box(im, 761, 0, 799, 42);
    box(im, 0, 44, 39, 86);
    box(im, 0, 352, 39, 394);
    printf("%08x %08x\n", im.pixel(40,43), im.pixel(39,43));
}
}
}
