// The block editor driven as the user drives it: wheel notches aimed where
// the pointer is, keys typed into the boxes, focus moved between controls.

#include "support/board_fixture.h"

#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <functional>

namespace kab::test {
namespace {

class EditorTest : public BoardTest {};

TEST_F(EditorTest, ApplyStepWritesTheBlockFromTheEditor) {
    place(50, 3, hm(9, 0), "4.0");
    EXPECT_EQ(hint(50), "09:00\r\n4.0");
    EXPECT_EQ(form->Memo1->text(), block(50)->hint());
    EXPECT_EQ(timeLabel(50), "9:00\r\n13:00");
    EXPECT_EQ(durationLabel(50), "4.0");
    EXPECT_EQ(block(50)->geometry(), QRect(160, 135, 160, 38));
    EXPECT_EQ(form->Edit1->tag(), 240);
    EXPECT_EQ(clock(form->dtp2->value()), "13:00");
    EXPECT_EQ(str(block(50)->caption()), "---") << "the apply step leaves the name alone";
    EXPECT_EQ(block(50)->tag(), 1);
    // the width rounds the decimal duration: 160.5 px goes to the even 160
    place(49, 1, hm(9, 0), "4.0125");
    EXPECT_EQ(block(49)->width(), 160);
}

TEST_F(EditorTest, WheelOnTheDurationBoxStepsQuarterHoursWithinTwoToNineHours) {
    place(50, 3, hm(9, 0), "4.0");
    focus(form->Edit1);
    struct Step {
        bool up;
        int turns;
        const char* text;
        int minutes, width;
        const char* label;
        const char* times;
    };
    const Step steps[] = {
        {true, 1, "4.25", 255, 170, "4.25", "9:00\r\n13:15"},
        {false, 1, "4.00", 240, 160, "4.0", "9:00\r\n13:00"},
        {false, 8, "2.00", 120, 80, "2.0", "9:00\r\n11:00"},
        {false, 3, "2.00", 120, 80, "2.0", "9:00\r\n11:00"}, // held at two hours
        {true, 2, "2.50", 150, 100, "2.5", "9:00\r\n11:30"},
        {true, 30, "9.00", 540, 360, "9.0", "9:00\r\n18:00"}, // held at nine
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << (s.up ? "up x" : "down x") << s.turns);
        for (int i = 0; i < s.turns; ++i)
            wheel(form->sg1, s.up); // pointer over the board, focus in the box
        EXPECT_EQ(durationText(), s.text);
        EXPECT_EQ(form->Edit1->tag(), s.minutes);
        EXPECT_EQ(block(50)->width(), s.width);
        EXPECT_EQ(durationLabel(50), s.label);
        EXPECT_EQ(timeLabel(50), s.times);
        EXPECT_EQ(hint(50), std::string("09:00\r\n") + s.text);
        EXPECT_EQ(block(50)->x(), 160);
        EXPECT_EQ(block(50)->y(), 135);
    }
}

TEST_F(EditorTest, TypedWholeHoursThenTheWheelClampsToNine) {
    place(50, 2, hm(9, 0), "4.0");
    focus(form->Edit1);
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, "12");
    EXPECT_EQ(durationText(), "12");
    EXPECT_EQ(block(50)->width(), 480);
    EXPECT_EQ(form->Edit1->tag(), 720);
    EXPECT_EQ(timeLabel(50), "9:00\r\n21:00");
    wheel(form->Edit1, false); // 705 minutes, held at 540
    EXPECT_EQ(durationText(), "9.00");
    EXPECT_EQ(block(50)->width(), 360);
    EXPECT_EQ(form->Edit1->tag(), 540);

    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, "0");
    EXPECT_EQ(block(50)->width(), 0);
    EXPECT_EQ(form->Edit1->tag(), 0);
    EXPECT_EQ(timeLabel(50), "9:00\r\n9:00");
}

TEST_F(EditorTest, AnEmptiedDurationBoxBecomesFourHours) {
    for (bool withBlock : {false, true}) {
        SCOPED_TRACE(withBlock);
        if (withBlock) place(49, 4, hm(7, 30), "2.00");
        focus(form->Edit1);
        form->Edit1->setText("7");
        form->Edit1->selectAll();
        QTest::keyClick(form->Edit1, Qt::Key_Delete); // not filtered: no character
        EXPECT_EQ(durationText(), "4.0");
        if (withBlock) {
            EXPECT_EQ(block(49)->width(), 160);
            EXPECT_EQ(hint(49), "07:30\r\n4.0");
            EXPECT_EQ(timeLabel(49), "7:30\r\n11:30");
        }
    }
}

