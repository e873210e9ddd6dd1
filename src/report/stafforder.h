#pragma once
// People in the staff list's order, as the name box lists them, then the
// names not in it in byte order: the month's table, the hours and the
// printed day list them so.

#include "foundation/sjis.h"
#include "report/daypage.h"
#include "report/tally.h"

#include <vector>

namespace kab::report {

// Sorts (stably) by the first place of each name in staff; names not in it
// after them, in their order. Unnamed page totals stay last.
void orderByStaff(std::vector<PersonTotal>& persons, const std::vector<SjisString>& staff);
void orderByStaff(std::vector<PageTotal>& totals, const std::vector<SjisString>& staff);

} // namespace kab::report
