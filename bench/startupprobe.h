#pragma once
// For the start-up benchmark's builds of the board and of the bare window:
// when KABRELO_STARTUP_PROBE is set, the first complete paint of the window
// prints the wall-clock time it ended and the process's peak resident
// memory, and the program quits.

class QWidget;

namespace kab::bench {

// Does nothing unless the variable is set.
void installStartupProbe(QWidget* window);

} // namespace kab::bench
