#pragma once
// The duration of a shift as the editor keeps it: a text of hours ("4.0",
// "4.25", "12") and, beside it, the same length in whole minutes, which the
// wheel steps by a quarter hour.

#include "foundation/sjis.h"

#include <string_view>

namespace kab::board {

// A block placed for the first time lasts four hours, and so does an
// emptied duration box.
inline constexpr std::string_view kFirstDuration = "4.0";

constexpr int kWheelMinutes = 15;
constexpr int kMinWheelMinutes = 120;
constexpr int kMaxWheelMinutes = 540;

// The text as a number of hours, in minutes, halves to even. Throws the
// invalid number error for a text that is not a number.
int durationMinutes(std::string_view text);

// One wheel step from minutes, kept within 2 to 9 hours.
int wheelStepMinutes(int minutes, bool up);

// Minutes as hours with two decimals: 255 -> "4.25", 120 -> "2.00".
SjisString hoursText(int minutes);

// The block's duration label: a fourth character "0" is dropped, so "4.00"
// shows as "4.0" and "4.50" as "4.5".
SjisString durationLabelText(std::string_view text);

} // namespace kab::board
