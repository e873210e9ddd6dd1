#include "toolkit/grid.h"

#include "toolkit/look.h"
#include "toolkit/textdraw.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace kab::test {
namespace {

// 26 columns of 40 px and 9 rows of 44 px, as the board is.
struct GridTest : ::testing::Test {
    GridTest() : grid(26, 9) {
        grid.setDefaultColWidth(40);
        grid.setDefaultRowHeight(44);
        grid.resize(826, 476);
    }
    tk::StringGrid grid;
};

TEST_F(GridTest, CellRectangles) {
    const struct {
        int width, col, row;
        tk::CellRect rect;
    } table[] = {
        {826, 0, 0, {0, 0, 40, 44}},
        {826, 1, 5, {40, 220, 80, 264}},
        {826, 19, 0, {760, 0, 800, 44}},
        {826, 20, 0, {800, 0, 826, 44}}, // first not wholly visible: clipped
        {826, 21, 0, {0, 0, 0, 0}},      // beyond it: all zero
        {800, 20, 0, {800, 0, 800, 44}}, // starts at the edge: empty but not zero
        {800, 21, 0, {0, 0, 0, 0}},
        {1040, 25, 8, {1000, 352, 1040, 396}},
        {1040, 26, 0, {1040, 0, 1040, 44}}, // past the last column: a default one
        {1039, 26, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.width << " (" << c.col << "," << c.row << ")");
        grid.resize(c.width, 476);
        EXPECT_EQ(grid.cellRect(c.col, c.row), c.rect);
    }
}

TEST_F(GridTest, HiddenColumnsTakeNoRoom) {
    grid.resize(826, 476);
    for (int c = 20; c < 26; ++c)
        grid.setColWidth(c, 0);
    // every hidden column fits, so the first one not wholly visible is the
    // one past the last
    EXPECT_EQ(grid.cellRect(20, 0), (tk::CellRect{800, 0, 800, 44}));
    EXPECT_EQ(grid.cellRect(25, 0), (tk::CellRect{800, 0, 800, 44}));
    EXPECT_EQ(grid.cellRect(26, 0), (tk::CellRect{800, 0, 826, 44}));
    EXPECT_EQ(grid.mouseToCell({810, 10}), tk::GridCoord{});
    EXPECT_EQ(grid.mouseToCell({799, 10}), (tk::GridCoord{19, 0}));
}

TEST_F(GridTest, MouseToCell) {
    const struct {
        QPoint p;
        tk::GridCoord cell;
    } table[] = {
        {{0, 0}, {0, 0}},     {{39, 43}, {0, 0}}, {{40, 44}, {1, 1}},
        {{395, 395}, {9, 8}}, {{100, 396}, {}},   {{-1, 10}, {}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.p.x() << "," << c.p.y());
        EXPECT_EQ(grid.mouseToCell(c.p), c.cell);
    }
}

// The kept layouts draw what Qt's own drawText draws, pixel for pixel, in the
// board's faces and the ways its labels, captions, buttons and header cells
// align, fit and overflow; the second draw comes from the kept layout.
TEST(TextDrawing, KeptLayoutsDrawAsQtDraws) {
    using tk::Face;
    constexpr int L = Qt::AlignLeft, R = Qt::AlignRight, H = Qt::AlignHCenter;
    constexpr int T = Qt::AlignTop, V = Qt::AlignVCenter, B = Qt::AlignBottom;
    constexpr int One = Qt::TextSingleLine, Wrap = Qt::TextWordWrap;
    const struct {
        Face face;
        int size;
        bool bold;
        QRect rect;
        int flags;
        const char16_t* text;
    } table[] = {
        {Face::PGothic, 15, false, {0, 0, 79, 45}, H | V | One, u"山田太郎"},     // a block's name
        {Face::PGothic, 15, false, {3, 2, 30, 45}, H | V | One, u"長谷川一二三"}, // clipped
        {Face::Sans, 15, false, {0, 0, 77, 19}, L | T, u"13:00-17:00"},           // time label
        {Face::Sans, 16, false, {1, 1, 37, 17}, R | T, u"4.25"},
        {Face::Sans, 16, false, {0, 0, 40, 20}, R | T | One, u"12"},            // hour header
        {Face::SansBold, 16, false, {0, 0, 41, 23}, H | V | One, u"保存"},      // button
        {Face::Gothic, 15, true, {0, 0, 60, 33}, L | V | Wrap, u"月曜日 12月"}, // wraps
        {Face::Gothic, 11, false, {0, 0, 50, 9}, L | T | Wrap, u"折り返す長い文の行"},
        {Face::Gothic, 15, false, {0, 0, 45, 24}, L | V | Wrap, u"一行目の文 二行目の文 三行目"},
        {Face::Gothic, 15, false, {2, 3, 71, 40}, H | B, u"9:00\r\n4.25"}, // two lines
        {Face::PGothic, 12, false, {0, 0, 90, 20}, R | V | One, u"a\tb\nc "},
        {Face::Sans, 15, false, {0, 0, 0, 0}, L | T, u"x"},
        {Face::Sans, 15, false, {5, 5, 40, 20}, L | T | Qt::TextDontClip, u"はみ出す文字列です"},
    };
    for (const auto& c : table) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        QImage want(100, 60, QImage::Format_RGB32), got(100, 60, QImage::Format_RGB32);
        want.fill(QColor(255, 255, 160));
        got.fill(QColor(255, 255, 160));
        {
            QPainter p(&want);
            p.setFont(tk::makeFont(c.face, c.size, c.bold));
            p.drawText(c.rect, c.flags, text);
        }
        for (int pass = 0; pass < 2; ++pass) {
            QImage drawn = got;
            QPainter p(&drawn);
            p.setFont(tk::makeFont(c.face, c.size, c.bold));
            tk::drawText(p, c.rect, c.flags, text);
            p.end();
            EXPECT_TRUE(drawn == want) << "pass " << pass;
        }
    }
}

} // namespace
} // namespace kab::test
