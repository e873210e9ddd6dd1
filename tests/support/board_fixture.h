#pragma once
// A shown, active board with helpers to put a block on it and to send real
// wheel and key events.

#include "support/form_fixture.h"

#include "board/geometry.h"
#include "window/shell/history.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <sstream>

namespace kab::test {

inline std::string str(const SjisString& s) {
    return sjis::toUtf8(s);
}

class BoardTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        showForm();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    tk::Panel* block(int n) const { return form->Panel(n); }

    // Block n made current and placed on a row as a grab would leave it.
    void place(int n, int row, DateSerial start, const SjisString& duration) {
        tk::Panel* p = block(n);
        form->setCurrentBlock(p);
        blockstate::setPlaced(*p);
        blockstate::setBounds(*p, p->x(), board::topOfRow(row), p->width());
        form->dtp1->setValue(start);
        form->Edit1->setText(duration);
        form->dtp1Change(nullptr);
    }

    void focus(QWidget* w) {
        w->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->hasFocus(); }));
    }

    // One notch of the wheel aimed at the middle of a widget, as the window
    // system sends it to the widget under the pointer.
    void wheel(QWidget* under, bool up) {
        const QPoint pos = under->rect().center();
        QWheelEvent e(pos, under->mapToGlobal(pos), QPoint(), QPoint(0, up ? 120 : -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(under, &e);
    }

    // The window's keys, typed where the focus is.
    void windowKey(Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QWidget* at = QApplication::focusWidget();
        QTest::keyClick(at ? at : form.get(), key, mods);
    }
    void undo() { windowKey(Qt::Key_Z); }
    void redo() { windowKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    // The board as it stands is a step, as when the event loop falls idle
    // after a change made by calling handlers.
    void settle() { form->history().settle(); }

    // What the window shows of the board, as text: the day and its labels,
    // each block not parked as the pool's reset leaves it, the stack order.
    std::string boardView() const {
        std::ostringstream out;
        out << form->currentMonth() << " " << form->dtp0->text().toStdString() << " "
            << str(form->LabelA->caption()) << " " << str(form->LabelB->caption()) << " "
            << form->LabelB->textColor().name().toStdString() << "\n";
        for (int n = 1; n <= 50; ++n) {
            const tk::Panel* p = block(n);
            const std::string name = str(p->caption());
            if (!blockstate::isPlaced(*p) && p->geometry() == QRect(160, 401, 160, 38) &&
                p->hint().empty() && name == "---" && timeLabel(n).empty() &&
                durationLabel(n).empty() && p->isVisible())
                continue;
            const QRect g = p->geometry();
            out << n << ": " << g.x() << "," << g.y() << " " << g.width() << "x" << g.height()
                << (blockstate::isPlaced(*p) ? " placed" : "") << " [" << hint(n) << "] " << name
                << " [" << timeLabel(n) << "] [" << durationLabel(n) << "]"
                << (p->isVisible() ? "" : " hidden") << "\n";
        }
        out << "stack";
        for (const QObject* child : form->sg1->children())
            for (int n = 1; n <= 50; ++n)
                if (child == block(n)) out << " " << n;
        return out.str();
    }

    std::string hint(int n) const { return str(block(n)->hint()); }
    std::string timeLabel(int n) const { return str(form->Label(n)->caption()); }
    std::string durationLabel(int n) const { return str(form->Label(n + 50)->caption()); }
    std::string clock(DateSerial x) const { return str(formatDateTime("h:nn", x)); }
    std::string durationText() const { return str(form->Edit1->text()); }
};

inline DateSerial hm(int h, int m) {
    return (h * 60 + m) / 1440.0;
}

} // namespace kab::test
