// Wheel and keyboard input of the editor: the window's wheel routing and the
// key filters of the name box and the duration box.

#include "shell/unit1.h"

#include "board/geometry.h"
#include "toolkit/application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QWheelEvent>

namespace kab {

QWidget* TForm1::focusedControl() const {
    // The focus may sit on a part of a control (the edit field of the name
    // box); the control is the nearest of the window's own that holds it.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this) return nullptr;
    for (QWidget* w = focus; w && w != this; w = w->parentWidget()) {
        if (w == sg1 || w == cmb1 || w == Edit1 || qobject_cast<tk::DateTimePicker*>(w)) return w;
    }
    return focus;
}

bool TForm1::routeWheel(QObject* watched, QWheelEvent* e) {
    if (routingWheel_) return false; // one that this routing passes on itself
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    // Wheel input goes to the control with the focus, never to the one
    // under the pointer. The grid consumes it; the name box uses it itself.
    QWidget* control = focusedControl();
    if (control == sg1 || control == cmb1) {
        const QScopedValueRollback routing(routingWheel_, true);
        QWheelEvent copy(control->mapFromGlobal(e->globalPosition()), e->globalPosition(),
                         e->pixelDelta(), e->angleDelta(), e->buttons(), e->modifiers(),
                         e->phase(), e->inverted(), e->source());
        QCoreApplication::sendEvent(control, &copy);
        return true;
    }
    if (e->angleDelta().y() != 0) {
        bool handled = false;
        tk::guarded([&] {
            FormMouseWheel(e->modifiers(), e->angleDelta().y(), e->position().toPoint(), handled);
        });
    }
    return true;
}

void TForm1::FormMouseWheel(Qt::KeyboardModifiers, int wheelDelta, QPoint, bool& handled) {
    // every event is one step, whatever its size
    const bool up = wheelDelta > 0;
    QWidget* control = focusedControl();
    if (control == dtp0) {
        WheelStep(dtp0, up);
        handled = true;
        return;
    }
    if (control == cmb1) return; // the name box's own wheel handling
    handled = true;
    if (!currentBlock || !board::onBoard(currentBlock->y())) return;
    WheelStep(control, up);
    PlaceBlock();
    dtp1Change(nullptr);
}

// --- key filters ---------------------------------------------------------------

void TForm1::cmb1KeyDown(int& key) {
    // names are chosen, never typed: only the arrow keys pass
    if (key != Qt::Key_Up && key != Qt::Key_Down) key = 0;
}

void TForm1::cmb1KeyPress(char& key) {
    key = 0;
}

void TForm1::Edit1KeyPress(char& key) {
    // whole hours only: digits pass, every other character is dropped
    if (key < '0' || key > '9') key = 0;
}

namespace {

// The character a key event types, as one byte; 0x7f stands for any
// character outside ASCII, which no filter lets pass.
bool typedChar(const QKeyEvent* e, char& c) {
    const QString t = e->text();
    if (t.isEmpty()) return false;
    c = (t.size() == 1 && t[0].unicode() < 0x80) ? char(t[0].unicode()) : char(0x7f);
    return true;
}

bool isFocusKey(const QKeyEvent* e) {
    // Tab moves the focus before any control sees the key
    return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
}

} // namespace

bool TForm1::filterEditorKeys(QObject* watched, QKeyEvent* e) {
    if (isFocusKey(e)) return false;
    bool drop = false;
    if (watched == cmb1 || watched == cmb1->lineEdit()) {
        int key = e->key();
        tk::guarded([&] { cmb1KeyDown(key); });
        char c = 0;
        if (key == 0) {
            drop = true;
        } else if (typedChar(e, c)) {
            tk::guarded([&] { cmb1KeyPress(c); });
            drop = c == 0;
        }
    } else if (watched == Edit1) {
        char c = 0;
        if (typedChar(e, c)) {
            tk::guarded([&] { Edit1KeyPress(c); });
            drop = c == 0;
        }
    }
    return drop;
}

} // namespace kab
