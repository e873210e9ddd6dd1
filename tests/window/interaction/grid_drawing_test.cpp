// Pixels of the board grid as painted, read back from a grab of the grid (so
// in grid coordinates).

#include "support/form_fixture.h"

#include "board/geometry.h"
#include "foundation/numbers.h"
#include "toolkit/look.h"
#include "window/shell/blockstate.h"

#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace kab::test {
namespace {

std::string rgb(QColor c) {
    return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
           std::to_string(c.blue());
}

const std::string kBlack = "0,0,0";
const std::string kLightLine = "224,224,224";
const std::string kMidLine = "184,184,184";
const std::string kRowLine = "170,180,200";
const std::string kHeader = "224,224,220";
const std::string kBoard = "248,248,248";
const std::string kTint = "245,255,255";
const std::string kSilver = "192,192,192";

bool dark(QRgb p) {
    return qGray(p) < 128;
}

// Bounding box of the dark (text) pixels inside [l, r] x [t, b]; null if none.
QRect darkBox(const QImage& img, int l, int t, int r, int b) {
    QRect box;
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x)
            if (dark(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

class GridDrawingTest : public FormTest {
protected:
    QImage grabGrid() { return form->sg1->grab().toImage(); }

    void showAtClientWidth(int width) {
        showForm();
        form->resize(width, TForm1::kMinClientHeight);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->width() == width; }));
    }
};

TEST_F(GridDrawingTest, LinesAndFillsAtTheMinimumSize) {
    showForm();
    ASSERT_EQ(form->sg1->size(), QSize(826, 476));
    const QImage img = grabGrid();
    ASSERT_EQ(img.size(), QSize(826, 476));
    const struct {
        int x, y;
        const std::string& colour;
        const char* what;
    } table[] = {
        // hour lines, sampled inside row 2 away from its row line
        {0, 100, kLightLine, "left edge of the row header"},
        {40, 100, kBlack, "6:00"},
        {80, 100, kLightLine, "7:00"},
        {120, 100, kLightLine, "8:00"},
        {160, 100, kBlack, "9:00"},
        {280, 100, kBlack, "12:00"},
        {400, 100, kBlack, "15:00"},
        {520, 100, kBlack, "18:00"},
        {640, 100, kBlack, "21:00"},
        {680, 100, kLightLine, "22:00"},
        {760, 100, kMidLine, "24:00"},
        // lines start at the grid's top, through the hour header
        {40, 0, kBlack, "6:00 at the top"},
        {760, 0, kMidLine, "24:00 at the top"},
        // fills
        {20, 20, kHeader, "corner"},
        {70, 5, kHeader, "hour header"},
        {5, 150, kHeader, "row header"},
        {41, 100, kBoard, "right of a line"},
        {799, 100, kBoard, "last visible column"},
        {60, 66, kTint, "current cell at start"},
        {100, 66, kBoard, "beside the current cell"},
        {60, 110, kBoard, "below the current cell"},
        // row lines: each row's bottom pixel row, up to two pixels short of
        // the cell's right edge
        {100, 43, kRowLine, "under the hour header"},
        {100, 87, kRowLine, "under row 1"},
        {100, 395, kRowLine, "under row 8"},
        {20, 395, kRowLine, "under the row header"},
        {118, 87, kRowLine, "row line's last pixel"},
        {119, 87, kBoard, "row line's end point"},
        {799, 395, kBoard, "row line's end point, last column"},
        // where lines cross, the cell below paints its hour line last
        {40, 87, kBlack, "corner in row 1"},
        {760, 351, kMidLine, "corner in row 7"},
        {0, 87, kLightLine, "corner of the row header"},
        // nothing below row 8 does
        {40, 395, kRowLine, "corner in row 8"},
        {760, 395, kRowLine, "corner in row 8, 24:00"},
        {0, 395, kRowLine, "corner of the row header in row 8"},
        // the grid's own colour outside the cells
        {40, 396, kSilver, "below row 8"},
        {700, 420, kSilver, "beside the parked blocks"},
        {700, 475, kSilver, "bottom edge"},
        {800, 100, kSilver, "right of column 19"},
        {825, 0, kSilver, "top right"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.what << " (" << c.x << "," << c.y << ")");
        EXPECT_EQ(rgb(img.pixel(c.x, c.y)), c.colour);
    }
}

