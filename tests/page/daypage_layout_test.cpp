// The printed day's layout rules: the scale widened for a late night shift,
// and a short block's duration kept off its name.

#include "page/daypage_paint.h"

#include "board/geometry.h"

#include <gtest/gtest.h>

namespace kab::page {
namespace {

report::PageBlock blockOf(double start, double hours) {
    report::PageBlock b;
    b.left = board::leftOfStart(start / 24);
    b.width = static_cast<int>(hours * board::hourWidth);
    b.top = board::topOfRow(2);
    return b;
}

TEST(DayPageLayout, NightShiftsWidenTheScale) {
    const struct {
        double start, hours;
        int columns;
    } cases[] = {{9, 4, 26}, {22, 9, 26}, {22, 10, 27}, {23.5, 9.75, 29}, {22, 9.25, 27}};
    for (const auto& c : cases) {
        report::DayPage page;
        page.blocks = {blockOf(9, 4), blockOf(c.start, c.hours)};
        EXPECT_EQ(pageColumns(page), c.columns) << c.start << "+" << c.hours;
    }
    report::DayPage parked;
    parked.blocks = {report::PageBlock{}};
    EXPECT_EQ(pageColumns(parked), 26);
}

TEST(DayPageLayout, DurationNeverOnTheName) {
    const struct {
        double hours, nameWidth;
        bool shown, atBoardsPlace;
    } cases[] = {
        {4, 32, true, true},   // the board's place
        {3, 32, true, true},   // room enough
        {3, 45, true, false},  // moved right of the name
        {2, 32, false, false}, // no room beside the name
        {4, 100, false, false}, {9, 200, true, true},
    };
    for (const auto& c : cases) {
        const report::PageBlock b = blockOf(9, c.hours);
        const auto place = durationPlace(b, c.nameWidth, 27);
        ASSERT_EQ(place.has_value(), c.shown) << c.hours << " h, name " << c.nameWidth;
        if (!place) continue;
        EXPECT_GE(place->right() - 27, b.left + 2 + c.nameWidth) << c.hours;
        EXPECT_LE(place->right(), b.left + b.width - 40) << c.hours;
        EXPECT_EQ(place->left() == b.left + b.width - 85, c.atBoardsPlace) << c.hours;
    }
}

} // namespace
} // namespace kab::page