TEST_F(EditorTest, WheelOnTheStartPickerMovesTheBlockByQuarterHours) {
    place(50, 1, hm(6, 0), "4.0");
    focus(form->dtp1);
    wheel(form->Edit1, false); // pointer over another control
    EXPECT_EQ(clock(form->dtp1->value()), "5:45");
    EXPECT_EQ(block(50)->x(), 30);
    EXPECT_EQ(block(50)->width(), 160);
    EXPECT_EQ(durationText(), "4.0");
    EXPECT_EQ(timeLabel(50), "5:45\r\n9:45");

    place(50, 1, hm(23, 45), "2.00");
    focus(form->dtp1);
    wheel(form->sg1, true);
    EXPECT_DOUBLE_EQ(form->dtp1->value(), 1.0) << "0:00 of the next day";
    EXPECT_EQ(block(50)->x(), 760);
    EXPECT_EQ(timeLabel(50), "0:00\r\n2:00");
    EXPECT_EQ(hint(50), "00:00\r\n2.00");
    wheel(form->sg1, true);
    EXPECT_EQ(block(50)->x(), 770);
    EXPECT_EQ(hint(50), "00:15\r\n2.00");
}

TEST_F(EditorTest, AStartOfMidnightOrBeforeBelongsToTheNextDay) {
    const struct {
        DateSerial start;
        DateSerial want;
        int left;
    } table[] = {
        {0.0, 1.0, 760},
        {hm(-1, 0), 1.0 - 1 / 24.0, 720},
        {hm(0, 15), hm(0, 15), -190},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.start);
        place(50, 1, c.start, "1");
        EXPECT_DOUBLE_EQ(form->dtp1->value(), c.want);
        EXPECT_EQ(block(50)->x(), c.left);
    }
}

TEST_F(EditorTest, WheelRoutingByTheFocusedControl) {
    form->cmb1->setItems({"---", sjis::fromUtf8("山田"), sjis::fromUtf8("佐藤")});
    place(50, 3, hm(9, 0), "4.0");
    const DateSerial start = form->dtp1->value();
    const DateSerial day = form->dtp0->value();

    // The grid consumes the wheel: nothing of the editor moves, not even the
    // start picker under the pointer.
    form->sg1->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->sg1->hasFocus(); }));
    wheel(form->dtp1, true);
    EXPECT_EQ(form->dtp1->value(), start);
    EXPECT_EQ(durationText(), "4.0");

    // The name box takes the wheel itself wherever the pointer is.
    focus(form->cmb1);
    wheel(form->dtp1, false);
    EXPECT_EQ(form->cmb1->currentIndex(), 1);
    EXPECT_EQ(str(block(50)->caption()), "山田");
    EXPECT_EQ(form->dtp1->value(), start);
    EXPECT_EQ(form->dtp0->value(), day);

    // With the focus elsewhere the window acts on the block, never the
    // control under the pointer.
    focus(form->Edit1);
    wheel(form->dtp0, true);
    EXPECT_EQ(form->dtp0->value(), day);
    EXPECT_EQ(durationText(), "4.25");
    EXPECT_EQ(form->cmb1->currentIndex(), 1);
}

TEST_F(EditorTest, WithoutABlockOnTheBoardTheWheelIsSwallowed) {
    // right after start-up: no current block
    focus(form->Edit1);
    form->Edit1->setText("4.0");
    const DateSerial start = form->dtp1->value();
    wheel(form->dtp1, true); // pointer over the start picker
    EXPECT_EQ(form->dtp1->value(), start);
    EXPECT_EQ(durationText(), "4.0");
    EXPECT_EQ(form->Edit1->tag(), 240);

    // a current block still waiting in the stack is not touched either
    form->setCurrentBlock(block(50));
    wheel(form->dtp1, true);
    EXPECT_EQ(durationText(), "4.0");
    EXPECT_EQ(block(50)->geometry(), QRect(160, 401, 160, 38));
    EXPECT_EQ(hint(50), "");
}

