#pragma once
// A logout ends the program with SIGTERM or SIGHUP. Either ends the event
// loop instead, as closing the window does, so that what the program still
// had to write on its way out (a recovery file) is written.

namespace kab::tk {

// From here on, for the process's life.
void quitOnLogoutSignals();

} // namespace kab::tk
