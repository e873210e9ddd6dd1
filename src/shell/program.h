#pragma once

namespace kab {

// Program entry: one copy per user, then the main window and the event loop.
// A second copy ends at once, without a window or a message.
int runProgram(int argc, char** argv);

} // namespace kab