TEST_F(EditorTest, WheelOnTheDayPickerStepsOneDayWithinTheMonth) {
    focus(form->dtp0);
    form->dtp0->setValue(encodeDate(2026, 12, 31));
    place(50, 3, hm(9, 0), "4.0");
    form->dtp0->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->dtp0->hasFocus(); }));
    const struct {
        bool up;
        int day;
        const char* weekday;
    } steps[] = {
        {true, 1, "火"},
        {false, 31, "木"},
        {false, 30, "水"},
        {true, 31, "木"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.day);
        wheel(form->sg1, s.up);
        EXPECT_EQ(form->dtp0->value(), encodeDate(2026, 12, s.day));
        EXPECT_EQ(str(form->LabelA->caption()), s.weekday);
        // the day's board was reloaded: no block is current, none placed
        EXPECT_EQ(form->currentBlock(), nullptr);
        EXPECT_EQ(block(50)->y(), 401);
    }
}

TEST_F(EditorTest, FocusFrameFollowsTheEditorControls) {
    // no current block: the frame moves but stays hidden
    focus(form->Edit1);
    EXPECT_EQ(form->ShapeA->geometry(), QRect(267, 2, 62, 33));
    EXPECT_FALSE(form->ShapeA->isVisible());

    place(50, 3, hm(9, 0), "4.0");
    const struct {
        QWidget* control;
        QRect frame;
    } table[] = {
        {form->dtp1, {182, 2, 86, 33}},
        {form->cmb1, {72, 4, 107, 29}},
        {form->dtp0, {72, 4, 107, 29}}, // the day picker leaves it where it was
        {form->Edit1, {267, 2, 62, 33}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.control->objectName().toStdString());
        focus(c.control);
        EXPECT_EQ(form->ShapeA->geometry(), c.frame);
        EXPECT_TRUE(form->ShapeA->isVisible());
    }
}

TEST_F(EditorTest, TheDurationBoxTakesDigitsOnly) {
    place(50, 3, hm(9, 0), "4.0");
    focus(form->Edit1);
    form->Edit1->end(false);
    // Each key with the text X gives it: Delete carries the DEL character
    // there, yet types nothing on the desktop.
    const struct {
        Qt::Key key;
        const char* text;
        const char* after;
        Qt::KeyboardModifiers mods = Qt::NoModifier;
    } table[] = {
        {Qt::Key_Period, ".", "4.0"},
        {Qt::Key_Minus, "-", "4.0"},
        {Qt::Key_Space, " ", "4.0"},
        {Qt::Key_A, "a", "4.0"},
        {Qt::Key_Backspace, "\b", "4.0"},
        {Qt::Key_Return, "\r", "4.0"},
        {Qt::Key_Escape, "\x1b", "4.0"},
        {Qt::Key_V, "\x16", "4.0", Qt::ControlModifier},
        {Qt::Key_5, "5", "4.05"},
        {Qt::Key_Left, "", "4.05"},
        {Qt::Key_Delete, "\x7f", "4.0"},
        {Qt::Key_Home, "", "4.0"},
        {Qt::Key_Delete, "", ".0", Qt::KeypadModifier}, // the keypad's Delete
        {Qt::Key_End, "", ".0"},
        {Qt::Key_Home, "", ".0"},
        {Qt::Key_4, "4", "4.0"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.key << " " << c.text);
        QTest::sendKeyEvent(QTest::KeyAction::Click, form->Edit1, c.key,
                            QString::fromLatin1(c.text), c.mods);
        EXPECT_EQ(durationText(), c.after);
    }
    EXPECT_EQ(block(50)->width(), 160);
    EXPECT_EQ(hint(50), "09:00\r\n4.0");
}

TEST_F(EditorTest, TypedDigitsReplaceTheDurationWhenTheBoxIsEntered) {
    // Block 49 is pressed (and released where it lies) while the editor holds
    // block 50's values; the drop fills the editor with block 49's.
    const auto press = [this](QPoint at) {
        QTest::mousePress(form->Label(49), Qt::LeftButton, {}, at);
        QTest::mouseRelease(form->Label(49), Qt::LeftButton, {}, at);
    };
    const struct {
        const char* how;
        std::function<void()> enter;
        const char* text;
        int width, minutes;
        const char* times;
    } table[] = {
        {"press on the block's lower right half",
         [&] {
             press({100, 25});
         },
         "12", 480, 720, "9:00\r\n21:00"},
        {"Tab from the board",
         [&] {
             press({75, 10}); // between the name and the times: no focus change
             QTest::keyClick(form->sg1, Qt::Key_Tab);
         },
         "12", 480, 720, "9:00\r\n21:00"},
        // a click places the cursor where it lands, here after the text
        {"click at the right end of the box",
         [&] {
             press({75, 10});
             QTest::mouseClick(form->Edit1, Qt::LeftButton, {},
                               {form->Edit1->width() - 3, form->Edit1->height() / 2});
         },
         "4.512", 180, 271, "9:00\r\n13:31"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.how);
        place(49, 2, hm(9, 0), "4.5"); // 180 px wide
        place(50, 3, hm(13, 0), "4.0");
        focus(form->sg1);
        c.enter();
        ASSERT_TRUE(form->Edit1->hasFocus());
        ASSERT_EQ(form->currentBlock(), block(49));
        QTest::keyClicks(form->Edit1, "12");
        EXPECT_EQ(durationText(), c.text);
        EXPECT_EQ(block(49)->width(), c.width);
        EXPECT_EQ(form->Edit1->tag(), c.minutes);
        EXPECT_EQ(timeLabel(49), c.times);
    }
}

