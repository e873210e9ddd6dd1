// Dragging blocks with real presses, moves and releases on their time labels,
// the pointer read through the environment as the drag tick reads it.

#include "support/board_fixture.h"

#include "toolkit/look.h"

#include <QSignalSpy>
#include <functional>

namespace kab::test {
namespace {

class DragTest : public BoardTest {
protected:
    // The label pressed, the button and the place in the label.
    tk::Label* held = nullptr;
    Qt::MouseButton button = Qt::LeftButton;

    void press(int n, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
        held = form->Label(n);
        button = b;
        QTest::mousePress(held, b, {}, at);
    }

    // Moves the pointer so that the tick's position (the pointer less the
    // window's outer corner and the grab offset) is (x, y), and waits for
    // the tick.
    void tickAt(int x, int y) {
        const QPoint corner = env().windowCorner(*form);
        env().cursor = corner + form->grabOffset() + QPoint(x, y);
        moveTo(env().cursor);
        QSignalSpy tick(form->Timer1, &QTimer::timeout);
        ASSERT_TRUE(tick.wait(2000));
    }

    // The pressed label holds the mouse until the release: moves go to it.
    void moveTo(QPoint global) { QTest::mouseMove(held, held->mapFromGlobal(global)); }

    void release() {
        QTest::mouseRelease(held, button, {}, held->mapFromGlobal(env().cursor));
        held = nullptr;
    }

    // The whole drag of block n grabbed at `at`, with one tick at each
    // position.
    void drag(int n, QPoint at, std::initializer_list<QPoint> ticks) {
        press(n, at);
        for (QPoint p : ticks)
            tickAt(p.x(), p.y());
        release();
    }

    // The parked block that lies on top of the stack.
    QWidget* topOfStack() const {
        QWidget* w = form->sg1->childAt(QPoint(240, 420));
        while (w && w->parentWidget() != form->sg1)
            w = w->parentWidget();
        return w;
    }

