#pragma once
// What screen readers learn of the self-painting controls: the roles of what
// they look like, and their captions as names. A name is read from the
// caption when a reader asks, so that captions, set by the hundred in a pool
// reset, cost nothing more while no reader runs.

#include <QString>

class QAccessibleInterface;
class QObject;
class QWidget;

namespace kab::tk {

// Installed by the application object while it lives.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object);

// Tells a running screen reader that the control's caption changed.
void captionChanged(QWidget* control);

// A caption as a screen reader takes it: one line, breaks read as blanks.
QString accessibleCaption(QString text);

} // namespace kab::tk
