#pragma once
// Japan's public holidays, reckoned from the rules of the holiday law as
// amended up to 2020: the fixed and Monday holidays, the equinoxes by the
// observatory's formula (right for 1980 to 2099), the days moved for the
// 2020 games, the days of the 2019 accession, the substitute holiday after
// a holiday on a Sunday and the day between two holidays.

#include <string_view>

namespace kab::report {

// The holiday's name in UTF-8 (振替休日 and 国民の休日 included), or an
// empty view on a working day. Years before 1980 and after 2099 have no
// holidays here.
std::string_view holidayName(int year, int month, int day);

inline bool isHoliday(int year, int month, int day) {
    return !holidayName(year, month, day).empty();
}

} // namespace kab::report
