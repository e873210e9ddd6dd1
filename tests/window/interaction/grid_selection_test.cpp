// Range selection on the board driven by real mouse and wheel events, checked
// both in the grid's selection and in the tint the board paints.

#include "support/form_fixture.h"

#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <sstream>

namespace kab::test {
namespace {

using tk::GridRect;

QPoint centre(int col, int row) {
    return {40 * col + 20, 44 * row + 22};
}

// Below row 8, clear of the parked blocks.
const QPoint kBelowRows(700, 420);

const QRgb kTint = qRgb(245, 255, 255);

std::string str(const GridRect& r) {
    std::ostringstream s;
    s << "cols " << r.left << ".." << r.right << ", rows " << r.top << ".." << r.bottom;
    return s.str();
}

class GridSelectionTest : public FormTest {
public: // the cases' actions reach these through a reference
    // Each case starts from a window just opened: no cell notified yet.
    void freshForm() {
        form.reset();
        form = std::make_unique<TForm1>(env());
        showForm();
    }

    tk::StringGrid* grid() { return form->sg1; }

    void click(int col, int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(grid(), Qt::LeftButton, mods, centre(col, row));
    }
    void rightClick(int col, int row) {
        QTest::mouseClick(grid(), Qt::RightButton, {}, centre(col, row));
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(grid(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid(), to);
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, to);
    }

    // Board cells painted with the tint, as one rectangle; fails the test
    // when they do not form one.
    GridRect tintedCells() {
        const QImage img = grid()->grab().toImage();
        GridRect box{99, 99, -1, -1};
        int count = 0;
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 19; ++c) {
                const QPoint p = centre(c, r);
                if (img.pixel(p) != kTint) continue;
                ++count;
                box = {std::min(box.left, c), std::min(box.top, r), std::max(box.right, c),
                       std::max(box.bottom, r)};
            }
        if (count == 0) return {};
        EXPECT_EQ(count, (box.right - box.left + 1) * (box.bottom - box.top + 1))
            << "tint is not one rectangle";
        return box;
    }

    void expectSelection(const GridRect& want) {
        EXPECT_EQ(str(grid()->selection()), str(want));
        // column 0 stays in header colour even when selected
        GridRect tint = want;
        tint.left = std::max(tint.left, 1);
        EXPECT_EQ(str(tintedCells()), str(tint));
    }
};

TEST_F(GridSelectionTest, MouseSelectsWithinTheRowOfTheRelease) {
    const struct {
        const char* what;
        std::function<void(GridSelectionTest&)> act;
        GridRect want;
    } table[] = {
        {"nothing done: the current cell", [](GridSelectionTest&) {}, {1, 1, 1, 1}},
        {"left click", [](GridSelectionTest& t) { t.click(5, 3); }, {5, 3, 5, 3}},
        {"second click replaces the first",
         [](GridSelectionTest& t) {
             t.click(5, 3);
             t.click(11, 6);
         },
         {11, 6, 11, 6}},
        {"drag down and right keeps only the release row",
         [](GridSelectionTest& t) { t.drag(centre(3, 2), centre(7, 5)); },
         {3, 5, 7, 5}},
        {"drag up and left",
         [](GridSelectionTest& t) { t.drag(centre(7, 5), centre(3, 2)); },
         {3, 2, 7, 2}},
        {"shift click to the right in another row",
         [](GridSelectionTest& t) {
             t.click(4, 6);
             t.click(10, 2, Qt::ShiftModifier);
         },
         {4, 2, 10, 2}},
        {"shift click to the left",
         [](GridSelectionTest& t) {
             t.click(12, 3);
             t.click(6, 3, Qt::ShiftModifier);
         },
         {6, 3, 12, 3}},
        {"two shift clicks keep the first anchor",
         [](GridSelectionTest& t) {
             t.click(8, 4);
             t.click(12, 4, Qt::ShiftModifier);
             t.click(2, 7, Qt::ShiftModifier);
         },
         {2, 7, 8, 7}},
        {"right click",
         [](GridSelectionTest& t) {
             t.click(2, 7);
             t.rightClick(9, 4);
         },
         {9, 4, 9, 4}},
        {"shift click after a right click extends from its column",
         [](GridSelectionTest& t) {
             t.click(2, 7);
             t.rightClick(9, 4);
             t.click(14, 6, Qt::ShiftModifier);
         },
         {9, 6, 14, 6}},
        {"click below the rows",
         [](GridSelectionTest& t) {
             t.click(5, 3);
             QTest::mouseClick(t.grid(), Qt::LeftButton, {}, kBelowRows);
         },
         {5, 3, 5, 3}},
        {"press on a cell, release below the rows",
         [](GridSelectionTest& t) {
             QTest::mousePress(t.grid(), Qt::LeftButton, {}, centre(4, 2));
             QTest::mouseRelease(t.grid(), Qt::LeftButton, {}, kBelowRows);
         },
         {4, 2, 4, 2}},
        {"right click below the rows",
         [](GridSelectionTest& t) {
             t.click(5, 3);
             QTest::mouseClick(t.grid(), Qt::RightButton, {}, kBelowRows);
         },
         {5, 3, 5, 3}},
        {"release on the hour header",
         [](GridSelectionTest& t) {
             QTest::mousePress(t.grid(), Qt::LeftButton, {}, centre(8, 4));
             QTest::mouseRelease(t.grid(), Qt::LeftButton, {}, centre(8, 0));
         },
         {8, 4, 8, 4}},
        {"right click on the row header",
         [](GridSelectionTest& t) {
             t.click(5, 3);
             t.rightClick(0, 6);
         },
         {5, 3, 5, 3}},
        // no cell was ever notified: the stored anchor is still column 0
        {"press on the hour header, release on a cell",
         [](GridSelectionTest& t) {
             QTest::mousePress(t.grid(), Qt::LeftButton, {}, centre(3, 0));
             QTest::mouseRelease(t.grid(), Qt::LeftButton, {}, centre(6, 5));
         },
         {0, 5, 6, 5}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        freshForm();
        c.act(*this);
        expectSelection(c.want);
    }
}

TEST_F(GridSelectionTest, DragTintsTheRectangleUntilTheRelease) {
    showForm();
    QTest::mousePress(grid(), Qt::LeftButton, {}, centre(3, 2));
    QTest::mouseMove(grid(), centre(7, 5));
    expectSelection({3, 2, 7, 5});
    // dragged past the last row: held at row 8
    QTest::mouseMove(grid(), QPoint(centre(7, 5).x(), 460));
    expectSelection({3, 2, 7, 8});
    QTest::mouseMove(grid(), centre(7, 5));
    QTest::mouseRelease(grid(), Qt::LeftButton, {}, centre(7, 5));
    expectSelection({3, 5, 7, 5});
}

TEST_F(GridSelectionTest, WheelMovesNeitherTintNorCurrentCell) {
    showForm();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    click(5, 4);
    ASSERT_TRUE(grid()->hasFocus());
    for (int delta : {-120, 120, -120, -120, 120}) {
        SCOPED_TRACE(delta);
        const QPoint pos = centre(5, 4);
        QWheelEvent wheel(pos, grid()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid(), &wheel);
        EXPECT_EQ(grid()->current(), (tk::GridCoord{5, 4}));
        expectSelection({5, 4, 5, 4});
    }
}

} // namespace
} // namespace kab::test
