// The 50 blocks: where they wait after start-up and after a reset, how their
// labels sit, their numbers and colours.

#include "support/form_fixture.h"

#include "foundation/numbers.h"

namespace kab::test {
namespace {

const QRect kParked(160, 401, 160, 38);
const QRect kTimeLabel(2, 2, 156, 34);      // inside both 1 px bevels
const QRect kDurationLabel(75, 10, 40, 20); // 85 px from the right edge

class PoolTest : public FormTest {
protected:
    // Every block as start-up or a reset leaves it.
    void expectAllParked() {
        for (int n = 1; n <= TForm1::kBlocks; ++n) {
            SCOPED_TRACE(testing::Message() << "Panel" << n);
            tk::Panel* p = form->Panel(n);
            EXPECT_EQ(p->parentWidget(), form->sg1);
            EXPECT_EQ(p->geometry(), kParked);
            EXPECT_EQ(p->caption(), "---");
            EXPECT_EQ(p->tag(), 0);
            EXPECT_EQ(p->hint(), "");
            EXPECT_FALSE(p->isHidden());
            tk::Label* time = form->timeLabel(p);
            tk::Label* duration = form->durationLabel(p);
            EXPECT_EQ(time, form->Label(n));
            EXPECT_EQ(duration, form->Label(n + TForm1::kBlocks));
            EXPECT_EQ(time->parentWidget(), p);
            EXPECT_EQ(duration->parentWidget(), p);
            EXPECT_EQ(time->geometry(), kTimeLabel);
            EXPECT_EQ(duration->geometry(), kDurationLabel);
            EXPECT_EQ(time->caption(), "");
            EXPECT_EQ(duration->caption(), "");
        }
        EXPECT_EQ(form->currentBlock(), nullptr);
        EXPECT_TRUE(form->ShapeA->isHidden());
    }
};

TEST_F(PoolTest, StartUpParksEveryBlock) {
    expectAllParked();
}

TEST_F(PoolTest, ResetBringsEveryBlockBack) {
    // a day may be loaded before the window first shows, when Qt holds
    // resize events back
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        if (shown) showForm();
        // blocks spread over the board as a loaded day would leave them
        for (int n = 1; n <= TForm1::kBlocks; ++n) {
            tk::Panel* p = form->Panel(n);
            blockstate::setBounds(*p, 40 + 20 * (n % 30), 44 * (1 + n % 8) + 3, 60 + 20 * (n % 5));
            p->setCaption("staff " + intToStr(n));
            p->setTag(n);
            p->setHint("9:00");
            form->timeLabel(p)->setCaption("9:00");
            form->durationLabel(p)->setCaption("2.50");
        }
        form->setCurrentBlock(form->Panel(7));
        form->ShapeA->show();

        form->resetPool();
        expectAllParked();
    }
}

TEST_F(PoolTest, DurationLabelKeepsItsDistanceFromTheRightEdge) {
    const struct {
        int width;
        int durationLeft;
    } table[] = {{80, -5}, {100, 15}, {240, 155}, {160, 75}};
    tk::Panel* p = form->Panel(12);
    for (const auto& c : table) {
        SCOPED_TRACE(c.width);
        blockstate::setBounds(*p, 200, 47, c.width);
        EXPECT_EQ(p->geometry(), QRect(200, 47, c.width, 38));
        EXPECT_EQ(form->durationLabel(p)->geometry(), QRect(c.durationLeft, 10, 40, 20));
        EXPECT_EQ(form->timeLabel(p)->geometry(), QRect(2, 2, c.width - 4, 34));
    }
}

TEST_F(PoolTest, BlockNumberFromThePanelsName) {
    for (int n : {1, 7, 9, 10, 42, 50}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(TForm1::blockNumber(form->Panel(n)), n);
    }
}

TEST_F(PoolTest, ColoursComeFromTheStartOfTheSequence) {
    // Every window gets the colours the program shows at start, whatever
    // was drawn from the generator before it.
    form.reset();
    (void)random(7);
    form = std::make_unique<TForm1>(env());
    const struct {
        int block;
        QColor colour;
    } table[] = {
        {1, QColor(245, 123, 198)},
        {2, QColor(140, 245, 176)},
        {4, QColor(158, 193, 245)},
        {50, QColor(245, 173, 112)},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(form->Panel(c.block)->color(), c.colour);
    }
}

} // namespace
} // namespace kab::test
