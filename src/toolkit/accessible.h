#pragma once
// What screen readers learn of the self-painting controls. Their texts reach
// the desktop as accessible names, which each control's setCaption keeps; the
// factory here gives them the roles of what they look like.

#include <QString>

class QAccessibleInterface;
class QObject;

namespace kab::tk {

// Installed by the application object while it lives.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object);

// A caption as a screen reader takes it: one line, breaks read as blanks.
QString accessibleCaption(QString text);

} // namespace kab::tk
