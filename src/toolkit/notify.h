#pragma once
// A notification on the desktop, over the session bus's notification service
// (org.freedesktop.Notifications), kept apart so that only this file needs
// Qt's D-Bus library.

#include <QString>

namespace kab::tk {

// Sends summary and body as a notification of appName; false, sending
// nothing, when there is no session bus or no notification service runs
// there or can be started by it. The reply is not waited for.
bool notifyDesktop(const QString& appName, const QString& summary, const QString& body);

} // namespace kab::tk
