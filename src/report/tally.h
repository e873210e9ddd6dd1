#pragma once
// A month's hours per person, its double bookings and its blocks without a
// name.

#include "report/month.h"

#include <vector>

namespace kab::report {

struct PersonTotal {
    SjisString name;
    int days = 0;   // dates with at least one of the person's blocks
    int shifts = 0; // blocks
    Hours hours;
};

// One name on two blocks of a day whose times overlap; first starts no later.
struct DoubleBooking {
    Shift first, second;
};

struct Tally {
    std::vector<PersonTotal> persons; // by name, byte order (Shift-JIS order)
    Hours total;                      // of the named blocks
    std::vector<DoubleBooking> doubleBookings;
    std::vector<Shift> unnamed;
    Hours unnamedHours;
};

// Two blocks overlap when each starts before the other ends; a block that
// ends where another starts does not, nor one without length.
bool overlaps(const Shift& a, const Shift& b);

Tally tally(const std::vector<Day>& days);

} // namespace kab::report
