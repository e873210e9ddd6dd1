#pragma once
// The printed page of the board on show.

#include "report/daypage.h"

namespace kab {

class TForm1;

// The day on show as the board holds it, saved or not: every placed block
// where it lies, with its colour and texts, the list of what a save would
// write (row, name, times as the time label shows them, hours of the
// duration text) and the hours per name.
report::DayPage boardPage(const TForm1& form);

} // namespace kab