TEST_F(EditorTest, InputMethodsAreClosedOnTheEditorControls) {
    form->cmb1->setItems({"---", sjis::fromUtf8("山田")});
    form->cmb1->setCurrentIndex(0);
    place(50, 3, hm(9, 0), "4.0");
    const DateSerial day = form->dtp0->value();
    // Qt asks the object with the focus whether it takes an input method,
    // and hands it what one commits.
    const auto focusObject = [] { return QGuiApplication::focusObject(); };
    for (QWidget* control :
         std::initializer_list<QWidget*>{form->Edit1, form->dtp1, form->dtp0, form->cmb1}) {
        SCOPED_TRACE(control->objectName().toStdString());
        focus(control);
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(focusObject(), &query);
        EXPECT_EQ(query.value(Qt::ImEnabled), QVariant(false));
        for (const char* text : {"１２", "さと", "12"}) {
            QInputMethodEvent composing(QString::fromUtf8(text), {});
            QApplication::sendEvent(focusObject(), &composing);
            QInputMethodEvent commit;
            commit.setCommitString(QString::fromUtf8(text));
            QApplication::sendEvent(focusObject(), &commit);
        }
        EXPECT_EQ(durationText(), "4.0");
        EXPECT_EQ(clock(form->dtp1->value()), "9:00");
        EXPECT_EQ(form->dtp0->value(), day);
        EXPECT_EQ(form->cmb1->currentText(), QStringLiteral("---"));
        EXPECT_EQ(hint(50), "09:00\r\n4.0");
        EXPECT_EQ(str(block(50)->caption()), "---");
    }
    EXPECT_EQ(form->dtp2->inputMethodQuery(Qt::ImEnabled), QVariant(false));
}

TEST_F(EditorTest, APasteThatWouldBreakARecordIsRefusedWhole) {
    const struct {
        const char* pasted;
        const char* text; // the box's text afterwards
        int reports;
    } table[] = {
        {"5\\x\\y", "9", 0}, {"5\r\n99", "9", 0}, {"5 6", "9", 0}, {"\t", "9", 0},
        {"5", "95", 0},      {"\"", "9\"", 1}, // only a field's first quote has a meaning
        {"x", "9x", 1},                        // arrives, and is no number
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.pasted);
        // read from a file as it stood, the start is not rewritten unless
        // the apply step runs
        place(50, 3, hm(9, 0), "9");
        block(50)->setHint("9:00\r\n9");
        env().reports.clear();
        focus(form->Edit1);
        form->Edit1->end(false);
        QApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
        form->Edit1->paste(); // Shift+Insert and the context menu's paste
        EXPECT_EQ(durationText(), c.text);
        EXPECT_EQ(env().reports.size(), std::size_t(c.reports));
        EXPECT_EQ(hint(50),
                  c.text == std::string("9") ? "9:00\r\n9" : std::string("09:00\r\n") + c.text);
    }
}

