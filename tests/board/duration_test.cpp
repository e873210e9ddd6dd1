#include "board/duration.h"
#include "board/geometry.h"
#include "foundation/errors.h"
#include "foundation/numbers.h"

#include <gtest/gtest.h>
#include <limits>

namespace kab::board {
namespace {

TEST(Duration, LabelDropsAFourthCharacterZero) {
    const struct {
        const char* text;
        const char* label;
    } table[] = {
        {"4.00", "4.0"}, {"4.50", "4.5"}, {"4.25", "4.25"}, {"4.0", "4.0"},  {"12", "12"},
        {"9.75", "9.75"}, {"10.0", "10."}, {"2.000", "2.00"}, {"", ""},      {"120", "120"},
        {"1200", "120"},
        // a double-byte character counts as one
        {"\x82\x52.0" "0", "\x82\x52.0"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(durationLabelText(c.text), c.label);
    }
}

TEST(Duration, MinutesAndWheelSteps) {
    const struct {
        const char* text;
        int minutes;
    } read[] = {
        {"4.0", 240}, {"4.25", 255}, {"12", 720}, {"0", 0}, {"2.00", 120},
        {"0.0125", 1}, // 0.75 minutes
        {"0.00625", 0}, // 0.375
        {"1e300", std::numeric_limits<int>::max()}, // held within int
    };
    for (const auto& c : read) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(durationMinutes(c.text), c.minutes);
    }
    EXPECT_THROW(durationMinutes("4,5"), Error);
    EXPECT_THROW(durationMinutes(""), Error);

    EXPECT_EQ(wheelStepMinutes(240, true), 255);
    EXPECT_EQ(wheelStepMinutes(240, false), 225);
    EXPECT_EQ(wheelStepMinutes(120, false), 120);
    EXPECT_EQ(wheelStepMinutes(540, true), 540);
    EXPECT_EQ(wheelStepMinutes(720, false), 540);
    EXPECT_EQ(wheelStepMinutes(0, true), 120);
    EXPECT_EQ(hoursText(255), "4.25");
    EXPECT_EQ(hoursText(120), "2.00");
    EXPECT_EQ(hoursText(540), "9.00");
    EXPECT_EQ(hoursText(137), "2.28");
}

TEST(Duration, WidthOfTheDecimalDurationRoundsTiesToEven) {
    const struct {
        const char* text;
        int width;
    } table[] = {
        {"4.0125", 160}, {"2.0125", 80}, {"0.0375", 2}, {"9.0375", 362}, // 160.5, 80.5, 1.5, 361.5
        {"1.0125", 40},  {"4.0", 160},   {"2.25", 90},  {"9.0", 360},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(widthOfHours(strToExtended(c.text)), c.width);
    }
}

TEST(Duration, WidthOfAnyDurationStaysAnInt) {
    EXPECT_EQ(widthOfHours(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(widthOfHours(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(leftOfStart(1e300), std::numeric_limits<int>::max());
}

} // namespace
} // namespace kab::board
