#pragma once
// The printed page of the board on show.

#include "report/daypage.h"

class QWidget;

namespace kab {

class TForm1;

namespace tk {
class Environment;
}

// The day on show as the board holds it, saved or not: every placed block
// where it lies, with its colour and texts, the list of what a save would
// write (row, name, times as the time label shows them, hours of the
// duration text) and the hours per name.
report::DayPage boardPage(const TForm1& form);

// Ctrl+P's page through the environment's print dialog; nothing when the
// user cancels. Throws when the page cannot be printed.
void printBoardPage(tk::Environment& env, QWidget* owner, const report::DayPage& page);

} // namespace kab