TEST_F(EditorTest, NamesAreChosenWithTheArrowKeysOnly) {
    form->cmb1->setItems({"---", sjis::fromUtf8("山田"), sjis::fromUtf8(" 佐藤 ")});
    form->cmb1->setCurrentIndex(0);
    focus(form->cmb1);
    // no block yet: the box keeps its choice, no block changes
    QTest::keyClick(form->cmb1, Qt::Key_Down);
    EXPECT_EQ(form->cmb1->currentIndex(), 1);
    for (int n = 1; n <= TForm1::kBlocks; ++n)
        ASSERT_EQ(str(form->Panel(n)->caption()), "---");

    place(50, 3, hm(9, 0), "4.0");
    focus(form->cmb1);
    const struct {
        Qt::Key key;
        int index;
        const char* name;
    } table[] = {
        {Qt::Key_Down, 2, "佐藤"}, // trimmed
        {Qt::Key_Up, 1, "山田"},        {Qt::Key_Home, 1, "山田"}, {Qt::Key_End, 1, "山田"},
        {Qt::Key_PageDown, 1, "山田"},  {Qt::Key_A, 1, "山田"},    {Qt::Key_Minus, 1, "山田"},
        {Qt::Key_Backspace, 1, "山田"}, {Qt::Key_Up, 0, "---"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.key);
        QTest::keyClick(form->cmb1, c.key);
        EXPECT_EQ(form->cmb1->currentIndex(), c.index);
        EXPECT_EQ(str(block(50)->caption()), c.name);
    }
    EXPECT_EQ(form->cmb1->currentText(), QStringLiteral("---")) << "nothing was typed";
}

// Ctrl+P is the window's: whichever control has the focus, the print dialog
// opens and the control keeps what it holds; the key filters never see it.
TEST_F(EditorTest, CtrlPPrintsWhicheverControlHasTheFocus) {
    form->cmb1->setItems({"---", sjis::fromUtf8("山田")});
    form->cmb1->setCurrentIndex(1);
    place(50, 3, hm(9, 0), "4.25");
    const auto state = [&] {
        return std::to_string(form->cmb1->currentIndex()) + " " + durationText() + " " +
               clock(form->dtp1->value()) + " " + std::to_string(form->dtp0->value()) + " " +
               std::to_string(form->sg1->current().col) + "," +
               std::to_string(form->sg1->current().row) + " " + hint(50);
    };
    const std::string before = state();
    QWidget* const controls[] = {form->sg1, form->cmb1, form->Edit1, form->dtp1, form->dtp0};
    int dialogs = 0;
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        focus(control);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(env().printDialogs, ++dialogs);
        EXPECT_EQ(state(), before);
        EXPECT_TRUE(env().reports.empty());
    }
    // "print to file": one PDF of the day on show
    const QString pdf = env().dir.path() + QStringLiteral("/day.pdf");
    env().printToFile = pdf;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_TRUE(env().reports.empty());
    // a file that cannot be written is reported, not printed half
    env().printToFile = env().dir.path() + QStringLiteral("/no such folder/day.pdf");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_TRUE(env().reports[0].message.contains(QStringLiteral("no such folder")));
}

TEST_F(EditorTest, ChangeNotificationsOfProgramAssignments) {
    place(50, 3, hm(9, 0), "4.0");
    // a picker assigned by the program runs nothing
    form->dtp1->setValue(hm(10, 0));
    EXPECT_EQ(hint(50), "09:00\r\n4.0");
    EXPECT_EQ(block(50)->x(), 160);
    // a different text in the duration box runs the apply step at once,
    // before the assignment returns, with the start as it now stands
    form->Edit1->setText("2.25");
    EXPECT_EQ(hint(50), "10:00\r\n2.25");
    EXPECT_EQ(block(50)->geometry(), QRect(200, 135, 90, 38));
    // the same text runs nothing
    block(50)->setHint("untouched");
    form->Edit1->setText("2.25");
    EXPECT_EQ(hint(50), "untouched");
    // an error of the nested run ends the assigning step as well
    env().reports.clear();
    EXPECT_THROW(form->Edit1->setText("2h"), Error);
    EXPECT_TRUE(env().reports.empty());
    EXPECT_EQ(hint(50), "10:00\r\n2h");
}

TEST_F(EditorTest, ADurationThatIsNoNumberIsReportedAndTheWheelRecovers) {
    place(50, 3, hm(9, 0), "4.0");
    env().reports.clear();
    // pasted, as the digit filter lets no comma be typed
    form->Edit1->selectAll();
    form->Edit1->insert(QStringLiteral("4,5"));
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_EQ(env().reports[0].message, QStringLiteral("'4,5' は浮動小数点数ではありません."));
    // written up to the failure: hint and labels, and the left edge
    EXPECT_EQ(hint(50), "09:00\r\n4,5");
    EXPECT_EQ(durationLabel(50), "4,5");
    EXPECT_EQ(block(50)->width(), 160);
    EXPECT_EQ(form->Edit1->tag(), 240);
    // a new start moves the left edge before the duration fails again
    form->dtp1->setValue(hm(10, 0));
    EXPECT_THROW(form->dtp1Change(form->dtp1), Error);
    EXPECT_EQ(block(50)->x(), 200);
    EXPECT_EQ(block(50)->width(), 160);

    focus(form->Edit1);
    wheel(form->sg1, true);
    EXPECT_EQ(durationText(), "4.25");
    EXPECT_EQ(block(50)->width(), 170);
    EXPECT_EQ(env().reports.size(), 1u);
}

