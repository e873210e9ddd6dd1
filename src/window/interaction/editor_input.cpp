// Wheel and keyboard input of the editor: the window's wheel routing and the
// key filters of the name box and the duration box.

#include "window/shell/unit1.h"

#include "board/geometry.h"
#include "toolkit/application.h"
#include "toolkit/edit.h"
#include "toolkit/grid.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/text.h"

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
                         e->pixelDelta(), e->angleDelta(), e->buttons(), e->modifiers(), e->phase(),
                         e->inverted(), e->source());
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
        wheelStep(dtp0, up);
        handled = true;
        return;
    }
    if (control == cmb1) return; // the name box's own wheel handling
    handled = true;
    if (!currentBlock_ || !board::onBoard(currentBlock_->y())) return;
    wheelStep(control, up);
    placeBlock();
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

// What a key types on the desktop, as Shift-JIS bytes: nothing for a key
// that types no character there. X gives the Delete key the DEL character as
// its text, yet Delete types nothing, like the arrows, Home and End.
SjisString typedText(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) return {};
    return tk::fromQt(e->text());
}

bool isFocusKey(const QKeyEvent* e) {
    // Tab moves the focus before any control sees the key
    return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
}

// Runs a character filter over every byte the key types; the key is dropped
// when the filter drops any of them.
template <typename Filter> bool dropsTyped(const QKeyEvent* e, Filter filter) {
    bool drop = false;
    for (char c : typedText(e)) {
        tk::guarded([&] { filter(c); });
        drop = drop || c == 0;
    }
    return drop;
}

} // namespace

bool TForm1::filterEditorKeys(QObject* watched, QKeyEvent* e) {
    if (isFocusKey(e)) return false;
    if (watched == cmb1 || watched == cmb1->lineEdit()) {
        int key = e->key();
        tk::guarded([&] { cmb1KeyDown(key); });
        return key == 0 || dropsTyped(e, [this](char& c) { cmb1KeyPress(c); });
    }
    if (watched == Edit1) return dropsTyped(e, [this](char& c) { Edit1KeyPress(c); });
    return false;
}

} // namespace kab
