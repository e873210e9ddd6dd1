#include "board/geometry.h"

#include <gtest/gtest.h>
#include <limits>

namespace kab::board {
namespace {

TEST(Geometry, PlaceBlock) {
    struct Case {
        double start, hours;
        struct {
            int left, width;
        } want;
    };
    const Case cases[] = {
        {0.375, 4.0, {160, 160}}, // 9:00 for 4 hours
        {0.25, 1.0, {40, 40}},    // 6:00
        {1.0, 1.0, {760, 40}},    // midnight of the next day
        {0.375, 2.25, {160, 90}},
        {0.375, 9.0, {160, 360}},
        {4.0 / 24, 1.0, {-40, 40}}, // 4:00, before the board starts
        {5.0 / 24, 0.0, {0, 0}},
        {23.5 / 24, 0.5, {740, 20}},
        // exact halves of a pixel go to the even neighbour
        {0.375, 1.0 / 16, {160, 2}},  // 2.5
        {0.375, 3.0 / 16, {160, 8}},  // 7.5
        {0.375, 5.0 / 16, {160, 12}}, // 12.5
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.hours);
        EXPECT_EQ(leftOfStart(c.start), c.want.left);
        EXPECT_EQ(widthOfHours(c.hours), c.want.width);
    }
}

TEST(Geometry, QuarterHourSumsHitExactPixels) {
    // Starts are built by adding quarter hours; the error that piles up must
    // not move a block by a pixel.
    double summed = 0;
    for (int k = 0; k <= 2 * 96; ++k) {
        SCOPED_TRACE(k);
        int want = k * 10 - 200;
        EXPECT_EQ(leftOfStart(summed), want);
        EXPECT_EQ(leftOfStart(k / 96.0), want);
        summed += 1.0 / 96;
    }
}

TEST(Geometry, StartFromLeft) {
    EXPECT_EQ(startFromLeft(40), 0.25);
    EXPECT_EQ(startFromLeft(0), 5.0 / 24);
    EXPECT_DOUBLE_EQ(startFromLeft(740), 23.5 / 24);
    for (int left = -40; left <= 19 * hourWidth; left += snapStep / 2) {
        SCOPED_TRACE(left);
        EXPECT_EQ(leftOfStart(startFromLeft(left)), left);
    }
}

TEST(Geometry, Rows) {
    struct Case {
        int top, row;
    };
    const Case cases[] = {{0, 0}, {43, 0}, {44, 1}, {47, 1}, {355, 8}, {399, 9}, {401, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.top);
        EXPECT_EQ(rowOfTop(c.top), c.row);
    }
    EXPECT_EQ(topOfRow(1), 47);
    EXPECT_EQ(topOfRow(8), 355);
    // a day file's row may be any integer; the top stays an int
    EXPECT_EQ(topOfRow(std::int64_t{1} << 40), std::numeric_limits<int>::max());
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(rowOfTop(topOfRow(row)), row);
    EXPECT_TRUE(onBoard(topOfRow(rowCount - 1)));
    EXPECT_TRUE(onBoard(400));
    EXPECT_FALSE(onBoard(parkingTop));
    EXPECT_EQ(hourWidth, 40);
}

TEST(Geometry, SnapDragPosition) {
    struct Case {
        int x, y;
        Snap::Kind kind;
        int wantX, wantY; // checked unless Ignored
    };
    const Case cases[] = {{40, 44, Snap::Board, 40, 47},       {59, 87, Snap::Board, 40, 47},
                          {759, 100, Snap::Board, 740, 91},    {39, 100, Snap::Ignored, 0, 0},
                          {20, 100, Snap::Ignored, 0, 0},      {760, 100, Snap::Ignored, 0, 0},
                          {779, 100, Snap::Ignored, 0, 0},     {-5, 100, Snap::Ignored, 0, 0},
                          {-25, 100, Snap::Ignored, 0, 0},     {100, 43, Snap::Ignored, 0, 0},
                          {100, -1, Snap::Ignored, 0, 0},      {100, -50, Snap::Ignored, 0, 0},
                          {100, 395, Snap::Board, 100, 355},   {100, 396, Snap::Parking, 160, 401},
                          {700, 5000, Snap::Parking, 160, 401}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        Snap s = snapDragPosition(c.x, c.y);
        EXPECT_EQ(s.kind, c.kind);
        if (c.kind != Snap::Ignored) {
            EXPECT_EQ(s.x, c.wantX);
            EXPECT_EQ(s.y, c.wantY);
        }
    }
}

} // namespace
} // namespace kab::board