    void expectParked(int n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(block(n)->geometry(), QRect(160, 401, 160, 38));
        EXPECT_EQ(block(n)->tag(), 0);
        EXPECT_EQ(hint(n), "");
        EXPECT_EQ(str(block(n)->caption()), "---");
        EXPECT_EQ(timeLabel(n), "");
        EXPECT_EQ(durationLabel(n), "");
    }
};

TEST_F(DragTest, FirstPlacementMoveToAnotherRowAndParkAgain) {
    ASSERT_EQ(topOfStack(), block(50));
    // onto row 3 at 13:00
    press(50, {100, 10});
    EXPECT_TRUE(form->dtp1->hasFocus());
    EXPECT_TRUE(form->ShapeA->isVisible());
    tickAt(325, 140);
    EXPECT_EQ(form->Shade1->geometry(), QRect(320, 135, 80, 38));
    EXPECT_TRUE(form->Shade1->isVisible());
    release();
    EXPECT_EQ(block(50)->geometry(), QRect(320, 135, 160, 38));
    EXPECT_EQ(block(50)->tag(), 1);
    EXPECT_EQ(clock(form->dtp1->value()), "13:00");
    EXPECT_EQ(clock(form->dtp2->value()), "17:00");
    EXPECT_EQ(durationText(), "4.0");
    EXPECT_EQ(hint(50), "13:00\r\n4.0");
    EXPECT_EQ(timeLabel(50), "13:00\r\n17:00");
    EXPECT_EQ(durationLabel(50), "4.0");
    EXPECT_EQ(form->currentBlock(), block(50));
    EXPECT_TRUE(form->ShapeA->isVisible());
    EXPECT_FALSE(form->Shade1->isVisible());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(topOfStack(), block(49));

    // to row 6, pointer far to the left: the ghost moves up and down only
    press(50, {30, 25});
    EXPECT_TRUE(form->cmb1->hasFocus());
    tickAt(80, 270);
    EXPECT_EQ(form->Shade1->pos(), QPoint(320, 267));
    release();
    EXPECT_EQ(block(50)->geometry(), QRect(320, 267, 160, 38));
    EXPECT_EQ(hint(50), "13:00\r\n4.0");
    EXPECT_EQ(timeLabel(50), "13:00\r\n17:00");

    // below the board: parked and emptied
    press(50, {100, 25});
    EXPECT_TRUE(form->Edit1->hasFocus());
    tickAt(600, 470);
    EXPECT_EQ(form->Shade1->pos(), QPoint(160, 401));
    release();
    expectParked(50);
    EXPECT_EQ(form->currentBlock(), nullptr);
    EXPECT_FALSE(form->ShapeA->isVisible());
}

TEST_F(DragTest, TheBlockFollowsThePointerWithTheGrabbedPointUnderIt) {
    press(50, {100, 10});
    const QPoint grabbed = held->mapToGlobal(QPoint(100, 10));
    for (QPoint step : {QPoint(-37, -200), QPoint(150, -120), QPoint(5, 3)}) {
        moveTo(grabbed + step);
        EXPECT_EQ(held->mapToGlobal(QPoint(100, 10)), grabbed + step);
    }
    // no tick came: the drop goes by the ghost, still on the stack
    release();
    expectParked(50);
}

TEST_F(DragTest, PressAndReleaseWithoutMoving) {
    // a parked block stays parked, and nothing is current afterwards
    press(50, {30, 10});
    release();
    expectParked(50);
    EXPECT_EQ(form->currentBlock(), nullptr);

    // a placed block stays, becomes current and fills the editor
    drag(50, {100, 10}, {{165, 52}});
    ASSERT_EQ(block(50)->geometry(), QRect(160, 47, 160, 38));
    focus(form->Edit1);
    wheel(form->sg1, true); // 4.25
    drag(49, {100, 10}, {{405, 96}});
    ASSERT_EQ(block(49)->x(), 400);
    ASSERT_EQ(clock(form->dtp1->value()), "15:00");
    press(50, {75, 10});
    EXPECT_TRUE(form->dtp1->hasFocus()) << "a press in the middle moves no focus";
    release();
    EXPECT_EQ(block(50)->geometry(), QRect(160, 47, 170, 38));
    EXPECT_EQ(form->currentBlock(), block(50));
    EXPECT_EQ(clock(form->dtp1->value()), "9:00");
    EXPECT_EQ(durationText(), "4.25");
    EXPECT_EQ(form->Edit1->tag(), 255);
    EXPECT_EQ(clock(form->dtp2->value()), "13:15");
}

TEST_F(DragTest, PressPlaceDecidesTheFocus) {
    const struct {
        QPoint at;
        QWidget* focus;
    } table[] = {
        {{100, 10}, form->dtp1}, {{100, 25}, form->Edit1}, {{30, 25}, form->cmb1},
        {{81, 18}, form->dtp1},  {{81, 19}, form->Edit1},  {{69, 10}, form->cmb1},
        {{75, 10}, form->dtp0}, // 70 .. 80: the focus stays
        {{80, 30}, form->dtp0},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        focus(form->dtp0);
        press(50, c.at);
        EXPECT_EQ(QApplication::focusWidget(), c.focus);
        release();
    }
}

TEST_F(DragTest, RightPressSendsTheBlockToTheBackAndChangesNothingElse) {
    form->dtp1->setValue(hm(8, 0));
    form->Edit1->setText("3.5");
    focus(form->Edit1);
    press(50, {100, 10}, Qt::RightButton);
    release();
    EXPECT_EQ(topOfStack(), block(49));
    EXPECT_EQ(form->currentBlock(), block(50));
    EXPECT_TRUE(form->Edit1->hasFocus());
    EXPECT_EQ(clock(form->dtp1->value()), "8:00");
    EXPECT_EQ(durationText(), "3.5");
    EXPECT_FALSE(form->ShapeA->isVisible());
    EXPECT_FALSE(form->Timer1->isActive());
    expectParked(50);
}

TEST_F(DragTest, TheGhostKeepsToTheHourColumns) {
    press(50, {100, 10});
    const struct {
        QPoint at;
        QPoint ghost;
        bool shown;
    } ticks[] = {
        {{60, 100}, {60, 91}, true},    {{19, 100}, {60, 91}, false}, // x' = 0: ignored
        {{39, 100}, {60, 91}, false},                                 // x' = 20
        {{760, 100}, {60, 91}, false},                                // x' = 760
        {{300, 43}, {60, 91}, false},                                 // the hour header
        {{300, -80}, {60, 91}, false},                                // above the board
        {{759, 360}, {740, 355}, true},                               // x' = 740, row 8
    };
    for (const auto& t : ticks) {
        SCOPED_TRACE(testing::Message() << t.at.x() << "," << t.at.y());
        tickAt(t.at.x(), t.at.y());
        EXPECT_EQ(form->Shade1->pos(), t.ghost);
        EXPECT_TRUE(form->Shade1->isVisible());
    }
    release();
    EXPECT_EQ(clock(form->dtp1->value()), "23:30");
    EXPECT_EQ(block(50)->geometry(), QRect(740, 355, 160, 38));
}

TEST_F(DragTest, APlacedBlockDraggedBelowAndBackLandsAtItsOwnStart) {
    drag(50, {100, 10}, {{245, 190}});
    ASSERT_EQ(block(50)->geometry(), QRect(240, 179, 160, 38));
    press(50, {100, 10});
    tickAt(500, 2000); // below the window
    EXPECT_EQ(form->Shade1->pos(), QPoint(160, 401));
    tickAt(500, 100);
    EXPECT_EQ(form->Shade1->pos(), QPoint(160, 91)) << "its left edge is the parking tick's";
    release();
    EXPECT_EQ(block(50)->geometry(), QRect(240, 91, 160, 38));
    EXPECT_EQ(timeLabel(50), "11:00\r\n15:00");

    // past midnight, where the wheel takes it (its hint says "00:15"): moved
    // to another row, it stays on the same night
    place(49, 2, 1 + hm(0, 15), "2.0");
    ASSERT_EQ(block(49)->x(), 770);
    drag(49, {100, 10}, {{600, 190}});
    EXPECT_EQ(block(49)->geometry(), QRect(770, 179, 80, 38));
    EXPECT_EQ(timeLabel(49), "0:15\r\n2:15");
}

TEST_F(DragTest, AReleaseWhereEveryTickWasIgnoredKeepsTheBlockWhereItWas) {
    drag(50, {100, 10}, {{285, 230}});
    ASSERT_EQ(block(50)->geometry(), QRect(280, 223, 160, 38));
    drag(50, {100, 10}, {{10, 230}, {800, 230}});
    EXPECT_EQ(block(50)->geometry(), QRect(280, 223, 160, 38));
    EXPECT_EQ(block(50)->tag(), 1);
}

TEST_F(DragTest, AHintThatDoesNotConvertIsReportedAndTheRestOfTheDropSkipped) {
    drag(50, {100, 10}, {{285, 230}});
    block(50)->setHint("9;00\r\n4.0");
    env().reports.clear();
    press(50, {100, 10});
    tickAt(300, 100);
    const QPoint freeTop = block(50)->pos();
    release();
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_EQ(env().reports[0].message, QStringLiteral("'9;00' は日付または時刻ではありません."));
    EXPECT_EQ(block(50)->x(), 280) << "Left from the ghost";
    EXPECT_EQ(block(50)->y(), freeTop.y()) << "Top where the pointer left it";
    EXPECT_TRUE(form->Shade1->isVisible());
}

TEST_F(DragTest, TheGhostIsADashedFrameOnButtonFace) {
    press(50, {100, 10});
    tickAt(325, 140);
    const QImage img = form->Shade1->grab().toImage();
    ASSERT_EQ(img.size(), QSize(80, 38));
    // a lowered bevel: dark top-left, white bottom-right
    EXPECT_NE(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(79, 37), qRgb(255, 255, 255));
    // inside: the frame's inner two pixels, dashed, then the button face
    const QRgb pen = qRgb(90, 120, 180);
    int penPixels = 0, gaps = 0;
    for (int x = 1; x < 79; ++x) {
        const QRgb p = img.pixel(x, 1);
        penPixels += p == pen;
        gaps += p != pen;
        EXPECT_EQ(img.pixel(x, 1), img.pixel(x, 2)) << x;
    }
    EXPECT_GT(penPixels, 20);
    EXPECT_GT(gaps, 10);
    EXPECT_EQ(img.pixel(40, 19), tk::btnFace().rgb());
    release();
}

TEST_F(DragTest, DropsParkingAndTheStackAreUndoneAndRedone) {
    const struct {
        const char* what;
        std::function<void()> move;
    } moves[] = {
        {"placed for the first time",
         [&] {
             drag(50, {100, 10}, {{325, 140}});
         }},
        {"moved to another row",
         [&] {
             drag(50, {30, 25}, {{80, 270}});
         }},
        {"the next one placed",
         [&] {
             drag(49, {100, 10}, {{165, 52}});
         }},
        {"sent to the back of the stack",
         [&] {
             press(48, {100, 10}, Qt::RightButton);
             release();
         }},
        {"parked",
         [&] {
             drag(50, {100, 25}, {{600, 470}});
         }},
    };
    std::vector<std::string> views{boardView()};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.what);
        m.move();
        views.push_back(boardView());
        ASSERT_NE(views.back(), views[views.size() - 2]);
        undo();
        EXPECT_EQ(boardView(), views[views.size() - 2]);
        EXPECT_EQ(form->currentBlock(), nullptr);
        EXPECT_FALSE(form->ShapeA->isVisible());
        redo();
        EXPECT_EQ(boardView(), views.back());
    }
    // every step back to the stack of the start, and on again
    for (std::size_t i = views.size() - 1; i-- > 0;) {
        undo();
        EXPECT_EQ(boardView(), views[i]) << i;
    }
    EXPECT_EQ(topOfStack(), block(50));
    for (std::size_t i = 1; i < views.size(); ++i) {
        redo();
        EXPECT_EQ(boardView(), views[i]) << i;
    }
    // a block taken up again after an undo drops as the board shows it
    undo();
    drag(50, {100, 10}, {{80, 360}});
    EXPECT_EQ(block(50)->geometry(), QRect(320, 355, 160, 38));
    EXPECT_EQ(timeLabel(50), "13:00\r\n17:00");
}

