// The window's keys, and the input the history watches.

#include "window/shell/history.h"

#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/picker.h"
#include "window/shell/unit1.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>

namespace kab {

namespace {

enum class Key { None, Undo, Redo, Save };

Key windowKey(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    if (ctrl && e->key() == Qt::Key_Z) return Key::Undo;
    if ((ctrl && e->key() == Qt::Key_Y) ||
        (mods == (Qt::ControlModifier | Qt::ShiftModifier) && e->key() == Qt::Key_Z))
        return Key::Redo;
    if (ctrl && e->key() == Qt::Key_S) return Key::Save;
    return Key::None;
}

} // namespace

void History::addKeys() {
    const auto add = [this](QKeySequence keys, void (History::*action)()) {
        auto key = std::make_unique<QShortcut>(keys, &form_);
        connect(key.get(), &QShortcut::activated, this,
                [this, action] { tk::guarded([&] { (this->*action)(); }); });
        keys_.push_back(std::move(key));
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), &History::undo);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &History::redo);
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), &History::redo);
    add(QKeySequence(Qt::CTRL | Qt::Key_S), &History::save);
}

void History::save() {
    // not with a block in the hand: it lies where the pointer holds it
    if (form_.Timer1->isActive()) return;
    form_.spb3->click();
}

bool History::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    // The wheel and the keys edit in bursts: a notch or a key that changes
    // the same field of the same block as the one before goes on in its
    // step. The mouse's buttons and a drop end a burst.
    case QEvent::Wheel:
    case QEvent::KeyPress:
        burstInput_ = true;
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Drop:
    case QEvent::InputMethod:
        burstInput_ = false;
        steps_.endBurst();
        return false;
    case QEvent::ShortcutOverride:
        break;
    default:
        return false;
    }
    // The focused control is asked first whether it wants a key for itself,
    // and the editor's controls say yes to the undo keys. The name box and
    // the duration box then drop them in their key filters. The pickers
    // would undo their own typing: the start's as the window's undo does,
    // leaving a step to redo that no redo key reaches, and the day's by
    // loading the day's file, where the window's undo brings the day back
    // with the board left unsaved. The window's keys win in all four.
    if (windowKey(static_cast<QKeyEvent*>(event)) == Key::None) return false;
    return watched == form_.Edit1 || watched == form_.cmb1 || watched == form_.cmb1->lineEdit() ||
           watched == form_.dtp0 || watched == form_.dtp1;
}

} // namespace kab