// --- undo and redo -----------------------------------------------------------------

TEST_F(EditorTest, EveryEditIsUndoneAndRedone) {
    form->cmb1->setItems({"---", sjis::fromUtf8("山田"), sjis::fromUtf8("佐藤")});
    const struct {
        const char* what;
        std::function<void()> edit;
    } edits[] = {
        {"a wheel step of the duration",
         [&] {
             focus(form->Edit1);
             wheel(form->sg1, true);
         }},
        {"a wheel step of the start",
         [&] {
             focus(form->dtp1);
             wheel(form->sg1, false);
         }},
        {"typed hours",
         [&] {
             focus(form->Edit1);
             form->Edit1->selectAll();
             QTest::keyClicks(form->Edit1, "7");
         }},
        {"a typed start",
         [&] {
             focus(form->dtp1);
             form->dtp1->setSelectedSection(QDateTimeEdit::HourSection);
             QTest::keyClicks(form->dtp1, "8");
         }},
        {"a chosen name",
         [&] {
             focus(form->cmb1);
             QTest::keyClick(form->cmb1, Qt::Key_Down);
         }},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.what);
        place(49, 2, hm(7, 0), "2.5");
        place(50, 3, hm(9, 0), "4.0");
        settle();
        const std::string before = boardView();
        e.edit();
        const std::string after = boardView();
        ASSERT_NE(after, before);
        ASSERT_EQ(form->currentBlock(), block(50));
        for (const Qt::Key redoKey : {Qt::Key_Z, Qt::Key_Y}) {
            undo();
            EXPECT_EQ(boardView(), before);
            EXPECT_EQ(form->currentBlock(), nullptr);
            EXPECT_FALSE(form->ShapeA->isVisible());
            redoKey == Qt::Key_Z ? redo() : windowKey(Qt::Key_Y);
            EXPECT_EQ(boardView(), after);
            EXPECT_EQ(form->currentBlock(), nullptr);
        }
    }
}

TEST_F(EditorTest, AHundredStepsBackAndForth) {
    place(50, 3, hm(9, 0), "4.0");
    settle();
    focus(form->Edit1);
    std::vector<std::string> views;
    for (int i = 0; i < 110; ++i) {
        // the start and the duration by turns, each notch a step of its own
        focus(i % 2 == 0 ? static_cast<QWidget*>(form->Edit1) : form->dtp1);
        wheel(form->sg1, i % 20 < 10);
        views.push_back(boardView());
    }
    for (int i = 0; i < 100; ++i)
        undo();
    EXPECT_EQ(boardView(), views[9]);
    for (int i = 0; i < 100; ++i)
        redo();
    EXPECT_EQ(boardView(), views[109]);
}

TEST_F(EditorTest, TheUndoKeysReachTheBoardFromEveryEditorControl) {
    QWidget* const controls[] = {form->Edit1, form->cmb1, form->dtp1, form->dtp0, form->sg1};
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        place(50, 3, hm(9, 0), "4.0");
        settle();
        // typed into the picker, whose own undo would take the key back
        focus(form->dtp1);
        form->dtp1->setSelectedSection(QDateTimeEdit::HourSection);
        QTest::keyClicks(form->dtp1, "8");
        ASSERT_EQ(hint(50), "08:00\r\n4.0");
        focus(control);
        const DateSerial day = form->dtp0->value();
        undo();
        EXPECT_EQ(hint(50), "09:00\r\n4.0");
        EXPECT_EQ(form->currentBlock(), nullptr);
        redo();
        EXPECT_EQ(hint(50), "08:00\r\n4.0");
        windowKey(Qt::Key_Y, Qt::ControlModifier); // nothing left to redo
        EXPECT_EQ(hint(50), "08:00\r\n4.0");
        EXPECT_EQ(form->dtp0->value(), day) << "the day picker kept its day";
    }
}

} // namespace
} // namespace kab::test
