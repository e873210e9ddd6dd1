#include "board/duration.h"

#include "board/geometry.h"

#include "foundation/datetime.h"
#include "foundation/numbers.h"

#include <algorithm>

namespace kab::board {

int durationMinutes(std::string_view text) {
    const long double hours = strToExtended(text);
    return clampToInt(roundHalfEven(hours * 120 / 2));
}

int wheelStepMinutes(int minutes, bool up) {
    minutes += up ? kWheelMinutes : -kWheelMinutes;
    return std::clamp(minutes, kMinWheelMinutes, kMaxWheelMinutes);
}

SjisString hoursText(int minutes) {
    return formatFixed2(minutes / 60.0);
}

SjisString durationLabelText(std::string_view text) {
    // the fourth character, a double-byte one counting as one
    const std::size_t at = sjis::charStart(text, 3);
    SjisString out(text);
    if (at < text.size() && text[at] == '0') out.erase(at, 1);
    return out;
}

} // namespace kab::board