// WCAG's contrast ratio of two colours, 1 to 21.
double contrast(QRgb a, QRgb b) {
    const auto luminance = [](QRgb p) {
        const auto channel = [](int c) {
            const double s = c / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(p)) + 0.7152 * channel(qGreen(p)) + 0.0722 * channel(qBlue(p));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast of any pixel of an area with the area's commonest
// colour: what its text gives against what lies beneath.
double textContrast(const QImage& img, QRect area) {
    std::map<QRgb, int> count;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++count[img.pixel(x, y)];
    const QRgb ground = std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                        })->first;
    double best = 1;
    for (const auto& [colour, n] : count)
        best = std::max(best, contrast(colour, ground));
    return best;
}

TEST_F(GridDrawingTest, ADarkDesktopChangesNoPixelOfTheBoard) {
    // the board's colours are Qt's default palette, as the platform gives
    // it without a desktop theme
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            SCOPED_TRACE(testing::Message() << group << " " << role);
            const auto r = QPalette::ColorRole(role);
            EXPECT_EQ(tk::lightPalette().color(group, r), QApplication::palette().color(group, r));
        }
    // a named block on row 3, the editor filled, and a grab of the window
    const auto shoot = [this] {
        showForm();
        tk::Panel* p = form->Panel(50);
        form->setCurrentBlock(p);
        blockstate::setPlaced(*p);
        blockstate::setBounds(*p, p->x(), board::topOfRow(3), p->width());
        p->setCaption(sjis::fromUtf8("山田"));
        form->dtp1->setValue(9 / 24.0);
        form->Edit1->setText("4.0");
        form->dtp1Change(nullptr);
        return form->grab().toImage();
    };
    // Two windows with the same block colours (the generator starts again):
    // one under Qt's default palette, one under a dark desktop's, light text
    // on dark grey as a dark GTK theme gives it.
    const auto reopen = [this] {
        randomReset();
        form.reset();
        form = std::make_unique<TForm1>(env());
    };
    reopen();
    const QImage light = shoot();
    const QPalette saved = QApplication::palette();
    const QPalette darkDesktop(QColor(240, 240, 240), QColor(50, 50, 50), QColor(80, 80, 80),
                               QColor(20, 20, 20), QColor(40, 40, 40), QColor(240, 240, 240),
                               QColor(35, 35, 35));
    QApplication::setPalette(darkDesktop);
    reopen();
    const QImage dark = shoot();
    QApplication::setPalette(saved);
    EXPECT_TRUE(light == dark) << "the board changed under a dark desktop palette";

    // Text in the window's text colour, on what the board paints beneath
    // it: the block's name and times, the buttons, the headers, the boxes.
    const auto inWindow = [this](QWidget* w, QRect r) {
        return QRect(w->mapTo(form.get(), r.topLeft()), r.size());
    };
    const struct {
        const char* what;
        QRect area;
    } table[] = {
        {"block name", inWindow(form->Panel(50), {2, 2, 60, 34})},
        {"block times", inWindow(form->Label(50), {110, 0, 50, 34})},
        {"保存", inWindow(form->spb3, form->spb3->rect())},
        {"職員", inWindow(form->sbtn1, form->sbtn1->rect())},
        {"<", inWindow(form->spb1, form->spb1->rect())},
        {"hour header", inWindow(form->sg1, {41, 1, 38, 42})},
        {"row header", inWindow(form->sg1, {1, 45, 38, 42})},
        {"duration box", inWindow(form->Edit1, form->Edit1->rect().adjusted(3, 3, -3, -3))},
        {"start picker", inWindow(form->dtp1, {3, 3, 50, 21})},
        {"weekday", inWindow(form->LabelA, form->LabelA->rect())},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        EXPECT_GE(textContrast(dark, c.area), 4.5);
    }
}

TEST_F(GridDrawingTest, HourTextsStartThreePixelsIntoTheirCells) {
    showForm();
    const QImage img = grabGrid();
    // the hour header from 6:00: blanks before one-digit hours
    const struct {
        int col;
        bool oneDigit;
    } table[] = {{1, true}, {2, true}, {4, true}, {5, false}, {10, false}, {14, false}, {19, true}};
    int oneDigitLeft = -1, twoDigitLeft = -1;
    for (const auto& c : table) {
        SCOPED_TRACE(c.col);
        const int left = 40 * c.col;
        // inside the cell, right of its hour line, above its row line
        const QRect text = darkBox(img, left + 1, 0, left + 39, 42);
        ASSERT_FALSE(text.isNull());
        // 3 px in, 14 px down, and glyphs have some side bearing
        EXPECT_GE(text.left(), left + 3);
        EXPECT_GE(text.top(), 14);
        EXPECT_LE(text.top(), 24);
        // each hour text is the same distance into its cell
        int& seen = c.oneDigit ? oneDigitLeft : twoDigitLeft;
        if (seen < 0) seen = text.left() - left;
        EXPECT_EQ(text.left() - left, seen);
    }
    // the blank pushes a single digit further in than a pair
    EXPECT_GT(oneDigitLeft, twoDigitLeft);
}

