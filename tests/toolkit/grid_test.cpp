#include "toolkit/grid.h"

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

} // namespace
} // namespace kab::test
