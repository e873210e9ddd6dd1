#pragma once

#include <string>

class QWidget;

namespace kab {

// Program entry: one copy per user, then the main window and the event loop.
// A second copy ends at once, without a window or a message. Without any
// display to open the window on it says why on stderr and ends with 1.
// created, when given, sees the window before it is first shown (the
// start-up benchmark's build watches its first paint).
int runProgram(int argc, char** argv, void (*created)(QWidget* window) = nullptr);

// What the start finds about the displays it could open the window on.
struct DisplayFacts {
    bool userChosePlatform; // QT_QPA_PLATFORM or -platform given
    bool xServer;           // DISPLAY names an X server that lets us in
    bool wayland;           // a Wayland compositor's socket answers
};

// The Qt platform to ask for. The board's fixed place and its drag, measured
// from the outer frame, are X11 rules, so an X server (Xwayland on a Wayland
// desktop) wins over the compositor itself; what the user chose stays.
enum class Platform { UsersChoice, Xcb, Wayland, NoDisplay };
Platform choosePlatform(const DisplayFacts& facts);

// The stderr line for Platform::NoDisplay; null stands for an unset variable.
std::string noDisplayMessage(const char* display, const char* waylandDisplay);

} // namespace kab