TEST_F(GridDrawingTest, RowNumbersEndBesideTheRowHeaderEdge) {
    showForm();
    const QImage img = grabGrid();
    for (int row = 1; row <= 8; ++row) {
        SCOPED_TRACE(row);
        const int top = 44 * row;
        const QRect text = darkBox(img, 0, top, 39, top + 42);
        ASSERT_FALSE(text.isNull());
        // right-aligned: the digit sits in the right half of the header ...
        EXPECT_GE(text.left(), 20);
        // ... but the trailing blank keeps it off the cell's right edge
        EXPECT_LE(text.right(), 37);
        EXPECT_GE(text.top(), top + 14);
        EXPECT_LE(text.top(), top + 24);
    }
    // the corner carries no text
    EXPECT_TRUE(darkBox(img, 1, 0, 39, 42).isNull());
}

TEST_F(GridDrawingTest, ColumnsFromMidnightAtTheWidestBoard) {
    showAtClientWidth(1100);
    ASSERT_EQ(form->sg1->colWidth(25), 40);
    const QImage img = grabGrid();
    const struct {
        int x, y;
        const std::string& colour;
        const char* what;
    } table[] = {
        {800, 100, kLightLine, "1:00"},           {880, 100, kMidLine, "3:00"},
        {1000, 100, kMidLine, "6:00 next day"},   {1000, 0, kMidLine, "6:00 next day, at the top"},
        {1039, 100, kBoard, "last column"},       {1040, 100, kSilver, "right of the last column"},
        {1000, 395, kRowLine, "corner in row 8"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.what << " (" << c.x << "," << c.y << ")");
        EXPECT_EQ(rgb(img.pixel(c.x, c.y)), c.colour);
    }
    // the hour before it has its text; the last header cell is plain fill
    EXPECT_FALSE(darkBox(img, 961, 0, 999, 42).isNull());
    for (int y = 0; y <= 42; ++y)
        for (int x = 1001; x <= 1039; ++x)
            ASSERT_EQ(rgb(img.pixel(x, y)), kHeader) << x << "," << y;
}

// Records the area of every paint of a widget.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(GridDrawingTest, ASelectionClickRepaintsOnlyTheCellsWhoseTintChanges) {
    showForm();
    QTest::qWait(50);
    PaintSpy spy(form->sg1);
    // from the start's current cell (1, 1) to (5, 3)
    QTest::mouseClick(form->sg1, Qt::LeftButton, {}, {5 * 40 + 20, 3 * 44 + 22});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.painted.isEmpty(); }));
    QTest::qWait(20);
    EXPECT_EQ(spy.painted, QRegion(40, 44, 40, 44) + QRegion(200, 132, 40, 44));

    // What the window shows now, read from its backing store: a cell painted
    // alone shows the row line's colour in its bottom-left corner, where the
    // cell below it paints its column line on a whole repaint.
    const QImage shown = form->screen()->grabWindow(form->winId()).toImage();
    const QPoint grid = form->sg1->mapTo(form.get(), QPoint());
    const struct {
        int x, y;
        const std::string& colour;
        const char* what;
    } table[] = {
        {200, 175, kRowLine, "corner of the clicked cell"},
        {40, 87, kRowLine, "corner of the cell that lost its tint"},
        {240, 175, kLightLine, "corner of the cell beside it, not painted again"},
        {80, 87, kLightLine, "corner beside the old current cell"},
        {220, 150, kTint, "inside the clicked cell"},
        {60, 66, kBoard, "inside the cell that lost its tint"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.what << " (" << c.x << "," << c.y << ")");
        EXPECT_EQ(rgb(shown.pixel(grid + QPoint(c.x, c.y))), c.colour);
    }
}

} // namespace
} // namespace kab::test
