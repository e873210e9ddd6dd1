#pragma once
// Aligned children: a child set to fill its parent, or to sit at its bottom,
// is laid out again whenever the parent's area changes. Done explicitly (not
// through Qt layouts) so the geometry is right at once, also while the window
// is still hidden and no resize events are delivered.

#include <QRect>

class QWidget;

namespace kab::tk {

enum class Align { None, Client, Bottom };

void setAlign(QWidget* w, Align a);

// Anchors a child to its parent's top and right edges: it keeps its present
// distance from the right edge when the parent's width changes.
void anchorTopRight(QWidget* w);

// Bottom-aligned children first, then the client-aligned one takes the rest;
// children anchored to the right edge follow it.
void alignChildren(QWidget* parent, QRect area);

} // namespace kab::tk