TEST_F(DragTest, ABurstOfTheSameEditIsOneStep) {
    const auto notches = [&](QWidget* control, int n, bool up = true) {
        focus(control);
        for (int i = 0; i < n; ++i)
            wheel(form->sg1, up);
    };
    const auto drop = [&] { drag(50, {100, 10}, {{325, 140}}); };
    // each group of edits is one step
    const struct {
        const char* what;
        std::vector<std::function<void()>> steps;
    } rows[] = {
        {"dropped, then wheeled from 4 to 9 hours", {drop, [&] { notches(form->Edit1, 20); }}},
        {"the duration, then the start",
         {drop, [&] { notches(form->Edit1, 4); }, [&] { notches(form->dtp1, 3, false); }}},
        {"hours typed, then wheeled on",
         {drop,
          [&] {
              focus(form->Edit1);
              form->Edit1->selectAll();
              QTest::keyClicks(form->Edit1, "7");
              notches(form->Edit1, 2, false);
          }}},
        {"a name between two bursts",
         {drop, [&] { notches(form->Edit1, 2); },
          [&] {
              focus(form->cmb1);
              QTest::keyClick(form->cmb1, Qt::Key_Down);
          },
          [&] { notches(form->Edit1, 2); }}},
        {"a drag between two bursts",
         {drop, [&] { notches(form->Edit1, 2); },
          [&] {
              drag(50, {30, 25}, {{80, 270}});
          },
          [&] { notches(form->Edit1, 2); }}},
        {"a click on the block between two bursts",
         {drop, [&] { notches(form->Edit1, 2); },
          [&] {
              press(50, {60, 25});
              release();
              notches(form->Edit1, 2);
          }}},
        {"a save between two bursts",
         {drop,
          [&] {
              notches(form->Edit1, 2);
              windowKey(Qt::Key_S);
          },
          [&] { notches(form->Edit1, 2); }}},
    };
    // the save needs the data folder
    std::filesystem::create_directories(env().dir.path().toStdString() + "/data");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // a fresh board: the stack as the start leaves it, no step to undo
        form.reset();
        form = std::make_unique<TForm1>(env());
        showForm();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->cmb1->setItems({"---", sjis::fromUtf8("山田")});
        // the boards earlier rows left unsaved are offered as steps before
        const std::size_t before = form->history().undoable();
        std::vector<std::string> views{boardView()};
        for (const auto& step : row.steps) {
            step();
            views.push_back(boardView());
            ASSERT_NE(views.back(), views[views.size() - 2]);
        }
        for (std::size_t i = views.size() - 1; i-- > 0;) {
            undo();
            EXPECT_EQ(boardView(), views[i]) << i;
        }
        EXPECT_EQ(form->history().undoable(), before);
        for (std::size_t i = 1; i < views.size(); ++i) {
            redo();
            EXPECT_EQ(boardView(), views[i]) << i;
        }
    }
}

} // namespace
} // namespace kab::test
