#pragma once
// The application object: holds the environment and the application title, and
// is the last place where an error escaping an event handler is caught and
// shown by the default error report.

#include "toolkit/environment.h"

#include <QApplication>
#include <exception>
#include <utility>

namespace kab::tk {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv, Environment& env);
    ~Application() override;

    static Application* instance();

    Environment& environment() const { return env_; }

    // The application title: caption of error reports and of the main window.
    QString title() const { return title_; }
    void setTitle(const QString& title);

    bool notify(QObject* receiver, QEvent* event) override;

    // True while an event is being delivered: some handler is running, or
    // waits in a nested event loop (a modal box).
    bool delivering() const { return depth_ > 0; }

signals:
    // A key, a mouse button, the wheel or a drop was delivered from the event
    // loop, and every handler it ran has returned. Not for events inside
    // another's delivery (a modal box's).
    void inputHandled();

private:
    Environment& env_;
    QString title_;
    int depth_ = 0; // deliveries under way, nested ones included
};

// The default error report: ends any mouse capture, then shows the error's
// message (with the "." rule) in a modal box titled with the application title.
void reportError(const std::exception& error);
void reportUnknownError();

// True when the program's windows are surfaces of a Wayland compositor, with
// no X server between.
bool nativeWayland();
// On native Wayland, a maximised or full-screen window: its size is the
// compositor's and must be taken exactly, or the compositor ends the program.
bool sizedByCompositor(const QWidget* window);
// For a window state change: a window sized by the compositor asks to be
// normal again, since the program's windows are made for their own sizes.
void leaveCompositorSize(QWidget* window);

// Runs a handler so that no error leaves it: whatever escapes is reported.
// Every place where Qt calls into the program's handlers goes through here,
// so no exception ever unwinds through Qt's own frames.
template <typename F> void guarded(F&& handler) {
    try {
        std::forward<F>(handler)();
    } catch (const std::exception& e) {
        reportError(e);
    } catch (...) {
        reportUnknownError();
    }
}

} // namespace kab::tk
