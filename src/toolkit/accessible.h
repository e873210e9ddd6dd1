#pragma once
// What screen readers learn of the self-painting controls: the roles of what
// they look like, their captions as names, a panel's description, and the
// grid as a table. All is read from the controls when a reader asks, and
// changes are told only while one runs, so that captions set by the hundred
// in a pool reset, or a selection dragged out, cost nothing more without one.

#include <QString>

class QAccessibleInterface;
class QObject;
class QWidget;

namespace kab::tk {

class StringGrid;

// Installed by the application object while it lives.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object);

// Tells a running screen reader that the control's caption changed.
void captionChanged(QWidget* control);

// A caption as a screen reader takes it: one line, breaks read as blanks.
QString accessibleCaption(QString text);

// The grid as a table (accessible_grid.cpp), and the news of its changes:
// the tinted cells, and the columns it shows.
QAccessibleInterface* accessibleGrid(StringGrid* grid);
void gridSelectionChanged(QWidget* grid);
void gridColumnsChanged(QWidget* grid);

} // namespace kab::tk
