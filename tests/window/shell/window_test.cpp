#include "support/form_fixture.h"
#include "toolkit/application.h"
#include "window/shell/program.h"

#include <QTest>
#include <QWindow>

namespace kab::test {
namespace {

TEST_F(FormTest, OpensAtItsPlaceWithTheMinimumClientArea) {
    showForm();
    EXPECT_EQ(form->pos(), QPoint(27, 107));
    EXPECT_EQ(form->size(), QSize(830, 480));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(FormTest, SizeLimitsHoldForTheProgramsOwnChanges) {
    showForm();
    // limits: the client area at least 830 x 480, the outer size at most
    // 1190 x 550, whatever the frame
    const QSize frame = form->frameExtent();
    const QSize minOuter = QSize(830, 480) + frame;
    const struct {
        QSize asked;
        QSize outer;
    } table[] = {
        {{100, 100}, minOuter},     {minOuter - QSize(1, 1), minOuter}, {{1000, 540}, {1000, 540}},
        {{1190, 550}, {1190, 550}}, {{1191, 551}, {1190, 550}},         {{4000, 3000}, {1190, 550}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.asked.width() << "x" << c.asked.height());
        form->setOuterSize(c.asked.width(), c.asked.height());
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->outerSize() == c.outer; }));
        EXPECT_EQ(form->outerSize(), c.outer);
    }
    // the window system's own resizing is bounded alike
    form->resize(5000, 5000);
    EXPECT_EQ(form->outerSize(), QSize(1190, 550));
    form->resize(10, 10);
    EXPECT_EQ(form->size(), QSize(830, 480));
}

// Which of the columns from 24:00 on show, as a string of widths.
std::vector<int> lateColumns(const TForm1& f) {
    std::vector<int> w;
    for (int c = 19; c < 26; ++c)
        w.push_back(f.sg1->colWidth(c));
    return w;
}

TEST_F(FormTest, ColumnsFromMidnightShowOnlyWhereTheyFitWhole) {
    showForm();
    // the grid is 4 px narrower than the client area (the sunken edge)
    const struct {
        int clientWidth;
        int gridWidth;
        std::vector<int> widths; // columns 19 .. 25
    } table[] = {
        {830, 826, {40, 0, 0, 0, 0, 0, 0}},
        {843, 839, {40, 0, 0, 0, 0, 0, 0}},
        {844, 840, {40, 40, 0, 0, 0, 0, 0}},
        {884, 880, {40, 40, 40, 0, 0, 0, 0}},
        {1040, 1036, {40, 40, 40, 40, 40, 40, 0}},
        {1043, 1039, {40, 40, 40, 40, 40, 40, 0}},
        {1044, 1040, {40, 40, 40, 40, 40, 40, 40}},
        {1100, 1096, {40, 40, 40, 40, 40, 40, 40}},
        // narrowing hides them again
        {900, 896, {40, 40, 40, 0, 0, 0, 0}},
        {830, 826, {40, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.clientWidth);
        form->resize(c.clientWidth, 480);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->width() == c.clientWidth; }));
        EXPECT_EQ(form->sg1->width(), c.gridWidth);
        EXPECT_EQ(lateColumns(*form), c.widths);
        for (int col = 0; col < 19; ++col)
            EXPECT_EQ(form->sg1->colWidth(col), 40) << col;
        // the page control's edges stay out of sight
        EXPECT_EQ(form->pgc1->geometry(), QRect(-4, -4, c.clientWidth - 6 + 8, 482));
    }
}

// Each time the application becomes the active one the window system sends
// it ApplicationActivate (the real first activation is checked end to end
// under Xvfb).
TEST_F(FormTest, ActivationSetsTheTitleEveryTime) {
    auto* app = tk::Application::instance();
    showForm();
    const struct {
        const char* before;
        bool outside; // changed in the window system only, not through the widget
    } table[] = {{"", false}, {"other", false}, {"other", true}};
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.before << (c.outside ? " outside" : ""));
        if (c.outside)
            form->windowHandle()->setTitle(QString::fromLatin1(c.before));
        else
            form->setWindowTitle(QString::fromLatin1(c.before));
        app->setTitle(QString::fromLatin1(c.before));
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(qApp, &activate);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Kabrelo24"));
        EXPECT_EQ(form->windowHandle()->title(), QStringLiteral("Kabrelo24"));
        EXPECT_EQ(app->title(), QStringLiteral("Kabrelo24"));
    }
    // a deactivation changes nothing
    form->setWindowTitle(QStringLiteral("other"));
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("other"));
    app->setTitle(QStringLiteral("test"));
}

} // namespace
} // namespace kab::test

namespace kab::test {
namespace {

// A failing step ends the start-up sequence there; the error is reported
// and the window still opens in the state the earlier steps left.
TEST(StartUp, FailureSkipsTheRemainingStepsAndTheWindowStillOpens) {
    resetEnv();
    env().todayFails = true;
    // before the first activation: the report still carries the title
    tk::Application::instance()->setTitle(QString());
    TForm1 form(env());
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_EQ(env().reports[0].message, QStringLiteral("'today' は日付または時刻ではありません."));
    EXPECT_EQ(env().reports[0].caption, QStringLiteral("Kabrelo24"));
    // steps before the failure took effect, later ones did not
    EXPECT_EQ(form.hourWidth(), 40);
    EXPECT_EQ(form.sbtn1->caption(), sjis::fromUtf8("職員"));
    EXPECT_EQ(form.sg1->defaultColWidth(), 12);
    EXPECT_EQ(form.Panel(1)->parentWidget(), form.TabSheet2);
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    resetEnv();
    tk::Application::instance()->setTitle(QStringLiteral("test"));
}

} // namespace
} // namespace kab::test

namespace kab::test {
namespace {

TEST_F(FormTest, TheBoardGridHasTheFocusWhenTheWindowComesUp) {
    showForm();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), form->sg1);
}

} // namespace
} // namespace kab::test

namespace kab::test {
namespace {

// The platform the start asks Qt for: the user's, else an X server before a
// bare compositor, else none at all.
TEST(StartUp, PlatformFollowsTheDisplaysFound) {
    const struct {
        DisplayFacts facts;
        Platform chosen;
    } table[] = {
        {{true, false, false}, Platform::UsersChoice}, // offscreen, say, with no display
        {{true, true, true}, Platform::UsersChoice},
        {{false, true, true}, Platform::Xcb}, // Xwayland on a Wayland desktop
        {{false, true, false}, Platform::Xcb},
        {{false, false, true}, Platform::Wayland},
        {{false, false, false}, Platform::NoDisplay},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message()
                     << c.facts.userChosePlatform << c.facts.xServer << c.facts.wayland);
        EXPECT_EQ(choosePlatform(c.facts), c.chosen);
    }
    EXPECT_EQ(noDisplayMessage(nullptr, ""),
              "kabrelo24: no display to open the window on: DISPLAY is not set, "
              "WAYLAND_DISPLAY is not set");
    EXPECT_EQ(noDisplayMessage(":99", "wayland-1"),
              "kabrelo24: no display to open the window on: DISPLAY=:99 cannot be reached, "
              "WAYLAND_DISPLAY=wayland-1 cannot be reached");
}

} // namespace
} // namespace kab::test
